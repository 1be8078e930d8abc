// An error as kestova-sim prints it: one line, "where:line: message", for people and tools.
#pragma once

#include <cstdio>
#include <string>

#include "sim/result.h"

namespace cli {

// "where:line: message", or "where: message" when there is no line; an error that names no
// file is the program's.
inline std::string errorLine(const sim::Error& error) {
  const std::string where = error.where.empty() ? "kestova-sim" : error.where;
  if (error.line <= 0) return where + ": " + error.message;
  return where + ":" + std::to_string(error.line) + ": " + error.message;
}

inline void printErrorLine(std::FILE* out, const sim::Error& error) {
  std::fprintf(out, "%s\n", errorLine(error).c_str());
}

}  // namespace cli
