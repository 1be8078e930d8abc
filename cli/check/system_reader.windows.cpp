// The system's own profile reader on Windows, and so under Wine, asked by the full wide path so
// that any folder name works; and the system named as the player knows it.
#include <windows.h>

#include <cstdlib>

#include "cli/check/system_reader.h"
#include "common/text_encoding.h"
#include "common/windows_api.h"

namespace cli {
namespace {

// ntdll's own version call: GetVersionEx answers as Windows 8 to a program without a manifest.
using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
using WineGetVersionFunction = const char*(CDECL*)();

// Wine, and so Proton, which is Wine as Steam runs it, tells itself apart by an export of its
// own; Windows 11 is Windows 10.0 from build 22000 on.
SystemReading thisSystem() {
  SystemReading system;
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (const auto wineVersion =
          common::procedure<WineGetVersionFunction>(ntdll, "wine_get_version")) {
    system.kind = SystemKind::wine;
    const std::string wine = std::string("Wine ") + wineVersion();
    system.name = std::getenv("STEAM_COMPAT_DATA_PATH") != nullptr ? "Proton (" + wine + ")" : wine;
    return system;
  }
  system.kind = SystemKind::windows;
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  const auto rtlGetVersion = common::procedure<RtlGetVersionFunction>(ntdll, "RtlGetVersion");
  if (rtlGetVersion == nullptr || rtlGetVersion(&version) != 0) {
    system.name = "Windows";
    return system;
  }
  const bool eleven = version.dwMajorVersion == 10 && version.dwBuildNumber >= 22000;
  system.name = "Windows " + (eleven ? std::string("11") : std::to_string(version.dwMajorVersion)) +
                " (build " + std::to_string(version.dwBuildNumber) + ")";
  return system;
}

std::wstring wide(const std::string& utf8) {
  const std::u16string units = common::utf16FromUtf8(utf8);
  return {units.begin(), units.end()};
}

}  // namespace

std::optional<SystemKind> thisSystemKind() {
  return thisSystem().kind;
}

std::optional<SystemReading> readBySystemReader(const std::filesystem::path& file) {
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(file, ec);
  SystemReading reading = thisSystem();
  const std::wstring section = wide(settings_file::kSection);
  for (const settings_file::Key& key : settings_file::kKeys) {
    // The plugin's own call, but wide and by the full path: a relative name would be looked
    // for in the Windows folder.
    reading.settings.*key.member = static_cast<int32_t>(GetPrivateProfileIntW(
        section.c_str(), wide(key.name).c_str(), key.fallback, (ec ? file : whole).c_str()));
  }
  return reading;
}

}  // namespace cli
