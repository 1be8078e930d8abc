#include "cli/check/spelling.h"

#include <algorithm>
#include <vector>

#include "common/display_text.h"

namespace cli {
namespace {

// Edits a misspelt name may be from a known one and still be taken for it.
constexpr size_t kCloseEdits = 2;

// Optimal string alignment distance: insertions, deletions, changes and swaps of neighbours.
size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

bool closeTo(const std::string& folded, const char* known) {
  const size_t edits = editDistance(folded, common::lowerAscii(known));
  return edits > 0 && edits <= kCloseEdits;
}

}  // namespace cli
