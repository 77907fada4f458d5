// A package held in memory for the install procedure tests, and a decoder
// for its chunks: stored-form HE3 streams ("HE0" 13 + bytes), anything
// else is refused the way the codec refuses an unknown identification.
#pragma once
#include <string>
#include <vector>

#include "Instalador/setup/install_procedure.h"

namespace kova {

inline std::string Stored(const std::string& bytes) { return std::string("HE0\r") + bytes; }

inline std::string Pad64(const std::string& name) { return name + std::string(64 - name.size(), ' '); }

struct FakeFile {
  int dir_index = 1;
  std::string name;  // padded
  int chunk_field = 0;
  std::vector<std::string> chunks;
};

class FakePackage : public PackageSource {
 public:
  std::vector<std::string> dirs = {"\\"};
  std::vector<FakeFile> files;
  std::string image = std::string(64, 'U');
  std::string invalid;  // a validation message, when set
  int walks = 0;

  bool Validate(int* directories, int* file_count, std::string* error) override {
    if (!invalid.empty()) {
      *error = invalid;
      return false;
    }
    *directories = static_cast<int>(dirs.size());
    *file_count = static_cast<int>(files.size());
    return true;
  }
  bool UninstallerImage(std::string* out, std::string*) override {
    *out = image;
    return true;
  }
  bool Walk(FileSectionVisitor& v, std::string*) override {
    ++walks;
    for (size_t i = 0; i < dirs.size(); ++i)
      if (!v.Directory(static_cast<int>(i), dirs[i])) return false;
    for (size_t i = 0; i < files.size(); ++i) {
      const FakeFile& f = files[i];
      if (!v.FileBegin(static_cast<int>(i), f.dir_index, f.name, f.chunk_field)) return false;
      for (std::string c : f.chunks)
        if (!v.Chunk(c)) return false;
      if (!v.FileEnd()) return false;
    }
    return true;
  }
};

class StoredDecoder : public ChunkDecoder {
 public:
  bool Decode(std::string& bytes, std::string* error) override {
    if (bytes.compare(0, 4, "HE0\r") != 0) {
      *error = "The data either was not compressed with HE3 or is corrupt (identification string not found)";
      return false;
    }
    bytes.erase(0, 4);
    return true;
  }
};

class RecordingProgress : public InstallProgress {
 public:
  std::vector<std::string> statuses;
  std::vector<int> ranges, positions;
  int pumps = 0;
  void SetStatus(const std::string& t) override { statuses.push_back(t); }
  void SetRange(int max) override { ranges.push_back(max); }
  void SetPosition(int v) override { positions.push_back(v); }
  void PumpEvents() override { ++pumps; }
};

}  // namespace kova
