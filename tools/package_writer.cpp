#include "tools/package_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Instalador/package/binary_file.h"
#include "Instalador/package/cls_huffman.h"
#include "Instalador/package/package_reader.h"
#include "common/cp1252.h"

namespace kova::pack {

namespace fs = std::filesystem;

fs::path PathFromUtf8(std::string_view utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string PathToUtf8(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

namespace {

std::string Trim(std::string_view s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string_view::npos) return {};
  const size_t b = s.find_last_not_of(" \t\r");
  return std::string(s.substr(a, b - a + 1));
}

// UTF-8 text to the package's Windows-1252 bytes; false when a character
// has no place in that code page (or the text is not UTF-8).
bool To1252(std::string_view utf8, std::string& out) {
  out = Utf8ToCp1252(utf8);
  return Cp1252ToUtf8(out) == utf8;
}

// Lone line feeds become CR LF, the line break of the wizard's text boxes.
std::string WindowsLines(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
  return out;
}

bool ParseColour(const std::string& value, pkg::Colour& c) {
  int v[3];
  char tail;
  if (std::sscanf(value.c_str(), "%d , %d , %d %c", &v[0], &v[1], &v[2], &tail) != 3) return false;
  for (int x : v)
    if (x < 0 || x > 255) return false;
  c = {int16_t(v[0]), int16_t(v[1]), int16_t(v[2])};
  return true;
}

// "target | name": target relative to the install directory, name of the
// shortcut (padded to the 64-byte field).
bool ParseShortcut(const std::string& value, pkg::Shortcut& s, std::string& why) {
  const size_t bar = value.find('|');
  if (bar == std::string::npos) {
    why = "expected \"target | name\"";
    return false;
  }
  std::string name;
  if (!To1252(Trim(value.substr(0, bar)), s.target) || !To1252(Trim(value.substr(bar + 1)), name)) {
    why = "a character has no Windows-1252 code";
    return false;
  }
  if (name.size() > pkg::kNameFieldSize) {
    why = "the name is longer than 64 bytes";
    return false;
  }
  why = pkg::CheckRelativePath(s.target);
  if (why.empty()) why = pkg::CheckNameComponent(name);
  s.name = name + std::string(pkg::kNameFieldSize - name.size(), ' ');
  return why.empty();
}

}  // namespace

bool ParseDescription(std::string_view text, const fs::path& baseDir, pkg::PackageHeader& header,
                      std::string& error) {
  pkg::PackageHeader h;
  h.defaultDirectory = std::string(pkg::kDefaultDirectoryMarker);
  bool raw1252 = false;
  bool haveProduct = false, haveDescription = false, haveTerms = false;
  std::vector<std::string> keyLines;  // where each registry_key stands
  std::vector<std::pair<int, std::pair<std::string, std::string>>> entries;
  int lineNo = 0;
  size_t at = 0;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") at = 3;  // a UTF-8 byte-order mark
  while (at <= text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string line = Trim(text.substr(at, end - at));
    at = end + 1;
    ++lineNo;
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
      error = "line " + std::to_string(lineNo) + ": expected key = value";
      return false;
    }
    const std::string key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
    if (key == "text_encoding") {
      if (value != "utf-8" && value != "cp1252") {
        error = "line " + std::to_string(lineNo) + ": text_encoding is utf-8 or cp1252";
        return false;
      }
      raw1252 = value == "cp1252";
    } else {
      entries.push_back({lineNo, {key, value}});
    }
  }
  for (const auto& [n, kv] : entries) {
    // Plain references: lambdas below capture them (a structured binding
    // cannot be captured by every compiler this builds with).
    const std::string& key = kv.first;
    const std::string& value = kv.second;
    const std::string where = "line " + std::to_string(n) + " (" + key + "): ";
    auto text1252 = [&](std::string& out) {
      if (To1252(value, out)) return true;
      error = where + "a character has no Windows-1252 code";
      return false;
    };
    auto fileText = [&](std::string& out) {
      std::vector<uint8_t> bytes;
      const fs::path p = baseDir / PathFromUtf8(value);
      if (!ReadWholeFile(p, bytes)) {
        error = where + "cannot read " + PathToUtf8(p);
        return false;
      }
      std::string s(bytes.begin(), bytes.end());
      if (s.compare(0, 3, "\xEF\xBB\xBF") == 0 && !raw1252) s.erase(0, 3);
      if (raw1252) {
        out = WindowsLines(s);
      } else if (!To1252(s, out)) {
        error = where + PathToUtf8(p) + " is not UTF-8 text that Windows-1252 can hold";
        return false;
      } else {
        out = WindowsLines(out);
      }
      return true;
    };
    if (key == "product") {
      if (!text1252(h.productName)) return false;
      if (std::string why = pkg::CheckNameComponent(h.productName); !why.empty()) {
        error = where + "the product name names a folder and a registry key: it must be a "
                        "plain name";
        return false;
      }
      if (!pkg::CheckProductName(h.productName).empty()) {
        error = where + "\"" + value +
                "\" is a folder Windows keeps in the start menu; the installer clears the "
                "product's start-menu folder on a reinstall, so the product needs its own name";
        return false;
      }
      haveProduct = true;
    } else if (key == "description_file") {
      if (!fileText(h.description)) return false;
      haveDescription = true;
    } else if (key == "terms_file") {
      if (!fileText(h.terms)) return false;
      haveTerms = true;
    } else if (key == "picture") {
      const fs::path p = baseDir / PathFromUtf8(value);
      if (!ReadWholeFile(p, h.picture)) {
        error = where + "cannot read " + PathToUtf8(p);
        return false;
      }
      h.hasPicture = true;
    } else if (key == "title_colour" || key == "text_colour" || key == "background_colour") {
      pkg::Colour& c = key[1] == 'i' ? h.title : key[1] == 'e' ? h.text : h.background;
      if (!ParseColour(value, c)) {
        error = where + "expected red, green, blue from 0 to 255";
        return false;
      }
    } else if (key == "directory") {
      if (!text1252(h.defaultDirectory)) return false;
    } else if (key == "folder") {
      if (!text1252(h.folderName)) return false;
    } else if (key == "reserved") {
      char tail;
      long v;
      if (std::sscanf(value.c_str(), "%ld %c", &v, &tail) != 1) {
        error = where + "expected a number";
        return false;
      }
      h.reserved = static_cast<int32_t>(v);
    } else if (key == "desktop_shortcut" || key == "start_menu_shortcut") {
      pkg::Shortcut s;
      std::string why;
      if (!ParseShortcut(value, s, why)) {
        error = where + why;
        return false;
      }
      (key[0] == 'd' ? h.desktop : h.startMenu).push_back(std::move(s));
    } else if (key == "registry_key") {
      std::string item;
      if (!text1252(item)) return false;
      h.registryKeys.push_back(std::move(item));
      keyLines.push_back(where);  // checked once the product is known
    } else if (key == "component") {
      std::string item;
      if (!text1252(item)) return false;
      if (std::string why = pkg::CheckRelativePath(item); !why.empty()) {
        error = where + why;
        return false;
      }
      h.components.push_back(std::move(item));
    } else {
      error = where + "unknown key";
      return false;
    }
  }
  if (!haveProduct || !haveDescription || !haveTerms) {
    error = "the description needs product, description_file and terms_file";
    return false;
  }
  for (size_t i = 0; i < h.registryKeys.size(); ++i) {
    const std::string product = Cp1252ToUtf8(h.productName);
    if (!pkg::CheckRegistryKey(Cp1252ToUtf8(h.registryKeys[i]), product).empty()) {
      error = keyLines[i] + "\"" + Cp1252ToUtf8(h.registryKeys[i]) +
              "\" is not one of the product's own keys; the uninstaller deletes a listed key "
              "with everything below it, so name HKLM\\SOFTWARE\\" + product + " or HKCU\\SOFTWARE\\" +
              product + ", or a key below them";
      return false;
    }
  }
  if (h.UsesProgramFiles() &&
      (h.folderName.empty() || !pkg::CheckRelativePath("\\" + h.folderName).empty())) {
    error = "directory = #PADRAO# needs a folder name (a relative path)";
    return false;
  }
  if (h.desktop.size() > 32767 || h.startMenu.size() > 32767 || h.registryKeys.size() > 32767 ||
      h.components.size() > 32767) {
    error = "a list holds more than 32767 entries";
    return false;
  }
  header = std::move(h);
  return true;
}

std::vector<uint8_t> SerializeHeader(const pkg::PackageHeader& h) {
  std::vector<uint8_t> out;
  auto text = [&out](std::string_view s) {
    pkg::PutI32(out, static_cast<int32_t>(s.size()));
    out.insert(out.end(), s.begin(), s.end());
  };
  auto colour = [&out](const pkg::Colour& c) {
    pkg::PutI16(out, c.red);
    pkg::PutI16(out, c.green);
    pkg::PutI16(out, c.blue);
  };
  auto shortcuts = [&](const std::vector<pkg::Shortcut>& list) {
    pkg::PutI16(out, static_cast<int16_t>(list.size()));
    for (const auto& s : list) {
      text(s.target);
      std::string name = s.name.substr(0, pkg::kNameFieldSize);
      name.resize(pkg::kNameFieldSize, ' ');
      out.insert(out.end(), name.begin(), name.end());
    }
  };
  auto texts = [&](const std::vector<std::string>& list) {
    pkg::PutI16(out, static_cast<int16_t>(list.size()));
    for (const auto& s : list) text(s);
  };
  pkg::PutI16(out, h.hasPicture ? pkg::kPictureFlag : 0);
  if (h.hasPicture) text(std::string_view(reinterpret_cast<const char*>(h.picture.data()), h.picture.size()));
  colour(h.title);
  colour(h.text);
  colour(h.background);
  text(h.productName);
  text(h.description);
  text(h.terms);
  text(h.defaultDirectory);
  text(h.folderName);
  pkg::PutI32(out, h.reserved);
  shortcuts(h.desktop);
  shortcuts(h.startMenu);
  texts(h.registryKeys);
  texts(h.components);
  return out;
}

namespace {

struct SourceFile {
  fs::path path;
  int directoryIndex;
  std::string name;  // Windows-1252
  int64_t size;
};

// The tree's directories ("\" first, parents before children) and files,
// in name order so that the same tree always gives the same package.
bool CollectTree(const fs::path& root, std::vector<std::string>& dirs,
                 std::vector<SourceFile>& files, std::string& error) {
  std::error_code ec;
  if (!fs::is_directory(root, ec)) {
    error = "files: " + PathToUtf8(root) + " is not a directory";
    return false;
  }
  struct Pending {
    fs::path path;
    std::string name;
  };
  std::vector<Pending> stack = {{root, std::string(pkg::kRootDirectory)}};
  while (!stack.empty()) {
    Pending at = std::move(stack.back());
    stack.pop_back();
    dirs.push_back(at.name);
    const int index = static_cast<int>(dirs.size());
    std::vector<fs::directory_entry> entries;
    for (const auto& e : fs::directory_iterator(at.path, ec)) entries.push_back(e);
    if (ec) {
      error = "cannot list " + PathToUtf8(at.path);
      return false;
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    std::vector<Pending> subdirs;
    for (const auto& e : entries) {
      std::string name;
      const std::string utf8 = PathToUtf8(e.path().filename());
      if (!To1252(utf8, name)) {
        error = PathToUtf8(e.path()) + ": the name has a character without a Windows-1252 code";
        return false;
      }
      // The installer writes these two itself; a staged copy would replace
      // the uninstall record or the uninstaller.
      if (index == 1 && pkg::IsInstallerOwnFile(name)) {
        error = PathToUtf8(e.path()) + ": the installer writes " + name +
                " into the install directory itself; remove it from the staged files";
        return false;
      }
      if (std::string why = pkg::CheckNameComponent(name); !why.empty()) {
        error = PathToUtf8(e.path()) + ": the installer refuses this name (" + why + ")";
        return false;
      }
      if (e.is_directory(ec) && !e.is_symlink(ec)) {
        const std::string full = at.name == pkg::kRootDirectory ? "\\" + name : at.name + "\\" + name;
        if (full.size() > 32767) {
          error = PathToUtf8(e.path()) + ": directory path too long";
          return false;
        }
        subdirs.push_back({e.path(), full});
      } else if (e.is_regular_file(ec)) {
        if (name.size() > pkg::kNameFieldSize) {
          error = PathToUtf8(e.path()) + ": the file name is longer than 64 bytes";
          return false;
        }
        files.push_back({e.path(), index, name, static_cast<int64_t>(e.file_size(ec))});
      } else {
        error = PathToUtf8(e.path()) + ": neither a regular file nor a directory";
        return false;
      }
    }
    // Pushed in reverse so that they come off the stack in name order.
    for (auto it = subdirs.rbegin(); it != subdirs.rend(); ++it) stack.push_back(std::move(*it));
  }
  if (dirs.size() > 32767) {
    error = "more than 32767 directories";
    return false;
  }
  // Files of each directory follow the directory list's order.
  std::stable_sort(files.begin(), files.end(), [](const SourceFile& a, const SourceFile& b) {
    return a.directoryIndex < b.directoryIndex;
  });
  return true;
}

class Output {
 public:
  bool Open(const fs::path& p) {
    file_ = OpenBinaryFile(p, FileMode::Write);
    return file_ != nullptr;
  }
  bool Write(const void* data, size_t n) {
    written_ += static_cast<int64_t>(n);
    return n == 0 || std::fwrite(data, 1, n, file_.get()) == n;
  }
  bool Write(const std::vector<uint8_t>& v) { return Write(v.data(), v.size()); }
  bool Close() { return std::fclose(file_.release()) == 0; }
  int64_t Written() const { return written_; }

 private:
  UniqueFile file_;
  int64_t written_ = 0;
};

bool WriteImage(Output& out, const fs::path& path, int64_t size, bool pad, const char* what,
                std::string& error) {
  std::vector<uint8_t> image;
  if (!ReadWholeFile(path, image)) {
    error = std::string("cannot read the ") + what + " image " + PathToUtf8(path);
    return false;
  }
  const auto have = static_cast<int64_t>(image.size());
  if (have > size || (have < size && !pad)) {
    error = std::string("the ") + what + " image " + PathToUtf8(path) + " is " +
            std::to_string(have) + " bytes; the installer expects exactly " + std::to_string(size) +
            (have < size ? " (--pad-images fills it with zero bytes)" : "");
    return false;
  }
  image.resize(static_cast<size_t>(size), 0);
  return out.Write(image);
}

bool WriteBody(const PackOptions& o, const pkg::PackageHeader& header, Output& out,
               PackReport& report, std::string& error) {
  if (!WriteImage(out, o.installerImage, o.sizes.installer, o.padImages, "installer", error) ||
      !WriteImage(out, o.uninstallerImage, o.sizes.uninstaller, o.padImages, "uninstaller", error))
    return false;
  if (!out.Write(SerializeHeader(header))) return false;
  report.fileSectionOffset = out.Written();

  std::vector<std::string> dirs;
  std::vector<SourceFile> files;
  if (!CollectTree(o.filesRoot, dirs, files, error)) return false;
  std::vector<uint8_t> head(pkg::kFileSectionMarker.begin(), pkg::kFileSectionMarker.end());
  pkg::PutI16(head, pkg::kFileSectionReserved);
  pkg::PutI16(head, static_cast<int16_t>(dirs.size()));
  pkg::PutI32(head, static_cast<int32_t>(files.size()));
  for (size_t i = 0; i < dirs.size(); ++i) {
    pkg::PutI16(head, static_cast<int16_t>(i + 1));
    pkg::PutI16(head, static_cast<int16_t>(dirs[i].size()));
    head.insert(head.end(), dirs[i].begin(), dirs[i].end());
  }
  if (!out.Write(head)) return false;

  clsHuffman codec;
  std::vector<uint8_t> chunk;
  for (const SourceFile& f : files) {
    UniqueFile in = OpenBinaryFile(f.path, FileMode::Read);
    if (!in) {
      error = "cannot read " + PathToUtf8(f.path);
      return false;
    }
    const int64_t piece = o.chunkSize > 0 ? o.chunkSize : std::max<int64_t>(f.size, 1);
    const int64_t count = f.size == 0 ? 1 : (f.size + piece - 1) / piece;
    if (count > 32767 || piece > pkg::kMaxOffset) {
      error = PathToUtf8(f.path) + ": needs " + std::to_string(count) +
              " chunks of at most 2147483647 bytes; at most 32767 fit (use --chunk-size)";
      return false;
    }
    std::vector<uint8_t> rec;
    pkg::PutI16(rec, static_cast<int16_t>(f.directoryIndex));
    rec.insert(rec.end(), f.name.begin(), f.name.end());
    rec.resize(rec.size() + pkg::kNameFieldSize - f.name.size(), ' ');
    pkg::PutI16(rec, o.chunkSize > 0 && f.size > 0 ? static_cast<int16_t>(count) : 0);
    if (!out.Write(rec)) return false;
    for (int64_t k = 0; k < count; ++k) {
      const int64_t n = std::min(piece, f.size - k * piece);
      chunk.resize(static_cast<size_t>(std::max<int64_t>(n, 0)));
      if (!chunk.empty() && std::fread(chunk.data(), 1, chunk.size(), in.get()) != chunk.size()) {
        error = "cannot read " + PathToUtf8(f.path) + " (did it change while packing?)";
        return false;
      }
      if (HuffmanError e = codec.EncodeByte(chunk, static_cast<int32_t>(chunk.size()))) {
        error = PathToUtf8(f.path) + ": " + e.Description;
        return false;
      }
      std::vector<uint8_t> length;
      pkg::PutI32(length, static_cast<int32_t>(chunk.size()));
      if (!out.Write(length) || !out.Write(chunk)) return false;
      ++report.chunks;
      if (out.Written() > pkg::kMaxOffset) {
        error = "the package passes 2147483647 bytes, the most the installer can address";
        return false;
      }
    }
    report.inputBytes += f.size;
  }
  report.directories = static_cast<int>(dirs.size());
  report.files = static_cast<int>(files.size());
  report.totalBytes = out.Written();
  return true;
}

}  // namespace

bool ReadProgramVersion(const fs::path& program, std::string& version, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(program, bytes)) {
    error = "cannot read " + PathToUtf8(program);
    return false;
  }
  // The version resource: "VS_VERSION_INFO" in UTF-16, then, aligned to 4
  // bytes, the fixed part that starts with its signature 0xFEEF04BD.
  static const char16_t kKey[] = u"VS_VERSION_INFO";
  std::vector<uint8_t> key;
  for (char16_t ch : std::u16string_view(kKey)) {
    key.push_back(static_cast<uint8_t>(ch));
    key.push_back(0);
  }
  for (auto at = bytes.begin();
       (at = std::search(at, bytes.end(), key.begin(), key.end())) != bytes.end(); ++at) {
    const size_t pos = static_cast<size_t>(at - bytes.begin()) + key.size();
    for (size_t fixed = pos; fixed < pos + 8 && fixed + 24 <= bytes.size(); fixed += 2) {
      auto u32 = [&](size_t off) { return static_cast<uint32_t>(pkg::GetI32(&bytes[fixed + off])); };
      if (u32(0) != 0xFEEF04BDu) continue;
      const uint32_t ms = u32(16), ls = u32(20);  // product version
      version = std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
                std::to_string(ls >> 16);
      return true;
    }
  }
  error = PathToUtf8(program) + " has no version resource";
  return false;
}

std::string SubstituteVersion(std::string text, const std::string& version) {
  for (size_t at = text.find(kVersionMark); at != std::string::npos;
       at = text.find(kVersionMark, at + version.size()))
    text.replace(at, kVersionMark.size(), version);
  return text;
}

bool WritePackage(const PackOptions& o, PackReport& report, std::string& error) {
  std::vector<uint8_t> descriptionText;
  if (!ReadWholeFile(o.description, descriptionText)) {
    error = "cannot read the description " + PathToUtf8(o.description);
    return false;
  }
  pkg::PackageHeader header;
  if (!ParseDescription(std::string_view(reinterpret_cast<const char*>(descriptionText.data()),
                                         descriptionText.size()),
                        o.description.parent_path(), header, error)) {
    error = PathToUtf8(o.description) + ": " + error;
    return false;
  }
  const bool marked = header.description.find(kVersionMark) != std::string::npos ||
                      header.terms.find(kVersionMark) != std::string::npos;
  if (marked && o.version.empty()) {
    error = PathToUtf8(o.description) + ": the texts name " + std::string(kVersionMark) +
            "; give --version-from";
    return false;
  }
  header.description = SubstituteVersion(header.description, o.version);
  header.terms = SubstituteVersion(header.terms, o.version);
  PackReport r;
  Output out;
  if (!out.Open(o.output)) {
    error = "cannot create " + PathToUtf8(o.output);
    return false;
  }
  bool ok = WriteBody(o, header, out, r, error);
  if (!out.Close()) ok = false;
  if (ok) {
    // Read back with the installer's own reader: what it refuses is not
    // shipped.
    auto source = pkg::FileByteSource::Open(o.output);
    pkg::Result res{pkg::Status::CannotRead, "cannot reopen the result"};
    if (source) {
      pkg::PackageReader reader(*source, o.sizes);
      pkg::PackageHeader back;
      pkg::FileSectionSummary summary;
      res = reader.ReadHeader(back);
      if (res.Ok()) res = reader.ValidateFileSection(back.fileSectionOffset, summary);
    }
    if (!res.Ok()) {
      ok = false;
      error = "the installer's reader refuses the result: " + res.message;
    }
  }
  if (!ok) {
    if (error.empty()) error = "cannot write " + PathToUtf8(o.output);
    std::error_code ec;
    fs::remove(o.output, ec);
    return false;
  }
  report = r;
  return true;
}

}  // namespace kova::pack
