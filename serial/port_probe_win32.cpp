// The system's serial ports on Windows: the device map in the registry,
// and the adapters' names from the Ports device class.
#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

#include "common/cp1252.h"
#include "serial/port_probe.h"

namespace kova {
namespace {

std::vector<DeviceMapEntry> DeviceMap() {
  std::vector<DeviceMapEntry> map;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return map;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    wchar_t data[64] = {};
    DWORD name_len = 256, data_len = sizeof data - sizeof(wchar_t), type = 0;
    LONG r = RegEnumValueW(key, i, name, &name_len, nullptr, &type,
                           reinterpret_cast<BYTE*>(data), &data_len);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS || type != REG_SZ) continue;  // too long for a port name
    data[data_len / sizeof(wchar_t)] = L'\0';
    map.push_back({WideToUtf8(name), WideToUtf8(data)});
  }
  RegCloseKey(key);
  return map;
}

std::wstring DeviceText(HDEVINFO set, SP_DEVINFO_DATA& info, DWORD property) {
  wchar_t text[512] = {};
  DWORD type = 0;
  if (!SetupDiGetDeviceRegistryPropertyW(set, &info, property, &type,
                                         reinterpret_cast<BYTE*>(text), sizeof text - 4, nullptr))
    return {};
  return text;  // of a list of texts, the first
}

std::vector<PortAdapter> Adapters() {
  std::vector<PortAdapter> adapters;
  HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return adapters;
  SP_DEVINFO_DATA info = {};
  info.cbSize = sizeof info;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
    HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) continue;
    wchar_t port[64] = {};
    DWORD len = sizeof port - sizeof(wchar_t), type = 0;
    LONG r = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(port), &len);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || type != REG_SZ) continue;
    adapters.push_back({WideToUtf8(port), WideToUtf8(DeviceText(set, info, SPDRP_FRIENDLYNAME)),
                        WideToUtf8(DeviceText(set, info, SPDRP_HARDWAREID))});
  }
  SetupDiDestroyDeviceInfoList(set);
  return adapters;
}

}  // namespace

std::vector<SystemPort> ListSystemPorts() { return PortsFromSystem(DeviceMap(), Adapters()); }

}  // namespace kova
