// Profile (INI) text: reading and editing with the semantics of the
// system's private-profile functions, on every platform.
//
// Reading, as GetPrivateProfileStringA does:
// - lines end at CR or LF; blank lines are ignored; blanks around a line,
//   a name and a value are removed (blank = space, tab, CR, LF, VT, FF and
//   the byte 0x1A);
// - "[name]" opens a section (name up to the last ']', anything after it is
//   ignored); keys before the first section belong to a section without name;
// - "key=value" splits at the first '='; a line without '=' is a key with no
//   value, which reads as missing; ';' and '#' lines are ordinary keys;
// - section and key names compare without regard to ASCII case; only the
//   first section of a name is searched, and in it the first key of a name;
// - one pair of matching quotes (" or ') around a value is removed;
// - a file starting with the UTF-8 byte-order mark is UTF-8 and stays so;
//   otherwise bytes are Windows-1252. Callers always pass and get 1252.
//
// Editing (WritePrivateProfileStringA) rewrites the whole text in normal
// form: "[section]" and "key=value" lines ending in CR LF, blank lines
// dropped, new keys at the end of their section, new sections at the end.
// A write that changes nothing leaves the text untouched.
//
// Memory: a lookup allocates only its result; an edit builds one output
// text of about the input's size.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kova::ini {

struct Found {
  bool section = false;  // the section exists
  bool key = false;      // the key exists (possibly without a value)
  std::optional<std::string> value;  // 1252 bytes, blanks removed, quotes kept
};

// Finds a key: the raw stored value, before quotes are removed.
Found Find(std::string_view text, std::string_view section, std::string_view key);

// What GetPrivateProfileStringA copies for this key into a buffer of
// `capacity` bytes (at most capacity-1 characters; quotes removed). A missing
// key, or one without a value, gives the default (trailing blanks removed,
// quotes removed); a null default gives an empty text.
std::string GetString(std::string_view text, std::string_view section, std::string_view key,
                      const char* default_value, std::size_t capacity);

// Applies one WritePrivateProfileStringA to `text`. value == nullptr deletes
// the key; key == nullptr deletes the section. Returns false when the text
// is unchanged (then it is not rewritten at all).
bool Edit(std::string& text, std::string_view section, const char* key, const char* value);

}  // namespace kova::ini
