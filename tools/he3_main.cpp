// he3: the command-line face of clsHuffman's EncodeFile and DecodeFile.
//   he3 encode SOURCE DEST
//   he3 decode SOURCE DEST
#include <cstdio>
#include <string>

#include "Instalador/package/cls_huffman.h"
#include "tools/args.h"
#include "tools/package_writer.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = kova::pack::Utf8Arguments(argc, argv);
  if (args.size() != 4 || (args[1] != "encode" && args[1] != "decode")) {
    std::fprintf(stderr, "usage: he3 encode|decode SOURCE DEST\n");
    return 2;
  }
  kova::clsHuffman codec;
  const auto source = kova::pack::PathFromUtf8(args[2]);
  const auto dest = kova::pack::PathFromUtf8(args[3]);
  const kova::HuffmanError e =
      args[1] == "encode" ? codec.EncodeFile(source, dest) : codec.DecodeFile(source, dest);
  if (e) {
    std::fprintf(stderr, "he3: error %ld in %s: %s\n", static_cast<long>(e.Number),
                 e.Source.c_str(), e.Description.c_str());
    return 1;
  }
  return 0;
}
