#include "Instalador/package/package_rules.h"

#include <algorithm>
#include <vector>

#include "Instalador/package/name_compare.h"
#include "Instalador/package/package_layout.h"

namespace kova::pkg {

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool IsDeviceName(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (std::string_view d : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (EqualsNoCase(base, d)) return true;
  if (base.size() == 4 && base[3] >= '1' && base[3] <= '9')
    return EqualsNoCase(base.substr(0, 3), "COM") || EqualsNoCase(base.substr(0, 3), "LPT");
  return false;
}

}  // namespace

std::string CheckNameComponent(std::string_view name) {
  if (name.empty()) return "nome vazio";
  for (char c : name) {
    const auto u = static_cast<uint8_t>(c);
    if (u < 0x20 || u == 0x7F) return "nome com caractere de controle";
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
      return std::string("nome com o caractere '") + c + "'";
  }
  if (name.find_first_not_of(". ") == std::string_view::npos) return "nome formado só de pontos";
  if (name.back() == '.' || name.back() == ' ') return "nome terminado em ponto ou espaço";
  if (IsDeviceName(name)) return "nome reservado a um dispositivo";
  return {};
}

std::string CheckRelativePath(std::string_view path) {
  if (path.empty() || path.front() != '\\') return "caminho que não começa com '\\'";
  std::string_view rest = path.substr(1);
  while (true) {
    const size_t cut = rest.find('\\');
    const std::string_view part = rest.substr(0, cut);
    if (part == "..") return "caminho com \"..\", que sai do diretório de instalação";
    if (std::string why = CheckNameComponent(part); !why.empty()) return "caminho com " + why;
    if (cut == std::string_view::npos) return {};
    rest.remove_prefix(cut + 1);
  }
}

bool IsInstallerOwnFile(std::string_view name) {
  return EqualsNoCase(name, kUninstallLogFileName) || EqualsNoCase(name, kUninstallerFileName);
}

std::string CheckDirectoryName(std::string_view name) {
  return name == kRootDirectory ? std::string() : CheckRelativePath(name);
}

namespace {

// Folders of the start menu and the desktop that Windows (English or
// Brazilian Portuguese) keeps for itself: a product named after one would
// have the installer clear it on a reinstall.
constexpr std::string_view kSystemMenuFolders[] = {
    "Startup", "Inicializar", "Programs", "Programas", "Start Menu", "Menu Iniciar",
    "Desktop", "\xC1rea de Trabalho", "Administrative Tools", "Ferramentas Administrativas",
    "Windows Administrative Tools", "Ferramentas Administrativas do Windows", "Accessories",
    "Acess\xF3rios", "Windows Accessories", "Acess\xF3rios do Windows", "System Tools",
    "Ferramentas do Sistema", "Windows System", "Sistema do Windows", "Accessibility",
    "Acessibilidade", "Windows Ease of Access", "Facilidade de Acesso do Windows", "Maintenance",
    "Manuten\xE7\xE3o", "Windows PowerShell", "Games", "Jogos"};

}  // namespace

std::string CheckProductName(std::string_view name) {
  if (std::string why = CheckNameComponent(name); !why.empty()) return why;
  for (std::string_view folder : kSystemMenuFolders)
    if (EqualsNoCase(name, folder)) return "nome de uma pasta do sistema no menu Iniciar";
  return {};
}

std::string CheckRegistryKey(std::string_view key, std::string_view product) {
  const std::string_view root = key.substr(0, key.find('\\'));
  std::vector<std::string_view> parts;
  for (std::string_view rest = key.substr(std::min(key.size(), root.size() + 1));;) {
    const size_t cut = rest.find('\\');
    parts.push_back(rest.substr(0, cut));
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 1);
  }
  for (std::string_view part : parts) {
    if (part.empty() || part == "." || part == "..") return "chave de registro com parte vazia";
    if (std::any_of(part.begin(), part.end(), [](char c) { return uint8_t(c) < 0x20 || c == 0x7F; }))
      return "chave de registro com caractere de controle";
  }
  // The uninstaller deletes a listed key with everything below it: only the
  // product's own branch may be named, never one shared with Windows or
  // with other programs.
  if ((root != "HKLM" && root != "HKCU") || parts.size() < 2 ||
      !SameNameIgnoringCase(parts[0], "SOFTWARE") || product.empty() ||
      !SameNameIgnoringCase(parts[1], product))
    return "chave de registro fora de HKLM\\SOFTWARE\\" + std::string(product) +
           " e HKCU\\SOFTWARE\\" + std::string(product);
  return {};
}

}  // namespace kova::pkg
