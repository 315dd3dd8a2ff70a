// Placeholder until the settings store lands.
#include "settings/settings.h"

void LoadSettings() {}
void SaveSettings() {}
