// The toolbar of the main window, built once at start-up from the slot states
// of the settings record; changed states show only at the next start.
#include "settings/settings_ui.h"

#include <commctrl.h>

#include "res/resource.h"
#include "settings/settings.h"

enum {
    TOOLBAR_IMAGES = 15,    // the strip's sixteenth image is never shown
    TOOLBAR_IMAGE_SIZE = 16,
    BUTTON_SIZE_DEFAULT = 0
};

static const DWORD TOOLBAR_BASE_STYLE = WS_VISIBLE | WS_BORDER | CCS_TOP;

static DWORD ToolbarStyle(int32_t flat)
{
    return flat != 0 ? TOOLBAR_BASE_STYLE | TBSTYLE_FLAT : TOOLBAR_BASE_STYLE;
}

// A separator's iBitmap is its width in pixels for the control, so the slot
// index doubles as the width (0 = the control's default).
static void FillButtonRecord(TBBUTTON *record, int slot, int32_t state)
{
    record->iBitmap = slot;
    if (state == TOOLSLOT_SEPARATOR) {
        record->idCommand = IDT_SEPARATOR;
        record->fsState = TBSTATE_ENABLED;
        record->fsStyle = TBSTYLE_SEP;
    } else {
        record->idCommand = IDT_SEPARATOR + slot;
        record->fsState = state != TOOLSLOT_HIDDEN ? TBSTATE_ENABLED : TBSTATE_HIDDEN;
        record->fsStyle = TBSTYLE_BUTTON;
    }
}

HWND CreateToolbar(HWND mainWindow)
{
    // On the heap and zeroed, so each record's padding and string field are 0
    // whatever the build's TBBUTTON layout; without memory there is no toolbar
    // and the window still works.
    TBBUTTON *records = static_cast<TBBUTTON *>(LocalAlloc(LPTR, TOOLBAR_SLOTS * sizeof(TBBUTTON)));
    if (records == NULL)
        return NULL;
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot)
        FillButtonRecord(&records[slot], slot, g_settings.toolon[slot]);

    // GetWindowLongPtrA is GetWindowLongA(GWL_HINSTANCE) in the 32-bit build.
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
    HWND toolbar = CreateToolbarEx(mainWindow, ToolbarStyle(g_settings.toolflat), IDC_TOOLBAR,
                                   TOOLBAR_IMAGES, instance, IDB_TOOLBAR,
                                   records, TOOLBAR_SLOTS,
                                   BUTTON_SIZE_DEFAULT, BUTTON_SIZE_DEFAULT,
                                   TOOLBAR_IMAGE_SIZE, TOOLBAR_IMAGE_SIZE, sizeof(TBBUTTON));
    // The control keeps its own copy of the records.
    LocalFree(records);
    return toolbar;
}
