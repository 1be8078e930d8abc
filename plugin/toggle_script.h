// toggleScript: the script entry the plugin registers with the host.
#pragma once

// Runs the aim toggle loop; returns only if the host stops the script, which it never does.
void toggleScript();
