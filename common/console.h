// Text between the programs and the operating system: arguments, file names and the console, all
// as UTF-8 inside the program whatever the system hands over, so that any folder name works and
// shows.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/result.h"

namespace common {

// The program's arguments as UTF-8, its own name first.
std::vector<std::string> utf8Arguments(int argc, char** argv);

std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string utf8FromPath(const std::filesystem::path& path);

// The folder of the running program.
std::filesystem::path programFolder();

// Output in UTF-8 with LF line ends, the same bytes on every system.
void useUtf8Output();
// Whether the stream is a console (a terminal), rather than a file or a pipe.
bool isConsole(std::FILE* stream);
// The columns text is wrapped to on a console, a little short of its width; nullopt for a stream
// that is no console, whose lines are never wrapped.
std::optional<size_t> textColumns(std::FILE* stream);
// Writes UTF-8 text so that every name shows: to a console as characters, wrapped at spaces to
// fit its window (common/text_layout.h), elsewhere as bytes, one line as one line.
void writeText(std::FILE* stream, const std::string& utf8);

// An error as one line: "where:line: message", or "where: message" when it has no line; an
// error that names no file is the program's.
inline std::string errorLine(const Error& error, const std::string& program) {
  const std::string where = error.where.empty() ? program : error.where;
  const std::string line = error.line > 0 ? ":" + std::to_string(error.line) : "";
  return where + line + ": " + error.message;
}

// The one way the programs print an error.
inline void writeError(std::FILE* stream, const Error& error, const std::string& program) {
  writeText(stream, errorLine(error, program) + "\n");
}

}  // namespace common
