// Text between the check and the operating system: arguments, file names and the console, all as
// UTF-8 inside the program whatever the system hands over, so that any folder name works and shows.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace cli {

// The program's arguments as UTF-8, its own name first.
std::vector<std::string> utf8Arguments(int argc, char** argv);

std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string utf8FromPath(const std::filesystem::path& path);

// Output in UTF-8 with LF line ends, the same bytes on every system.
void useUtf8Output();
// Writes UTF-8 text so that every name shows: to a console as characters, elsewhere as bytes.
void writeText(std::FILE* stream, const std::string& utf8);

// Whether the program has its console window to itself, as when started by a double-click: the
// window then closes with the program, before the player can read it.
bool ownsConsoleWindow();
// Asks for Enter and waits for it (or for the end of input).
void waitForEnter(std::FILE* out);

}  // namespace cli
