// The installer's package as the wizard and the install step use it: the
// header's texts, colours and picture for the window, the lists for the
// install step, and the file section behind a PackageSource. Built on the
// package reader and the HE3 codec.
#pragma once
#include <memory>
#include <string>

#include "Instalador/package/cls_huffman.h"
#include "Instalador/setup/install_procedure.h"

namespace kova {

struct Rgb {
  int red = 0, green = 0, blue = 0;
};

// What the header sets on screen (texts in UTF-8).
struct PackageLook {
  bool has_picture = false;
  std::string picture;  // the picture file's bytes
  Rgb title, text, back;
  std::string description, terms;
  std::string directory;    // the header's directory text, or "#PADRAO#"
  std::string folder_name;  // under Program Files for "#PADRAO#"
};

struct OpenedPackage {
  enum State { kReady, kNoAppendix, kBroken } state = kNoAppendix;
  std::string error;  // for kBroken: the reader's message
  PackageLook look;
  InstallPackage install;
  std::unique_ptr<PackageSource> source;
};

// Opens the package behind the installer file at `own_path` and reads its
// header. A file of exactly the installer image's size is kNoAppendix.
OpenedPackage OpenPackage(InstallPlatform& sys, const std::string& own_path);

// DecodeByte of one clsHuffman kept for the whole install.
class He3ChunkDecoder : public ChunkDecoder {
 public:
  bool Decode(std::string& bytes, std::string* error) override;

 private:
  std::unique_ptr<clsHuffman> codec_;
  std::vector<uint8_t> buffer_;
};

}  // namespace kova
