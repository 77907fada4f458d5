// The file access the store needs, one implementation per platform
// (platform_file_win32.cpp, platform_file_posix.cpp). Paths are UTF-8; on
// Windows they may be longer than the classic 260 characters.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kova::file {

// An open file: a HANDLE on Windows, a descriptor elsewhere; -1 is none.
using NativeHandle = std::intptr_t;
constexpr NativeHandle kNoHandle = -1;

// True when something exists under the path.
bool Exists(const std::string& path);
// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadAll(const std::string& path);
enum class ReplaceResult {
  kDone,
  kInUse,   // another program held the file all along
  kFailed,  // the folder or the file cannot be written
};

// Writes a complete new file beside the old one and puts it in its place in
// one step, so a crash or a full disk leaves the previous file intact. While
// another program holds the file (an antivirus scan, OneDrive, Excel) the
// last step is tried again, up to ten times 100 ms apart on the process
// clock. On failure the old file is as it was and nothing is left beside it.
ReplaceResult Replace(const std::string& path, std::string_view contents);
// Replace() == kDone.
bool ReplaceAtomically(const std::string& path, std::string_view contents);

// The steps of Replace, one implementation per platform. A new file in the
// folder of `path` holding `contents`, on disk: its path, or nothing (also
// when `path` is a read-only file).
std::optional<std::string> WriteBeside(const std::string& path, std::string_view contents);
// Puts the file `from` in the place of `to` in one step.
ReplaceResult MoveOver(const std::string& from, const std::string& to);
bool Remove(const std::string& path);
// Creates an empty file when none exists; true when the file exists after.
bool CreateEmpty(const std::string& path);
// True when a new file can be created in the folder.
bool FolderWritable(const std::string& folder);
bool MakeFolders(const std::string& folder);

std::string WorkingFolder();
// Where per-user settings live when the working folder cannot be written.
std::string UserSettingsFolder();
// The user's documents folder (parameter files and recordings go there when
// the program's own folder is protected); the working folder when the
// system names none.
std::string DocumentsFolder();
// Where the diagnostic dumps go.
std::string DumpFolder();
// folder + separator (unless it already ends with one) + name.
std::string Join(const std::string& folder, const std::string& name);

// Raw handles for the dump file.
NativeHandle CreateAlways(const std::string& path);  // write, no sharing
// A new file, never one that exists; write, others may read meanwhile (a
// recording opened in Excel during a road test).
NativeHandle CreateNewReadable(const std::string& path);
NativeHandle OpenExisting(const std::string& path);  // read, no sharing
void Close(NativeHandle h);
bool Write(NativeHandle h, const void* data, std::size_t n);
// Bytes read, 0 at the end, -1 on error.
long Read(NativeHandle h, void* data, std::size_t n);
bool SeekTo(NativeHandle h, std::int64_t offset);
bool SeekToEnd(NativeHandle h);

}  // namespace kova::file
