// Settings load and save: fills the settings record from the per-user store
// with defaults and range repair, writes it back at exit, and counts starts.
// Talks to the store only through ReadSetting/WriteSetting.
#include "settings/settings.h"

#include <cstdio>

#include "settings/store.h"

enum { TOOL_VALUE_NAME_SIZE = 16 };

static void FormatToolValueName(int slot, char *name)
{
    snprintf(name, TOOL_VALUE_NAME_SIZE, "toolon%2d", slot);
}

// One more than value, wrapping at the top like the stored 32 bits do,
// without signed overflow.
static int32_t NextCount(int32_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(value) + 1u);
}

static void CountStart()
{
    int32_t count = ReadSetting(PROGRAM_KEY, "_count");
    if (count >= 0) {
        WriteSetting(PROGRAM_KEY, "_count", NextCount(count));
        return;
    }
    // Missing or negative: this user's first start, which the maker's
    // shared counter also counts.
    WriteSetting(PROGRAM_KEY, "_count", 1);
    int32_t tools = ReadSetting(MAKER_KEY, "tools");
    WriteSetting(MAKER_KEY, "tools", tools > 0 ? NextCount(tools) : 1);
}

static int32_t LoadFlag(const char *name, int32_t whenMissing)
{
    int32_t value = ReadSetting(PROGRAM_KEY, name);
    return value == -1 ? whenMissing : value;
}

// Compared unsigned, so every negative value is out of range as well.
static int32_t LoadMaxDiffNo(const Settings &defaults)
{
    uint32_t value = static_cast<uint32_t>(ReadSetting(PROGRAM_KEY, "maxdiffno"));
    return value == 0 || value > MAX_LISTED_LIMIT ? defaults.maxdiffno : static_cast<int32_t>(value);
}

static int32_t LoadCompCancel(const Settings &defaults)
{
    uint32_t value = static_cast<uint32_t>(ReadSetting(PROGRAM_KEY, "compcancel"));
    return value <= STOP_AT_FIRST ? static_cast<int32_t>(value) : defaults.compcancel;
}

static void LoadToolbarSlots(const Settings &defaults)
{
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
        // A separator stays one whatever was stored, so it is not even read.
        if (IsSeparatorSlot(slot)) {
            g_settings.toolon[slot] = TOOLSLOT_SEPARATOR;
            continue;
        }
        char name[TOOL_VALUE_NAME_SIZE];
        FormatToolValueName(slot, name);
        g_settings.toolon[slot] = LoadFlag(name, defaults.toolon[slot]);
    }
}

void LoadSettings()
{
    const Settings defaults = DefaultSettings();
    CountStart();
    g_settings.sudden = LoadFlag("sudden", defaults.sudden);
    g_settings.maxdiffno = LoadMaxDiffNo(defaults);
    g_settings.compcancel = LoadCompCancel(defaults);
    LoadToolbarSlots(defaults);
    g_settings.toolflat = LoadFlag("toolflat", defaults.toolflat);
}

void SaveSettings()
{
    WriteSetting(PROGRAM_KEY, "sudden", g_settings.sudden);
    WriteSetting(PROGRAM_KEY, "maxdiffno", g_settings.maxdiffno);
    WriteSetting(PROGRAM_KEY, "compcancel", g_settings.compcancel);
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
        char name[TOOL_VALUE_NAME_SIZE];
        FormatToolValueName(slot, name);
        WriteSetting(PROGRAM_KEY, name, g_settings.toolon[slot]);
    }
    WriteSetting(PROGRAM_KEY, "toolflat", g_settings.toolflat);
}
