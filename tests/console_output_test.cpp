// KestovaCheck's output in a console 80 columns wide, for real under Wine: the checker wraps its
// lines at spaces one column short of the window, so the console never breaks a word or a path
// itself, and never leaves an empty row after a line that filled the window.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/check/player_window.h"
#include "common/console.h"
#include "tests/support/bytes.h"
#include "tests/support/fake_machine.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr SHORT kWidth = 80;

// A console of the test's own (as in console_input_test.cpp), its window and screen buffer
// 80 columns wide. Its output opened for reading too, as the console hands it to a program:
// Windows answers GetConsoleScreenBufferInfo only on such a handle.
HANDLE ownConsoleOutput() {
  FreeConsole();
  if (AllocConsole() == 0) return INVALID_HANDLE_VALUE;
  const HANDLE output =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE) return output;
  const SMALL_RECT window{0, 0, kWidth - 1, 24};
  // The window must fit in the buffer at each step: narrowed first when it is wider.
  if (SetConsoleScreenBufferSize(output, {kWidth, 300}) == 0) {
    SetConsoleWindowInfo(output, TRUE, &window);
    SetConsoleScreenBufferSize(output, {kWidth, 300});
  }
  SetConsoleWindowInfo(output, TRUE, &window);
  return output;
}

// The rows the output took, from the top of the buffer to the cursor's row.
std::vector<std::string> screenRows(HANDLE output) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (GetConsoleScreenBufferInfo(output, &info) == 0) return {};
  std::vector<std::string> rows;
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
    std::wstring row(kWidth, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(output, row.data(), kWidth, {0, y}, &read);
    rows.emplace_back(row.begin(), row.end());  // the output is ASCII
  }
  return rows;
}

// The words in order, one space between: what the player reads, however it is wrapped.
std::string words(const std::string& text) {
  std::istringstream in(text);
  std::string all;
  for (std::string word; in >> word;) all += (all.empty() ? "" : " ") + word;
  return all;
}

// The checker's output as a file holds it: one line each, never wrapped.
std::string unwrapped(const std::vector<std::string>& arguments) {
  testing_support::FakeMachine machine;
  std::FILE* out = std::tmpfile();
  cli::runChecker(arguments, machine, out, stderr);
  const std::string text = testing_support::drained(out);
  return text;
}

TEST(ConsoleOutput, TheCheckersLinesAreWrappedAtSpacesToFitAnEightyColumnConsole) {
  if (std::getenv("KESTOVA_CONSOLE_TEST") == nullptr) {
    GTEST_SKIP() << "run alone, with KESTOVA_CONSOLE_TEST set: it makes a console of its own";
  }
  const common::TempFolder folder = testing_support::tempFolder();
  const std::string settings = testing_support::writeFile(
      folder,
      "Steam Library Games\\verylongfoldername01\\verylongfoldername02\\verylongfoldername03"
      "\\verylongfoldername04\\verylongfoldername05\\Kestova.ini",
      "[Settings]\nShortPress=40\n");
  const std::string game = settings.substr(0, settings.rfind('\\'));
  ASSERT_GT(game.size(), 150u) << "a path longer than two rows, shown whole";
  const std::vector<std::string> arguments = {"KestovaCheck", game};

  const HANDLE output = ownConsoleOutput();
  ASSERT_NE(output, INVALID_HANDLE_VALUE) << "no console: under Wine, run with a display";
  CONSOLE_SCREEN_BUFFER_INFO info{};
  GetConsoleScreenBufferInfo(output, &info);
  // stdout pointed at the console for the run, and back before anything is said.
  std::fflush(stdout);
  const int saved = _dup(_fileno(stdout));
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the C runtime takes the handle as an integer.
  const int console = _open_osfhandle(reinterpret_cast<intptr_t>(output), _O_WRONLY | _O_BINARY);
  _dup2(console, _fileno(stdout));
  const bool isConsole = common::isConsole(stdout);
  testing_support::FakeMachine machine;
  const common::ExitStatus status = cli::runChecker(arguments, machine, stdout, stderr);
  std::fflush(stdout);
  const std::vector<std::string> rows = screenRows(output);
  _dup2(saved, _fileno(stdout));
  _close(saved);
  _close(console);
  // Wine's FreeConsole closes the standard output AllocConsole made, whatever handle it is by
  // then, and _dup2 made it stdout's own: kept out of its reach, and handed back.
  SetStdHandle(STD_OUTPUT_HANDLE, nullptr);
  FreeConsole();
  // NOLINTNEXTLINE(performance-no-int-to-ptr): as above.
  SetStdHandle(STD_OUTPUT_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdout))));

  EXPECT_EQ(info.dwSize.X, kWidth);
  EXPECT_EQ(info.srWindow.Right - info.srWindow.Left + 1, kWidth);
  EXPECT_TRUE(isConsole);
  EXPECT_EQ(status, common::ExitStatus::warnings) << "no Kestova.dll or host beside the file";
  const std::string plain = unwrapped(arguments);
  std::string shown;
  for (const std::string& row : rows) {
    EXPECT_EQ(row.back(), ' ') << "fills the last column, where Windows breaks a line itself:\n"
                               << row;
    // A path broken after a folder goes on, unspaced, on the next row.
    shown += (shown.empty() || shown.back() == '\\' ? "" : " ") + words(row);
  }
  EXPECT_EQ(words(shown), words(plain));
  EXPECT_NE(shown.find(game), std::string::npos) << "the folder shown whole";
  EXPECT_GT(rows.size(), static_cast<size_t>(std::count(plain.begin(), plain.end(), '\n')))
      << "lines were wrapped";
}

}  // namespace
