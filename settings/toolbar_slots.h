// The toolbar's fifteen slots, written once: which are separators, which
// buttons show by default, and the ids each slot's button and check box carry.
#ifndef TARNLIGHT_TOOLBAR_SLOTS_H
#define TARNLIGHT_TOOLBAR_SLOTS_H

#include "res/resource.h"
#include "settings/settings.h"

struct ToolbarSlot {
    int32_t defaultState;   // TOOLSLOT_*
    int command;            // IDT_*
    int checkBox;           // IDC_SHOW_*, 0 for a separator
};

constexpr ToolbarSlot TOOLBAR_SLOT_TABLE[TOOLBAR_SLOTS] = {
    {TOOLSLOT_SEPARATOR, IDT_SEPARATOR, 0},
    {TOOLSLOT_SHOWN, IDT_OPEN1, IDC_SHOW_OPEN1},
    {TOOLSLOT_SHOWN, IDT_OPEN2, IDC_SHOW_OPEN2},
    {TOOLSLOT_SHOWN, IDT_SAVE, IDC_SHOW_SAVE},
    {TOOLSLOT_SEPARATOR, IDT_SEPARATOR, 0},
    {TOOLSLOT_HIDDEN, IDT_UNDO, IDC_SHOW_UNDO},
    {TOOLSLOT_SHOWN, IDT_CUT, IDC_SHOW_CUT},
    {TOOLSLOT_SHOWN, IDT_COPY, IDC_SHOW_COPY},
    {TOOLSLOT_SHOWN, IDT_PASTE, IDC_SHOW_PASTE},
    {TOOLSLOT_HIDDEN, IDT_CLEAR, IDC_SHOW_CLEAR},
    {TOOLSLOT_SEPARATOR, IDT_SEPARATOR, 0},
    {TOOLSLOT_SHOWN, IDT_COMPARE, IDC_SHOW_COMPARE},
    {TOOLSLOT_SEPARATOR, IDT_SEPARATOR, 0},
    {TOOLSLOT_SHOWN, IDT_OPTIONS, IDC_SHOW_OPTIONS},
    {TOOLSLOT_SHOWN, IDT_HELP, IDC_SHOW_HELP},
};

// Stored toolbar states, the toolbar description in res/toolbar.rc and the
// options page all count on the ids following the slot number.
constexpr bool SlotIdsFollowTheirPlaces()
{
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
        const ToolbarSlot &entry = TOOLBAR_SLOT_TABLE[slot];
        bool separator = entry.defaultState == TOOLSLOT_SEPARATOR;
        if (separator ? entry.command != IDT_SEPARATOR || entry.checkBox != 0
                      : entry.command != IDT_SEPARATOR + slot || entry.checkBox != IDC_TOOLSLOT_BASE + slot)
            return false;
    }
    return true;
}
static_assert(SlotIdsFollowTheirPlaces(), "a toolbar slot's ids must be 1200 + slot and 1050 + slot");

#endif
