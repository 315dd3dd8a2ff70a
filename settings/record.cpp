// The settings record and its defaults.
#include "settings/settings.h"

#include "settings/toolbar_slots.h"

Settings g_settings = DefaultSettings();

bool IsSeparatorSlot(int slot)
{
    return TOOLBAR_SLOT_TABLE[slot].defaultState == TOOLSLOT_SEPARATOR;
}

Settings DefaultSettings()
{
    Settings s = {};
    s.sudden = 0;
    s.maxdiffno = 30;
    s.compcancel = STOP_AT_END;
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot)
        s.toolon[slot] = TOOLBAR_SLOT_TABLE[slot].defaultState;
    s.toolflat = 1;
    return s;
}
