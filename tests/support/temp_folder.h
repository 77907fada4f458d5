// A test fixture with a fresh folder of its own, removed afterwards, and
// small helpers for the files in it.
#pragma once
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "store/ckx4data.h"

namespace kova::testing {

namespace fs = std::filesystem;

class Folder : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> n{0};
    dir_ = fs::temp_directory_path() /
           ("kova-store-" + std::to_string(::getpid()) + "-" + std::to_string(n++));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Slurp(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  static void Put(const std::string& p, const std::string& text) {
    std::ofstream f(p, std::ios::binary);
    f << text;
  }
  // A path that no one (root included) can create: its parent is a file.
  std::string Unwritable(const std::string& name) {
    Put(Path("plainfile"), "x");
    return Path("plainfile") + "/" + name;
  }

  fs::path dir_;
};

// A store's value for a keyword, or "<absent>".
inline std::string Value(CKX4DATA& s, const char* kw) {
  std::string v;
  return s.GetText(kw, v) ? v : std::string("<absent>");
}

}  // namespace kova::testing
