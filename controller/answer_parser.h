// Parsers for the controller's answer texts as the serial read renders them
// (each byte as "%1X|"). Configuration records are B0 address value C0; live
// records are B0 key value check C0.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

class CKX4DATA;

namespace kova {

using RecordSink = std::function<void(std::string_view keyword, std::string_view value)>;

// Splits at each "|" and runs the four-state record machine: B0 (any case),
// keyword, value, then C0 (any case) stores the pair; whatever the fourth
// token is, the machine returns to waiting for B0, so a B0 in that position
// is consumed. Records with an empty keyword or value are dropped. Returns
// the number of records accepted.
int ParseConfigAnswer(std::string_view text, const RecordSink& sink);
int ParseConfigAnswer(std::string_view text, CKX4DATA& store);

// The live stream's five-state machine: B0, key, value, check, then C0.
// With verify_check the pair is kept only when key, value and check are
// bytes and key + value equals the check byte modulo 256; screens that only
// sample the stream pass false. Each call starts afresh: a record split between two
// reads is lost. Returns the number of records accepted.
int ParseLiveAnswer(std::string_view text, const RecordSink& sink, bool verify_check = true);
int ParseLiveAnswer(std::string_view text, CKX4DATA& store, bool verify_check = true);

// The same machine, telling every group that reached "C0" and whether its
// check byte matched: the calibration watches for its report in groups it
// does not keep. Returns the number of groups.
using LiveGroupSink =
    std::function<void(std::string_view key, std::string_view value, bool check_matches)>;
int ParseLiveGroups(std::string_view text, const LiveGroupSink& sink);

// Upper- or lower-case hexadecimal text to a number; nothing for an empty
// text, any other character or more than 15 digits.
std::optional<uint64_t> ParseHex(std::string_view text);

}  // namespace kova
