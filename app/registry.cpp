// The per-user settings store on the Windows registry: one signed 32-bit
// REG_DWORD value per setting below HKEY_CURRENT_USER. Every read and write
// opens its key (creating it when absent) and closes it again.
#include <windows.h>

#include "settings/store.h"

static const char *SettingKeyPath(SettingKey key)
{
    return key == MAKER_KEY ? "Software\\Corvale Tools" : "Software\\Corvale Tools\\Tarnlight";
}

// NULL when the key can neither be opened nor created.
static HKEY OpenSettingKey(SettingKey key)
{
    char noClass[] = "";
    const DWORD reserved = 0;
    HKEY opened = NULL;
    DWORD disposition;
    // Full access, as every release has opened the user's own key: one call
    // serves reads and writes, and creates the key when it is missing.
    LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, SettingKeyPath(key), reserved, noClass,
                                  REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &opened,
                                  &disposition);
    return status == ERROR_SUCCESS ? opened : NULL;
}

int32_t ReadSetting(SettingKey key, const char *name)
{
    int32_t result = -1;
    HKEY opened = OpenSettingKey(key);
    if (opened == NULL)
        return result;
    // A shorter value of any type lands over the -1 preset lowest byte first;
    // the stored type is deliberately not checked.
    DWORD type = REG_DWORD;
    DWORD size = sizeof result;
    LONG status = RegQueryValueExA(opened, name, NULL, &type, reinterpret_cast<BYTE *>(&result), &size);
    // Windows leaves the buffer undefined when the value is longer than
    // offered, so a too-long or unreadable value must not leak half of itself.
    if (status != ERROR_SUCCESS)
        result = -1;
    RegCloseKey(opened);
    return result;
}

void WriteSetting(SettingKey key, const char *name, int32_t value)
{
    HKEY opened = OpenSettingKey(key);
    if (opened == NULL)
        return;
    const DWORD reserved = 0;
    RegSetValueExA(opened, name, reserved, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                   sizeof value);
    RegCloseKey(opened);
}
