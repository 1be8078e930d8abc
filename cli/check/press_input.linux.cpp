// A terminal window stays open after its program ends, so the checker never owns one; and a
// terminal does not say when a key comes up, so no press can be measured.
#include "cli/check/press_input.h"

namespace cli {

bool ownsThisConsoleWindow() {
  return false;
}

bool readConsolePresses(const std::function<bool(const PressEvent&)>& /*onEvent*/) {
  return false;
}

}  // namespace cli
