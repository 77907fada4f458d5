// kova-pack: writes an installer file from the two program images, a
// package description and a directory tree. Usage in tools/README.md.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/args.h"
#include "tools/package_writer.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: kova-pack --installer IMAGE --uninstaller IMAGE --description FILE\n"
               "                 --files DIR --output FILE [--chunk-size BYTES] [--pad-images]\n"
               "                 [--version-from PROGRAM]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using kova::pack::PathFromUtf8;
  const std::vector<std::string> args = kova::pack::Utf8Arguments(argc, argv);
  kova::pack::PackOptions o;
  bool have[5] = {};
  std::string versionFrom;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--pad-images") {
      o.padImages = true;
    } else if (!hasValue) {
      return Usage();
    } else if (a == "--installer") {
      o.installerImage = PathFromUtf8(args[++i]), have[0] = true;
    } else if (a == "--uninstaller") {
      o.uninstallerImage = PathFromUtf8(args[++i]), have[1] = true;
    } else if (a == "--description") {
      o.description = PathFromUtf8(args[++i]), have[2] = true;
    } else if (a == "--files") {
      o.filesRoot = PathFromUtf8(args[++i]), have[3] = true;
    } else if (a == "--output") {
      o.output = PathFromUtf8(args[++i]), have[4] = true;
    } else if (a == "--version-from") {
      versionFrom = args[++i];
    } else if (a == "--chunk-size") {
      char* end = nullptr;
      const long long v = std::strtoll(args[++i].c_str(), &end, 10);
      if (!end || *end || v < 1 || v > 2147483647LL) {
        std::fprintf(stderr, "kova-pack: --chunk-size takes 1 to 2147483647 bytes\n");
        return 2;
      }
      o.chunkSize = v;
    } else {
      return Usage();
    }
  }
  for (bool h : have)
    if (!h) return Usage();
  if (!versionFrom.empty()) {
    std::string error;
    if (!kova::pack::ReadProgramVersion(PathFromUtf8(versionFrom), o.version, error)) {
      std::fprintf(stderr, "kova-pack: %s\n", error.c_str());
      return 1;
    }
    o.output = PathFromUtf8(kova::pack::SubstituteVersion(kova::pack::PathToUtf8(o.output), o.version));
  }
  kova::pack::PackReport r;
  std::string error;
  if (!kova::pack::WritePackage(o, r, error)) {
    std::fprintf(stderr, "kova-pack: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s: %d directories, %d files, %lld chunks, %lld bytes in, %lld bytes written; "
              "file section at %lld\n",
              kova::pack::PathToUtf8(o.output).c_str(), r.directories, r.files,
              static_cast<long long>(r.chunks), static_cast<long long>(r.inputBytes),
              static_cast<long long>(r.totalBytes), static_cast<long long>(r.fileSectionOffset));
  return 0;
}
