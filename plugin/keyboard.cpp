#include "plugin/keyboard.h"

#include <windows.h>

KeyEventTable keyEventTable;

void onKeyboardEvent(uint32_t key, uint16_t, uint8_t, int32_t, int32_t arg5, int32_t arg6,
                     int32_t arg7) {
  if (key >= kKeyEventCount) return;
  // Plain stores, no lock: the host may call from another thread, and nothing reads the table.
  KeyEventRecord& record = keyEventTable.records[key];
  record.tickTime = GetTickCount();
  record.trailingArgs[0] = arg5;
  record.trailingArgs[1] = arg6;
  record.trailingArgs[2] = arg7;
}
