#include "plugin/toggle_script.h"

#include "toggle/aim_toggle.h"

void toggleScript() {
  runToggleLoop();
}
