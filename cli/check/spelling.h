// Names a player probably meant: "ShortPres" for ShortPress, "[Setings]" for [Settings].
#pragma once

#include <string>

namespace cli {

// Whether a name folded to lower case is a near miss of known: close to it, but not it: a few
// insertions, deletions, changes and swaps of neighbours away.
bool closeTo(const std::string& folded, const char* known);

}  // namespace cli
