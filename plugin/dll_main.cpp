// The DLL entry: registers with the host at attach, withdraws at detach, nothing else.
#include <windows.h>

#include "host/host_api.h"
#include "plugin/keyboard.h"
#include "plugin/toggle_script.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
  // Settings are not read here: the script reads them when it starts.
  if (reason == DLL_PROCESS_ATTACH) {
    scriptRegister(module, toggleScript);
    keyboardHandlerRegister(onKeyboardEvent);
  } else if (reason == DLL_PROCESS_DETACH) {
    // Undone in the order made: script first, keyboard second.
    scriptUnregister(module);
    keyboardHandlerUnregister(onKeyboardEvent);
  }
  return TRUE;
}
