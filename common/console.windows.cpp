// Windows hands over names in UTF-16; the narrow ones of main() and of the C runtime go through
// the ANSI code page, which turns a ゲーム folder into ???. So the arguments come from the wide
// command line, paths are made from UTF-16, and a console is written with WriteConsoleW.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "common/console.h"
#include "common/text_encoding.h"
#include "common/text_layout.h"
#include "common/windows_api.h"

namespace common {
namespace {

std::u16string asUtf16(const wchar_t* text, size_t size) {
  return {text, text + size};
}

std::wstring asWide(const std::u16string& text) {
  return {text.begin(), text.end()};
}

HANDLE handleOf(std::FILE* stream) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the C runtime hands the handle over as an integer.
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

}  // namespace

std::string systemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string words(text, text + length);
  LocalFree(text);
  while (!words.empty() && (words.back() == u'\r' || words.back() == u'\n' ||
                            words.back() == u' ' || words.back() == u'.')) {
    words.pop_back();
  }
  return words.empty() ? "Windows error " + std::to_string(code) : utf8FromUtf16(words);
}

bool isConsole(std::FILE* stream) {
  DWORD mode = 0;
  const HANDLE handle = handleOf(stream);
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) != 0;
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) {
    arguments.push_back(utf8FromUtf16(asUtf16(wide[i], wcslen(wide[i]))));
  }
  LocalFree(wide);
  return arguments;
}

std::filesystem::path pathFromUtf8(const std::string& utf8) {
  return {asWide(utf16FromUtf8(utf8))};
}

std::string utf8FromPath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  return utf8FromUtf16(asUtf16(wide.data(), wide.size()));
}

std::filesystem::path programFolder() {
  // Long enough for any path Windows hands a program, MAX_PATH or not.
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return std::filesystem::path(path).parent_path();
}

void useUtf8Output() {
  // The same bytes on every platform: no CR added before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

// One column short of the visible window: when a line fills the window's last column, Windows'
// console moves to the next line by itself, and the line end after it leaves an empty one.
// (Wine's waits for the next character and leaves none; players run Windows.)
std::optional<size_t> textColumns(std::FILE* stream) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!isConsole(stream) || GetConsoleScreenBufferInfo(handleOf(stream), &info) == 0) {
    return std::nullopt;
  }
  return static_cast<size_t>(info.srWindow.Right - info.srWindow.Left);
}

void writeText(std::FILE* stream, const std::string& utf8) {
  std::fflush(stream);
  const std::optional<size_t> columns = textColumns(stream);
  if (!columns) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
    return;
  }
  const std::wstring wide = asWide(utf16FromUtf8(wrapText(utf8, *columns)));
  DWORD written = 0;
  WriteConsoleW(handleOf(stream), wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

}  // namespace common
