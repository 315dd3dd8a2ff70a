// The per-user store that settings load and save read and write: signed
// 32-bit values by name under two keys. The program keeps them in the
// registry; the native tests in memory.
#ifndef TARNLIGHT_STORE_H
#define TARNLIGHT_STORE_H

#include <cstdint>

enum SettingKey { MAKER_KEY, PROGRAM_KEY };

// The stored value, or -1 when it is missing or cannot be read.
int32_t ReadSetting(SettingKey key, const char *name);
void WriteSetting(SettingKey key, const char *name, int32_t value);

#endif
