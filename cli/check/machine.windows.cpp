// The checker on Windows, and so under Wine: the system's own profile reader, asked by the full
// wide path so that any folder name works; the system named as the player knows it; and the
// console Windows opened for a double-click.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "cli/check/machine.h"
#include "common/text_encoding.h"

namespace cli {
namespace {

// ntdll's own version call: GetVersionEx answers as Windows 8 to a program without a manifest.
using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
using WineGetVersionFunction = const char*(CDECL*)();

template <typename Function>
Function ntdllFunction(const char* name) {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return nullptr;
  // Through void (*)(), the type GCC takes for "any function", as GetProcAddress is meant to be
  // used.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(ntdll, name)));
}

// Wine, and so Proton, which is Wine as Steam runs it, tells itself apart by an export of its
// own; Windows 11 is Windows 10.0 from build 22000 on.
SystemReading thisSystem() {
  SystemReading system;
  if (const auto wineVersion = ntdllFunction<WineGetVersionFunction>("wine_get_version")) {
    system.kind = SystemKind::wine;
    const std::string wine = std::string("Wine ") + wineVersion();
    system.name = std::getenv("STEAM_COMPAT_DATA_PATH") != nullptr ? "Proton (" + wine + ")" : wine;
    return system;
  }
  system.kind = SystemKind::windows;
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  const auto rtlGetVersion = ntdllFunction<RtlGetVersionFunction>("RtlGetVersion");
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

bool isConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) != 0;
}

class WindowsMachine : public Machine {
 public:
  std::optional<SystemReading> readSettings(const std::filesystem::path& file) override {
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

  bool ownsConsoleWindow() override {
    // Only this process on the console: Windows made the window for it. From a command prompt,
    // a script or a test the shell shares it, or there is no console, or input is redirected.
    DWORD processes[2] = {};
    return GetConsoleProcessList(processes, 2) == 1 && isConsole(GetStdHandle(STD_INPUT_HANDLE)) &&
           isConsole(GetStdHandle(STD_OUTPUT_HANDLE));
  }

  std::optional<std::string> readLine() override {
    std::string line;
    for (int c = std::fgetc(stdin); c != '\n'; c = std::fgetc(stdin)) {
      if (c == EOF) return line.empty() ? std::nullopt : std::optional(line);
      if (c != '\r') line += static_cast<char>(c);
    }
    return line;
  }
};

}  // namespace

Machine& thisMachine() {
  static WindowsMachine machine;
  return machine;
}

common::Status replaceFile(const std::filesystem::path& replacement,
                           const std::filesystem::path& target) {
  // Within one volume a rename that replaces is one step; write-through, so that it is on the
  // disk when the checker says so.
  if (MoveFileExW(replacement.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    return common::Error("cannot replace it (Windows error " + std::to_string(GetLastError()) +
                         ")");
  }
  return common::Done{};
}

}  // namespace cli
