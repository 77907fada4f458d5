#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "store/platform_file.h"

namespace kova::file {
namespace {

std::string FolderOf(const std::string& path) {
  auto p = path.rfind('/');
  if (p == std::string::npos) return ".";
  if (p == 0) return "/";
  return path.substr(0, p);
}

bool WriteFully(int fd, const char* data, std::size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, data, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

}  // namespace

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

std::optional<std::string> ReadAll(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string out;
  char buf[65536];
  for (;;) {
    ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (r == 0) break;
    out.append(buf, static_cast<std::size_t>(r));
  }
  ::close(fd);
  return out;
}

std::optional<std::string> WriteBeside(const std::string& path, std::string_view contents) {
  // A file the user may not write is not replaced behind its back.
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) return std::nullopt;
  std::string tmpl = path + ".XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return std::nullopt;
  // Keep the usual permissions of a new file rather than mkstemp's 0600.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  bool ok = WriteFully(fd, contents.data(), contents.size()) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) return std::string(name.data());
  ::unlink(name.data());
  return std::nullopt;
}

ReplaceResult MoveOver(const std::string& from, const std::string& to) {
  // Here a program "holds" a file with an exclusive or shared flock, as a
  // Windows program holds one it opened without delete sharing.
  int held = ::open(to.c_str(), O_RDONLY | O_CLOEXEC);
  if (held >= 0) {
    const bool in_use = ::flock(held, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(held);
    if (in_use) return ReplaceResult::kInUse;
  }
  return ::rename(from.c_str(), to.c_str()) == 0 ? ReplaceResult::kDone : ReplaceResult::kFailed;
}

bool Remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool CreateEmpty(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool FolderWritable(const std::string& folder) {
  std::string tmpl = Join(folder, ".kova-probe-XXXXXX");
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(name.data());
  return true;
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  struct stat st;
  if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  std::string parent = FolderOf(folder);
  if (parent != folder && parent != "." && !MakeFolders(parent)) return false;
  return ::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST;
}

std::string WorkingFolder() {
  std::vector<char> buf(4096);
  if (!::getcwd(buf.data(), buf.size())) return ".";
  return buf.data();
}

std::string UserSettingsFolder() {
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return Join(x, "kova");
  if (const char* h = std::getenv("HOME"); h && *h) return Join(Join(h, ".config"), "kova");
  return "/tmp/kova";
}

std::string DocumentsFolder() {
  if (const char* h = std::getenv("HOME"); h && *h) return Join(h, "Documents");
  return WorkingFolder();
}

std::string DumpFolder() {
  if (const char* d = std::getenv("KOVA_DUMP_DIR"); d && *d) return d;
  return "/tmp";
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

NativeHandle CreateAlways(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd < 0 ? kNoHandle : fd;
}

// Files are not locked against readers here.
NativeHandle CreateNewReadable(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  return fd < 0 ? kNoHandle : fd;
}

NativeHandle OpenExisting(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  return fd < 0 ? kNoHandle : fd;
}

void Close(NativeHandle h) {
  if (h != kNoHandle) ::close(static_cast<int>(h));
}

bool Write(NativeHandle h, const void* data, std::size_t n) {
  return h != kNoHandle && WriteFully(static_cast<int>(h), static_cast<const char*>(data), n);
}

long Read(NativeHandle h, void* data, std::size_t n) {
  if (h == kNoHandle) return -1;
  for (;;) {
    ssize_t r = ::read(static_cast<int>(h), data, n);
    if (r < 0 && errno == EINTR) continue;
    return static_cast<long>(r);
  }
}

bool SeekTo(NativeHandle h, std::int64_t offset) {
  return h != kNoHandle && ::lseek(static_cast<int>(h), offset, SEEK_SET) >= 0;
}

bool SeekToEnd(NativeHandle h) {
  return h != kNoHandle && ::lseek(static_cast<int>(h), 0, SEEK_END) >= 0;
}

}  // namespace kova::file
