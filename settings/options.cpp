// Placeholder until the options sheet lands.
#include "settings/settings_ui.h"

void ShowOptionsSheet(HWND) {}
