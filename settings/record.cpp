// The settings record and its defaults.
#include "settings/settings.h"

Settings g_settings = DefaultSettings();

bool IsSeparatorSlot(int slot)
{
    return slot == 0 || slot == 4 || slot == 10 || slot == 12;
}

Settings DefaultSettings()
{
    Settings s = {};
    s.sudden = 0;
    s.maxdiffno = 30;
    s.compcancel = STOP_AT_END;
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
        if (IsSeparatorSlot(slot))
            s.toolon[slot] = TOOLSLOT_SEPARATOR;
        else if (slot == 5 || slot == 9)  // Undo and Clear
            s.toolon[slot] = TOOLSLOT_HIDDEN;
        else
            s.toolon[slot] = TOOLSLOT_SHOWN;
    }
    s.toolflat = 1;
    return s;
}
