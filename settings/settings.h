// The settings record: the user's options, one program-wide record.
#ifndef TARNLIGHT_SETTINGS_H
#define TARNLIGHT_SETTINGS_H

#include <cstdint>

enum { TOOLBAR_SLOTS = 15, MAX_LISTED_LIMIT = 100 };

enum StopCondition {
    STOP_AT_END = 0,    // compare the whole common length
    STOP_AT_MAX = 1,    // stop once the listing is full
    STOP_AT_FIRST = 2   // stop at the first differing byte
};

enum { TOOLSLOT_HIDDEN = 0, TOOLSLOT_SHOWN = 1, TOOLSLOT_SEPARATOR = 2 };

struct Settings {
    int32_t sudden;                 // auto-compare: 0 off, else on
    int32_t maxdiffno;              // differences listed at most, 1 to 100
    int32_t compcancel;             // a StopCondition
    int32_t toolon[TOOLBAR_SLOTS];  // TOOLSLOT_*; any other value shows the button
    int32_t toolflat;               // flat toolbar: 0 off, else on
};

extern Settings g_settings;

Settings DefaultSettings();
bool IsSeparatorSlot(int slot);

void LoadSettings();
void SaveSettings();

#endif
