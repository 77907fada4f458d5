// The rules a package keeps, checked by the package writer, the package
// reader, the installer and the uninstaller alike, so that what one of
// them takes the others take too.
#pragma once
#include <string>
#include <string_view>

namespace kova::pkg {

// Each check returns an empty text when the name is acceptable, otherwise
// the reason (Portuguese, UTF-8).

// A single file or folder name: no separators, drive or stream colons,
// control characters, wildcard characters, device names, or names made
// only of dots.
std::string CheckNameComponent(std::string_view name);
// "\a\b": begins with a backslash, every part a name component.
std::string CheckRelativePath(std::string_view path);
// A directory record's name: "\" or a relative path.
std::string CheckDirectoryName(std::string_view name);
// The product name: a name component that is not a folder Windows keeps
// in the start menu ("Startup").
std::string CheckProductName(std::string_view name);
// The name of a file the installer writes into the install directory
// itself (the uninstaller, the uninstall log), in any case.
bool IsInstallerOwnFile(std::string_view name);
// The one rule for the registry keys a package names: the product's own
// key HKLM\SOFTWARE\<product> or HKCU\SOFTWARE\<product>, or a key below
// it (roots as written, names in any case). The reason a key breaks it
// (Portuguese), or an empty text. Key and product in UTF-8.
std::string CheckRegistryKey(std::string_view key, std::string_view product);

}  // namespace kova::pkg
