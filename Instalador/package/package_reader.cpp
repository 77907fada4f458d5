#include "Instalador/package/package_reader.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <unordered_set>

#include "Instalador/package/package_rules.h"
#include "common/cp1252.h"

namespace kova::pkg {

// ---------------------------------------------------------------- sources

std::unique_ptr<FileByteSource> FileByteSource::Open(const std::filesystem::path& path) {
  UniqueFile f = OpenBinaryFile(path, FileMode::Read);
  if (!f) return nullptr;
  const int64_t size = FileLength(f.get());
  if (size < 0) return nullptr;
  return std::unique_ptr<FileByteSource>(new FileByteSource(std::move(f), size));
}

bool FileByteSource::ReadAt(int64_t offset, void* dst, size_t n) {
  if (offset < 0 || offset > size_ || static_cast<uint64_t>(size_ - offset) < n) return false;
  if (n == 0) return true;
  if (offset != position_ && !SeekFile(file_.get(), offset)) {
    position_ = -1;
    return false;
  }
  const size_t got = std::fread(dst, 1, n, file_.get());
  position_ = got == n ? offset + static_cast<int64_t>(n) : -1;
  return got == n;
}

bool MemoryByteSource::ReadAt(int64_t offset, void* dst, size_t n) {
  if (offset < 0 || static_cast<uint64_t>(offset) > bytes_.size() ||
      bytes_.size() - static_cast<size_t>(offset) < n)
    return false;
  if (n) std::memcpy(dst, bytes_.data() + offset, n);
  return true;
}

namespace {

// Text of package bytes for a message: Windows-1252 shown as UTF-8, control
// characters as '?', long texts cut.
std::string Shown(std::string_view bytes) {
  std::string clean;
  for (char c : bytes.substr(0, 80)) clean.push_back(uint8_t(c) < 0x20 || c == 0x7F ? '?' : c);
  if (bytes.size() > 80) clean += "...";
  return "\"" + Cp1252ToUtf8(clean) + "\"";
}

}  // namespace

// ---------------------------------------------------------------- reader

namespace {

constexpr std::string_view kDamaged = "O pacote de instalação está danificado: ";

Result Damaged(const std::string& what) {
  return {Status::Damaged, std::string(kDamaged) + what + "."};
}
Result CannotRead() {
  return {Status::CannotRead,
          "Não foi possível ler o pacote de instalação no arquivo do instalador."};
}

// Reads fields in order from a running offset, never past the end of the
// source nor past the format's offset limit. The first failure is kept.
class Cursor {
 public:
  Cursor(ByteSource& source, int64_t offset) : source_(source), at_(offset) {}

  int64_t At() const { return at_; }
  int64_t Left() const { return std::max<int64_t>(0, source_.Size() - at_); }
  bool Failed() const { return failed_.has_value(); }
  Result Failure() const { return *failed_; }

  bool Skip(int64_t n, const std::string& field) {
    if (!Room(n, field)) return false;
    at_ += n;
    return true;
  }
  bool Bytes(void* dst, int64_t n, const std::string& field) {
    if (!Room(n, field)) return false;
    if (!source_.ReadAt(at_, dst, static_cast<size_t>(n))) return Fail(CannotRead());
    at_ += n;
    return true;
  }
  bool I16(int16_t& v, const std::string& field) {
    uint8_t b[2];
    if (!Bytes(b, 2, field)) return false;
    v = GetI16(b);
    return true;
  }
  bool I32(int32_t& v, const std::string& field) {
    uint8_t b[4];
    if (!Bytes(b, 4, field)) return false;
    v = GetI32(b);
    return true;
  }
  bool Count(int16_t& n, const std::string& field) {
    if (!I16(n, field)) return false;
    if (n < 0) return Fail(Damaged(field + " com quantidade negativa (" + std::to_string(n) + ")"));
    return true;
  }
  // A text field: 32-bit length, then that many bytes.
  bool Text(std::string& text, const std::string& field) {
    int32_t n;
    if (!I32(n, "o comprimento d" + field)) return false;
    if (n < 0) return Fail(Damaged(field + " com comprimento negativo (" + std::to_string(n) + ")"));
    text.resize(0);
    if (!Room(n, field)) return false;
    text.resize(static_cast<size_t>(n));
    return Bytes(text.data(), n, field);
  }
  bool Fail(Result r) {
    if (!failed_) failed_ = std::move(r);
    return false;
  }

 private:
  bool Room(int64_t n, const std::string& field) {
    if (n < 0 || n > Left())
      return Fail(Damaged(field + " (" + std::to_string(n) + " bytes na posição " +
                          std::to_string(at_) + ") passa do fim do arquivo"));
    if (at_ + n > kMaxOffset)
      return Fail(Damaged(field + " passa do limite de 2147483647 bytes do formato"));
    return true;
  }

  ByteSource& source_;
  int64_t at_;
  std::optional<Result> failed_;
};

std::string Nth(const char* what, int64_t index) {
  return std::string(what) + " " + std::to_string(index + 1);
}

bool ReadColour(Cursor& c, Colour& colour, const std::string& field) {
  int16_t v[3];
  for (int k = 0; k < 3; ++k) {
    if (!c.I16(v[k], field)) return false;
    if (v[k] < 0 || v[k] > 255)
      return c.Fail(Damaged(field + " com componente fora de 0 a 255 (" + std::to_string(v[k]) +
                            ")"));
  }
  colour = {v[0], v[1], v[2]};
  return true;
}

bool ReadShortcuts(Cursor& c, std::vector<Shortcut>& list, const char* listName) {
  int16_t n;
  if (!c.Count(n, std::string("a lista de atalhos ") + listName)) return false;
  list.clear();
  for (int i = 0; i < n; ++i) {
    const std::string field = Nth("o atalho", i) + " " + listName;
    Shortcut s;
    if (!c.Text(s.target, "o destino d" + field)) return false;
    if (std::string why = CheckRelativePath(s.target); !why.empty())
      return c.Fail(Damaged(field + " tem destino " + Shown(s.target) + " inválido: " + why));
    s.name.resize(kNameFieldSize);
    if (!c.Bytes(s.name.data(), kNameFieldSize, "o nome d" + field)) return false;
    if (std::string why = CheckNameComponent(TrimPadding(s.name)); !why.empty())
      return c.Fail(Damaged(field + " tem nome " + Shown(TrimPadding(s.name)) + " inválido: " + why));
    list.push_back(std::move(s));
  }
  return true;
}

bool ReadTextList(Cursor& c, std::vector<std::string>& list, const char* listName,
                  const char* itemName, const char* invalid,
                  const std::function<std::string(std::string_view)>& check) {
  int16_t n;
  if (!c.Count(n, std::string("a lista de ") + listName)) return false;
  list.clear();
  for (int i = 0; i < n; ++i) {
    const std::string field = Nth(itemName, i);
    std::string text;
    if (!c.Text(text, field)) return false;
    if (std::string why = check(text); !why.empty())
      return c.Fail(Damaged(field + " " + Shown(text) + " é " + invalid + ": " + why));
    list.push_back(std::move(text));
  }
  return true;
}

bool HasControl(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char ch) { return uint8_t(ch) < 0x20 || ch == 0x7F; });
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& ch : out)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return out;
}

// Reads one directory record and checks it against the earlier ones, whose
// names (ASCII lower case) `earlier` holds: one lookup per record keeps
// reading linear in the package's size, however many directories it has.
bool ReadDirectory(Cursor& c, int index, std::unordered_set<std::string>& earlier,
                   DirectoryRecord& d) {
  const std::string field = Nth("o diretório", index);
  int16_t length;
  if (!c.I16(d.number, "o número d" + field)) return false;
  if (!c.I16(length, "o comprimento do nome d" + field)) return false;
  if (length < 0)
    return c.Fail(Damaged(field + " tem nome de comprimento negativo (" + std::to_string(length) + ")"));
  d.name.assign(static_cast<size_t>(std::min<int64_t>(length, c.Left())), '\0');
  if (!c.Bytes(d.name.data(), length, "o nome d" + field)) return false;
  if (std::string why = CheckDirectoryName(d.name); !why.empty())
    return c.Fail(Damaged(field + " tem nome " + Shown(d.name) + " inválido: " + why));
  // Directories are created one level at a time: the parent comes first.
  const size_t cut = d.name.rfind('\\');
  if (cut != 0 && cut != std::string::npos) {
    const std::string_view parent = std::string_view(d.name).substr(0, cut);
    if (!earlier.count(LowerAscii(parent)))
      return c.Fail(Damaged(field + " " + Shown(d.name) + " vem antes do seu diretório pai " +
                            Shown(parent)));
  }
  earlier.insert(LowerAscii(d.name));
  return true;
}

// The installer writes its uninstaller and the uninstall log into the
// install directory: no file of the package may take their place.
bool CheckOwnFile(Cursor& c, int index, const FileRecord& f, const std::string& directory) {
  const std::string_view name = TrimPadding(f.name);
  if (directory == kRootDirectory && IsInstallerOwnFile(name))
    return c.Fail(Damaged(Nth("o arquivo", index) + " " + Shown(name) +
                          " tomaria o lugar de um arquivo que o instalador grava"));
  return true;
}

// Reads a file record's fixed part.
bool ReadFileHead(Cursor& c, int index, int directories, FileRecord& f) {
  const std::string field = Nth("o arquivo", index);
  if (!c.I16(f.directoryIndex, "o diretório d" + field)) return false;
  f.name.resize(kNameFieldSize);
  if (!c.Bytes(f.name.data(), kNameFieldSize, "o nome d" + field)) return false;
  if (std::string why = CheckNameComponent(TrimPadding(f.name)); !why.empty())
    return c.Fail(Damaged(field + " tem nome " + Shown(TrimPadding(f.name)) + " inválido: " + why));
  if (f.directoryIndex < 1 || f.directoryIndex > directories)
    return c.Fail(Damaged(field + " " + Shown(TrimPadding(f.name)) + " aponta para o diretório " +
                          std::to_string(f.directoryIndex) + ", mas há " +
                          std::to_string(directories) + " diretório(s)"));
  if (!c.I16(f.chunkField, "o número de partes d" + field)) return false;
  if (f.chunkField < 0)
    return c.Fail(Damaged(field + " " + Shown(TrimPadding(f.name)) +
                          " tem número de partes negativo (" + std::to_string(f.chunkField) + ")"));
  return true;
}

// Reads a chunk's length and checks that it holds an HE3 stream.
bool ReadChunkHead(Cursor& c, const FileRecord& f, int chunk, int32_t& length) {
  const std::string field = "a parte " + std::to_string(chunk + 1) + " do arquivo " +
                            Shown(TrimPadding(f.name));
  if (!c.I32(length, "o comprimento d" + field)) return false;
  if (length < 0)
    return c.Fail(Damaged(field + " tem comprimento negativo (" + std::to_string(length) + ")"));
  if (length > c.Left()) return c.Skip(length, field);  // reports the overrun
  char id[4] = {};
  if (length < 4 || !c.Bytes(id, 4, field) ||
      (std::memcmp(id, "HE0\r", 4) != 0 && std::memcmp(id, "HE3\r", 4) != 0))
    return c.Failed() ? false : c.Fail(Damaged(field + " não está no formato HE3"));
  return true;
}

}  // namespace

PackageReader::PackageReader(ByteSource& source, ImageSizes sizes)
    : source_(source), sizes_(sizes) {}

Result PackageReader::ReadHeader(PackageHeader& header) {
  const int64_t size = source_.Size();
  if (size == sizes_.installer)
    return {Status::NoAppendix, "Este instalador não contém pacote: não há nada a instalar."};
  if (size < sizes_.installer)
    return Damaged("o arquivo do instalador tem " + std::to_string(size) +
                   " bytes, menos que o programa de instalação");
  if (size < sizes_.HeaderOffset())
    return Damaged("o programa de desinstalação está incompleto");

  PackageHeader h;
  Cursor c(source_, sizes_.HeaderOffset());
  int16_t flag = 0;
  if (c.I16(flag, "o indicador de imagem de fundo") && flag == kPictureFlag) {
    h.hasPicture = true;
    std::string picture;
    if (c.Text(picture, "a imagem de fundo")) h.picture.assign(picture.begin(), picture.end());
  }
  if (!c.Failed() && ReadColour(c, h.title, "a cor do título") &&
      ReadColour(c, h.text, "a cor do texto") && ReadColour(c, h.background, "a cor de fundo") &&
      c.Text(h.productName, "o nome do produto") && c.Text(h.description, "a descrição") &&
      c.Text(h.terms, "os termos") && c.Text(h.defaultDirectory, "o diretório padrão") &&
      c.Text(h.folderName, "o nome da pasta") && c.I32(h.reserved, "o campo reservado") &&
      ReadShortcuts(c, h.desktop, "da área de trabalho") &&
      ReadShortcuts(c, h.startMenu, "do menu Iniciar") &&
      ReadTextList(c, h.registryKeys, "chaves de registro", "a chave de registro", "inválida",
                   [&](std::string_view key) {
                     // A bad product name is told as such below.
                     return CheckProductName(h.productName).empty()
                                ? CheckRegistryKey(Cp1252ToUtf8(key), Cp1252ToUtf8(h.productName))
                                : std::string();
                   }) &&
      ReadTextList(c, h.components, "componentes", "o componente", "inválido", CheckRelativePath)) {
    // The product name names the Uninstall key and the start-menu folder.
    if (std::string why = CheckProductName(h.productName); !why.empty())
      c.Fail(Damaged("o nome do produto " + Shown(h.productName) + " é inválido: " + why));
    else if (HasControl(h.defaultDirectory))
      c.Fail(Damaged("o diretório padrão tem caractere de controle"));
    else if (h.UsesProgramFiles() && h.folderName.empty())
      c.Fail(Damaged("falta o nome da pasta para o diretório padrão"));
    else if (h.UsesProgramFiles() && !(h.folderName.front() != '\\' &&
                                       CheckRelativePath("\\" + h.folderName).empty()))
      c.Fail(Damaged("o nome da pasta " + Shown(h.folderName) + " é inválido"));
  }
  if (c.Failed()) return c.Failure();
  h.fileSectionOffset = c.At();
  header = std::move(h);
  return {};
}

Result PackageReader::ReadUninstallerImage(std::vector<uint8_t>& image) {
  if (source_.Size() == sizes_.installer)
    return {Status::NoAppendix, "Este instalador não contém pacote: não há nada a instalar."};
  if (source_.Size() < sizes_.HeaderOffset())
    return Damaged("o programa de desinstalação está incompleto");
  std::vector<uint8_t> bytes(static_cast<size_t>(sizes_.uninstaller));
  if (!source_.ReadAt(sizes_.installer, bytes.data(), bytes.size())) return CannotRead();
  image.swap(bytes);
  return {};
}

Result PackageReader::ValidateFileSection(int64_t offset, FileSectionSummary& summary) {
  if (offset < sizes_.HeaderOffset() || offset > source_.Size())
    return Damaged("a seção de arquivos começa fora do pacote (posição " + std::to_string(offset) +
                   ")");
  FileSectionSummary s;
  Cursor c(source_, offset);
  char marker[3];
  int16_t reserved, dirCount;
  int32_t fileCount;
  if (!c.Bytes(marker, 3, "a marca da seção de arquivos")) return c.Failure();
  if (std::string_view(marker, 3) != kFileSectionMarker)
    return Damaged("a seção de arquivos não começa com \"PKG\"");
  if (!c.I16(reserved, "o campo reservado da seção de arquivos") ||
      !c.Count(dirCount, "a lista de diretórios") ||
      !c.I32(fileCount, "o número de arquivos"))
    return c.Failure();
  if (fileCount < 0)
    return Damaged("a lista de arquivos com quantidade negativa (" + std::to_string(fileCount) + ")");
  std::vector<DirectoryRecord> dirs;
  std::unordered_set<std::string> names;
  for (int i = 0; i < dirCount; ++i) {
    DirectoryRecord d;
    if (!ReadDirectory(c, i, names, d)) return c.Failure();
    dirs.push_back(std::move(d));
  }
  for (int i = 0; i < fileCount; ++i) {
    FileRecord f;
    if (!ReadFileHead(c, i, dirCount, f) ||
        !CheckOwnFile(c, i, f, dirs[static_cast<size_t>(f.directoryIndex - 1)].name))
      return c.Failure();
    for (int k = 0; k < f.ChunkCount(); ++k) {
      int32_t length;
      const int64_t start = c.At();
      if (!ReadChunkHead(c, f, k, length)) return c.Failure();
      // The identification was read; step over the rest of the chunk.
      if (!c.Skip(start + 4 + length - c.At(), "a parte " + std::to_string(k + 1)))
        return c.Failure();
      ++s.chunks;
      s.largestChunk = std::max<int64_t>(s.largestChunk, length);
    }
  }
  s.directories = dirCount;
  s.files = fileCount;
  s.end = c.At();
  s.trailingBytes = source_.Size() - s.end;
  validatedOffset_ = offset;
  validated_ = s;
  summary = s;
  return {};
}

Result PackageReader::WalkFileSection(int64_t offset, FileSectionVisitor& visitor) {
  if (validatedOffset_ != offset) {
    FileSectionSummary s;
    if (Result r = ValidateFileSection(offset, s); !r.Ok()) return r;
  }
  const Result stopped{Status::Stopped, {}};
  Cursor c(source_, offset + 3 + 2);
  int16_t dirCount = 0;
  int32_t fileCount = 0;
  if (!c.I16(dirCount, "a lista de diretórios") || !c.I32(fileCount, "o número de arquivos"))
    return c.Failure();
  std::vector<DirectoryRecord> dirs;
  std::unordered_set<std::string> names;
  for (int i = 0; i < dirCount; ++i) {
    DirectoryRecord d;
    if (!ReadDirectory(c, i, names, d)) return c.Failure();
    if (!visitor.OnDirectory(i, d)) return stopped;
    dirs.push_back(std::move(d));
  }
  std::vector<uint8_t> chunk;
  for (int i = 0; i < fileCount; ++i) {
    FileRecord f;
    if (!ReadFileHead(c, i, dirCount, f)) return c.Failure();
    if (!visitor.OnFileBegin(i, f, dirs[static_cast<size_t>(f.directoryIndex - 1)])) return stopped;
    for (int k = 0; k < f.ChunkCount(); ++k) {
      int32_t length;
      if (!c.I32(length, "o comprimento da parte")) return c.Failure();
      if (length < 0 || length > c.Left())  // validated; the file changed since
        return CannotRead();
      chunk.resize(static_cast<size_t>(length));
      if (!c.Bytes(chunk.data(), length, "a parte")) return c.Failure();
      if (!visitor.OnChunk(k, chunk)) return stopped;
    }
    if (!visitor.OnFileEnd()) return stopped;
  }
  return {};
}

}  // namespace kova::pkg
