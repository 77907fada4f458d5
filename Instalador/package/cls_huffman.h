// clsHuffman: the installer's byte codec. Every file of the package is held
// as one or more HE3 streams; the install step restores them with
// DecodeByte. The encoder defines the format: a package writer must produce
// exactly what it produces.
//
// Stream forms (integers little-endian):
//   stored   "HE0" 13, then the input bytes unchanged
//   coded    "HE3" 13, checksum (XOR of the input), length (int32),
//            N (int16, values with a code), N pairs (value, code length),
//            the code bits of those values in ascending order, then the
//            data bits starting on a fresh byte
// Bits fill each byte from its least significant bit; a code's first bit
// is the one taken at the root of the code tree.
//
// Nothing throws across this interface: every operation returns a
// HuffmanError whose Number is 0 on success, and on failure leaves the
// caller's buffer as it was.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kova {

// Base number of errors defined by objects; the codec's own three errors
// (and the missing-source error of the file wrappers) carry it.
inline constexpr int32_t kObjectErrorBase = -2147221504;
// Numbers of the runtime errors the codec can end in.
inline constexpr int32_t kErrOverflow = 6;
inline constexpr int32_t kErrOutOfMemory = 7;
inline constexpr int32_t kErrSubscriptRange = 9;
inline constexpr int32_t kErrFileAccess = 75;

struct HuffmanError {
  int32_t Number = 0;
  std::string Source;
  std::string Description;

  bool Failed() const { return Number != 0; }
  explicit operator bool() const { return Failed(); }
};

class clsHuffman {
 public:
  // Progress of the running encode or decode, 0 to 100, rounded halves to
  // even and raised only when the value changes within a call (so never 0).
  // A call that codes or decodes data ends with 100; empty input, a stored
  // stream and a stream of length 0 raise nothing.
  using ProgressHandler = std::function<void(int16_t Procent)>;

  void SetProgressHandler(ProgressHandler handler) { progress_ = std::move(handler); }

  // Reads the whole source file, codes it and writes the result as a new
  // DestFile. An empty source file encodes like empty data and decodes to an
  // empty file.
  HuffmanError EncodeFile(const std::filesystem::path& SourceFile,
                          const std::filesystem::path& DestFile);
  HuffmanError DecodeFile(const std::filesystem::path& SourceFile,
                          const std::filesystem::path& DestFile);

  // Codes the first ByteLen bytes of ByteArray; on success ByteArray becomes
  // the stream, sized exactly to it.
  HuffmanError EncodeByte(std::vector<uint8_t>& ByteArray, int32_t ByteLen);
  // Restores a stream of ByteLen bytes; on success ByteArray becomes the
  // decoded bytes.
  HuffmanError DecodeByte(std::vector<uint8_t>& ByteArray, int32_t ByteLen);

  // Text wrappers: Text holds one byte per character (Windows-1252), so the
  // bytes pass through unchanged.
  HuffmanError EncodeString(std::string_view Text, std::string& Result);
  HuffmanError DecodeString(std::string_view Text, std::string& Result);

  // The same operations on a borrowed input, writing into a caller-owned
  // buffer whose storage is reused (resized, never shrunk in capacity).
  // `out` is unspecified after an error. A coded stream whose length field
  // is 0 decodes to itself (DecodeByte leaves such a buffer unchanged).
  HuffmanError EncodeTo(std::span<const uint8_t> input, std::vector<uint8_t>& out);
  HuffmanError DecodeTo(std::span<const uint8_t> stream, std::vector<uint8_t>& out);

 private:
  ProgressHandler progress_;
};

// Texts of the codec's errors, for callers and tests that compare them.
namespace he3 {
inline constexpr std::string_view kStoredId{"HE0\r", 4};
inline constexpr std::string_view kCodedId{"HE3\r", 4};
inline constexpr std::string_view kIdSource = "HuffmanDecode()";
inline constexpr std::string_view kIdDescription =
    "The data either was not compressed with HE3 or is corrupt (identification string not found)";
inline constexpr std::string_view kChecksumSource = "clsHuffman.Decode()";
inline constexpr std::string_view kChecksumDescription =
    "The data might be corrupted (checksum did not match expected value)";
inline constexpr std::string_view kSourceMissingDescription = "Source file does not exist";
inline constexpr std::string_view kRangeDescription = "Subscript out of range";
inline constexpr std::string_view kOverflowDescription = "Overflow";
}  // namespace he3

}  // namespace kova
