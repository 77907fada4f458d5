// The package writer behind kova-pack: parses a package description, lays
// out installer image + uninstaller image + header + file section exactly
// as the installer reads them (Instalador/package_layout.h), and checks the
// result with the installer's own reader.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "Instalador/package/package_layout.h"

namespace kova::pack {

// Parses a description (key = value lines, UTF-8; see tools/README.md) into
// a header. Files it names are read relative to `baseDir`. False with a
// message naming the line or key at fault.
bool ParseDescription(std::string_view text, const std::filesystem::path& baseDir,
                      pkg::PackageHeader& header, std::string& error);

// The header's bytes, field by field.
std::vector<uint8_t> SerializeHeader(const pkg::PackageHeader& header);

struct PackOptions {
  std::filesystem::path installerImage;
  std::filesystem::path uninstallerImage;
  std::filesystem::path description;
  std::filesystem::path filesRoot;
  std::filesystem::path output;
  // 0: every file is one chunk (chunk field 0). Otherwise files are split
  // into chunks of at most this many bytes.
  int64_t chunkSize = 0;
  // Smaller images are padded with zero bytes up to their size.
  bool padImages = false;
  // Replaces kVersionMark in the description and terms texts.
  std::string version;
  pkg::ImageSizes sizes;
};

struct PackReport {
  int directories = 0;
  int files = 0;
  int64_t chunks = 0;
  int64_t inputBytes = 0;
  int64_t fileSectionOffset = 0;
  int64_t totalBytes = 0;
};

// Stands for the package's version in texts and in the output's name.
inline constexpr std::string_view kVersionMark = "{version}";

// "major.minor.patch" of a Windows program's product version (its version
// resource); false with a message when it has none.
bool ReadProgramVersion(const std::filesystem::path& program, std::string& version,
                        std::string& error);

// The text with every kVersionMark replaced.
std::string SubstituteVersion(std::string text, const std::string& version);

// Writes the installer file; on failure nothing is left at `output`.
bool WritePackage(const PackOptions& options, PackReport& report, std::string& error);

// A path from UTF-8 text on either platform.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

}  // namespace kova::pack
