// Placeholder until the commands land.
#include "app/app.h"

int DispatchCommand(HWND, UINT, WPARAM, LPARAM) { return 0; }
