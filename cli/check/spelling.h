// Names a player probably meant: "ShortPres" for ShortPress, "[Setings]" for [Settings].
#pragma once

#include <cstddef>
#include <string>

namespace cli {

// Optimal string alignment distance: insertions, deletions, changes and swaps of neighbours.
size_t editDistance(const std::string& a, const std::string& b);

// Whether a name folded to lower case is a near miss of known: close to it, but not it.
bool closeTo(const std::string& folded, const char* known);

}  // namespace cli
