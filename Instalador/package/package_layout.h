// The installer file and its package appendix, as written by kova-pack and
// read by the installer. One definition for both sides.
//
//   offset 0        +-------------------------------+
//                   | installer program image       |  kInstallerImageSize
//   409600          +-------------------------------+
//                   | uninstaller program image     |  kUninstallerImageSize
//   749568          +-------------------------------+
//                   | package header                |
//                   |   i16 background flag (1 = picture follows)
//                   |   [text picture bytes]        |
//                   |   3 x (i16 red, green, blue)  |  title, text, background
//                   |   text product name           |
//                   |   text description, terms     |
//                   |   text default directory      |  or "#PADRAO#"
//                   |   text folder name            |
//                   |   i32 reserved                |
//                   |   i16 n, n x shortcut         |  desktop
//                   |   i16 n, n x shortcut         |  start menu
//                   |   i16 n, n x text             |  registry keys
//                   |   i16 n, n x text             |  components
//   file section    +-------------------------------+
//                   | "PKG", i16 reserved           |
//                   | i16 D directories, i32 F files|
//                   | D x directory record          |
//                   | F x file record               |  running to the end
//                   +-------------------------------+
//
//   text       = i32 length n, n bytes (Windows-1252, no terminator)
//   shortcut   = text target ("\KOVA.exe"), 64-byte name padded with spaces
//   directory  = i16 number (unused), i16 n, n name bytes ("\" or "\sub")
//   file       = i16 directory index (1-based), 64-byte name padded with
//                spaces, i16 N (0 = one chunk), then the chunks
//   chunk      = i32 length L, L bytes of one HE3 stream
//
// Integers are little-endian and signed. The uninstaller written to disk is
// its image followed by a trailer: i32 length and the product-name bytes.
// It and the uninstall log are the installer's own files in the install
// directory, so no package file may take their names there.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kova::pkg {

inline constexpr int64_t kInstallerImageSize = 409600;
inline constexpr int64_t kUninstallerImageSize = 339968;
inline constexpr int64_t kHeaderOffset = kInstallerImageSize + kUninstallerImageSize;

// Offsets and lengths past this are outside the format.
inline constexpr int64_t kMaxOffset = 2147483647;

inline constexpr int16_t kPictureFlag = 1;
inline constexpr std::string_view kDefaultDirectoryMarker = "#PADRAO#";
inline constexpr int32_t kHeaderReserved = 123456;
inline constexpr std::string_view kFileSectionMarker = "PKG";
inline constexpr int16_t kFileSectionReserved = 2;
inline constexpr size_t kNameFieldSize = 64;  // shortcut and file names
inline constexpr std::string_view kRootDirectory = "\\";
inline constexpr char kUninstallerFileName[] = "Desinstalar.exe";
inline constexpr char kUninstallLogFileName[] = "uninstall.log";
// Longest product name a trailer is read with; anything longer is damage,
// not a name, and must not drive an allocation.
inline constexpr uint32_t kMaxTrailerName = 4096;

// The image sizes a file is laid out with; a rebuilt installer or
// uninstaller changes them together.
struct ImageSizes {
  int64_t installer = kInstallerImageSize;
  int64_t uninstaller = kUninstallerImageSize;
  int64_t HeaderOffset() const { return installer + uninstaller; }
};

struct Colour {
  int16_t red = 0, green = 0, blue = 0;
};

struct Shortcut {
  std::string target;  // relative to the install directory, "\KOVA.exe"
  std::string name;    // the 64-byte field as stored, padded with spaces
};

// Texts are the stored Windows-1252 bytes.
struct PackageHeader {
  bool hasPicture = false;
  std::vector<uint8_t> picture;
  Colour title, text, background;
  std::string productName;
  std::string description;
  std::string terms;
  std::string defaultDirectory;  // a path, or kDefaultDirectoryMarker
  std::string folderName;        // under Program Files, for the marker
  int32_t reserved = kHeaderReserved;
  std::vector<Shortcut> desktop;
  std::vector<Shortcut> startMenu;
  std::vector<std::string> registryKeys;  // root + "\" + subkey
  std::vector<std::string> components;    // "\name.ocx"
  int64_t fileSectionOffset = 0;          // where the header ended

  bool UsesProgramFiles() const { return defaultDirectory == kDefaultDirectoryMarker; }
};

struct DirectoryRecord {
  int16_t number = 0;  // stored, not used: files refer to positions
  std::string name;    // "\" or "\sub\dir"
};

struct FileRecord {
  int16_t directoryIndex = 1;  // 1-based position in the directory list
  std::string name;            // the 64-byte field, padded with spaces
  int16_t chunkField = 0;      // as stored: 0 means one chunk
  int ChunkCount() const { return chunkField == 0 ? 1 : chunkField; }
};

// Name fields are padded with spaces; the names in use drop the padding.
inline std::string_view TrimPadding(std::string_view field) {
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  return field;
}

// Little-endian integers as the appendix stores them.
inline void PutI16(std::vector<uint8_t>& out, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  out.push_back(static_cast<uint8_t>(u));
  out.push_back(static_cast<uint8_t>(u >> 8));
}
inline void PutI32(std::vector<uint8_t>& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(u >> (8 * k)));
}
inline int16_t GetI16(const uint8_t* p) { return static_cast<int16_t>(p[0] | p[1] << 8); }
inline int32_t GetI32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                              uint32_t(p[3]) << 24);
}

// The trailer behind the uninstaller image: the product name as a text field.
inline std::string UninstallerTrailer(std::string_view productNameBytes) {
  std::vector<uint8_t> length;
  PutI32(length, static_cast<int32_t>(productNameBytes.size()));
  return std::string(length.begin(), length.end()) + std::string(productNameBytes);
}

// The product-name bytes of an uninstaller file's trailer (the file's bytes,
// image first); nothing when the trailer is missing, cut or implausible.
inline std::optional<std::string_view> TrailerName(std::string_view file,
                                                   int64_t image = kUninstallerImageSize) {
  const auto at = static_cast<size_t>(image);
  if (file.size() < at + 4) return std::nullopt;
  const auto length = static_cast<uint32_t>(GetI32(reinterpret_cast<const uint8_t*>(file.data() + at)));
  if (length > kMaxTrailerName || file.size() - at - 4 < length) return std::nullopt;
  return file.substr(at + 4, length);
}

}  // namespace kova::pkg
