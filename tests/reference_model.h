// The aim toggle loop written a second time, straight from its description, to compare with the
// plugin call for call. It speaks to the host through the raw host functions only and shares no
// code with the plugin.
#pragma once

namespace reference {

// A script entry: reads .\Kestova.ini, then one iteration per tick, forever.
void toggleScript();

}  // namespace reference
