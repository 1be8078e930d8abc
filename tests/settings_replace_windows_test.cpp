// Replacing a player's settings file where Windows differs from Linux: another program may hold
// the file open, which keeps any rename from replacing it; a symbolic link is refused. Through the
// system's own calls, under Wine here and on Windows in the CI workflow. (Wine 8 makes no symbolic
// links, so the refusal of one is shown only on Windows; the read-only attribute is shown by the
// player's download test.)
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/check/machine.h"
#include "cli/check/settings_writer.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using testing_support::readFile;
using testing_support::writeFile;

const std::vector<cli::SettingValue> kNew = {{&settings_file::kShortPress, 60},
                                             {&settings_file::kLongPress, 230}};
constexpr char kOld[] = "[Settings]\r\nShortPress=50\r\nLongPress=100\r\n";
constexpr char kWritten[] = "[Settings]\r\nShortPress=60\r\nLongPress=230\r\n";

size_t filesIn(const fs::path& folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// Another process holding the file open as the game may, for reading, without sharing its
// deletion, until the object goes: cmd.exe, reading commands from a pipe the test keeps, inherits
// the handle, and ends when the pipe closes.
class OtherProgramHolding {
 public:
  explicit OtherProgramHolding(const fs::path& file) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    &inherited, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE discard = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inherited, OPEN_EXISTING, 0, nullptr);
    HANDLE commandsRead = nullptr;
    EXPECT_NE(CreatePipe(&commandsRead, &commands_, &inherited, 0), 0);
    SetHandleInformation(commands_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = commandsRead;
    startup.hStdOutput = discard;
    startup.hStdError = discard;
    std::wstring command = L"cmd.exe";
    started_ = held != INVALID_HANDLE_VALUE &&
               CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                              nullptr, nullptr, &startup, &process_) != 0;
    CloseHandle(commandsRead);
    CloseHandle(discard);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  }
  ~OtherProgramHolding() {
    CloseHandle(commands_);
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, INFINITE);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  OtherProgramHolding(const OtherProgramHolding&) = delete;
  OtherProgramHolding& operator=(const OtherProgramHolding&) = delete;

  bool started() const { return started_; }

 private:
  HANDLE commands_ = nullptr;
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

TEST(SettingsReplaceWindows, AFileAnotherProgramHoldsOpenIsNamedWithWhatToDoAndStaysAsItWas) {
  const common::TempFolder folder = testing_support::tempFolder();
  const fs::path file = writeFile(folder, "Kestova.ini", kOld);
  {
    const OtherProgramHolding holding(file);
    ASSERT_TRUE(holding.started()) << GetLastError();
    const auto start = std::chrono::steady_clock::now();
    const common::Result<fs::path> result =
        cli::replaceSettingsFile(file, kWritten, kNew, cli::thisMachine());
    const auto waited = std::chrono::steady_clock::now() - start;
    ASSERT_FALSE(result);
    EXPECT_THAT(
        result.error().message,
        HasSubstr("another program, the game or a virus scan perhaps, holds Kestova.ini open ("));
    // The system's own words for the error, not only its number.
    EXPECT_THAT(result.error().message, ContainsRegex("open \\(\\w.*; Windows error \\d+\\): "));
    EXPECT_THAT(result.error().message,
                HasSubstr("close the game or the program holding it, and try again; the old "
                          "file is as it was"));
    EXPECT_GE(waited, std::chrono::milliseconds(1500)) << "a moment for it to let go";
    EXPECT_EQ(readFile(file), kOld);
    EXPECT_EQ(filesIn(folder.path()), 1u) << "no new file, no backup";
  }
  // Once it lets go, the same write goes through, the system's own reader agreeing.
  ASSERT_TRUE(cli::replaceSettingsFile(file, kWritten, kNew, cli::thisMachine()));
  EXPECT_EQ(readFile(file), kWritten);
}

TEST(SettingsReplaceWindows, ASymbolicLinkIsRefusedAndBothFilesStayAsTheyWere) {
  const common::TempFolder folder = testing_support::tempFolder();
  const fs::path target = writeFile(folder, "mine.ini", kOld);
  const fs::path link = folder.path() / "Kestova.ini";
  CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
  const DWORD attributes = GetFileAttributesW(link.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    GTEST_SKIP() << "this system made no symbolic link (Wine 8 makes none; Windows needs an "
                    "administrator or developer mode)";
  }
  const common::Result<fs::path> result =
      cli::replaceSettingsFile(link, kWritten, kNew, cli::thisMachine());
  ASSERT_FALSE(result);
  EXPECT_THAT(result.error().message, HasSubstr("is a link (a symbolic link or a junction)"));
  EXPECT_EQ(readFile(target), kOld);
  EXPECT_NE(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
  EXPECT_EQ(filesIn(folder.path()), 2u) << "no new file, no backup";
}

}  // namespace
