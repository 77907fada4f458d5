// The command line as UTF-8 texts on either platform (Windows hands the
// wide command line over, so names outside the ANSI code page survive).
#pragma once
#include <string>
#include <vector>

namespace kova::pack {

std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace kova::pack
