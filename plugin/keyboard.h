// The keyboard callback and the table of the latest event of each key code below 255.
#pragma once

#include <cstdint>

constexpr uint32_t kKeyEventCount = 255;  // key codes 0 to 254

struct KeyEventRecord {
  uint32_t tickTime;        // GetTickCount at the key's latest event
  int32_t trailingArgs[3];  // the callback's 5th, 6th and 7th arguments
};

struct KeyEventTable {
  KeyEventRecord records[kKeyEventCount];
};

// The layout is part of the plugin's contract: 16 bytes a key, 255 keys, no padding.
static_assert(sizeof(KeyEventRecord) == 16);
static_assert(sizeof(KeyEventTable) == kKeyEventCount * sizeof(KeyEventRecord));

// Zero at load, never cleared. Written only by onKeyboardEvent, read by nothing in the plugin.
extern KeyEventTable keyEventTable;

void onKeyboardEvent(uint32_t key, uint16_t arg2, uint8_t arg3, int32_t arg4, int32_t arg5,
                     int32_t arg6, int32_t arg7);
