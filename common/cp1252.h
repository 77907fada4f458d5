// Windows-1252 text at the boundaries: files and controller texts hold
// 1252 bytes, sources are UTF-8 and windows use UTF-16. An explicit codec,
// so a PC set to another code page still reads and writes the same files.
#pragma once
#include <string>
#include <string_view>

namespace kova {

// UTF-8 to 1252; characters 1252 cannot hold become '?'.
std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view cp1252);
std::wstring Cp1252ToWide(std::string_view cp1252);
std::string WideToCp1252(std::wstring_view wide);
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace kova
