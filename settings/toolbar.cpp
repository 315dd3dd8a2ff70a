// Placeholder until the toolbar lands.
#include "settings/settings_ui.h"

HWND CreateToolbar(HWND) { return NULL; }
