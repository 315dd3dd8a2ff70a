// The settings store against the real registry of the test prefix, in process.
// Each test moves any existing Tarnlight keys aside first and puts them back
// afterwards, so the prefix is left as it was found.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/platform.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

const char MAKER_PATH[] = "Software\\Corvale Tools";
const char PROGRAM_PATH[] = "Software\\Corvale Tools\\Tarnlight";
const char PROGRAM_SUBKEY[] = "Tarnlight";

struct RawValue {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};

struct SavedKey {
    bool existed;
    std::vector<RawValue> values;
};

std::vector<RawValue> ValuesOf(const char *path)
{
    std::vector<RawValue> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[1024];
        DWORD dataSize = sizeof data;
        DWORD type;
        if (RegEnumValueA(key, index, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        values.push_back(RawValue{name, type, std::vector<BYTE>(data, data + dataSize)});
    }
    RegCloseKey(key);
    return values;
}

void PutRaw(const char *path, const char *name, DWORD type, const std::vector<BYTE> &data)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, NULL, 0, KEY_ALL_ACCESS,
                                             NULL, &key, NULL));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, data.data(),
                                            static_cast<DWORD>(data.size())));
    RegCloseKey(key);
}

void PutDword(const char *path, const char *name, int32_t value)
{
    const BYTE *bytes = reinterpret_cast<const BYTE *>(&value);
    PutRaw(path, name, REG_DWORD, std::vector<BYTE>(bytes, bytes + 4));
}

// Fails unless the value is a REG_DWORD of exactly 4 bytes; gives its value.
int32_t StoredDword(const char *path, const char *name)
{
    for (const RawValue &value : ValuesOf(path)) {
        if (value.name != name)
            continue;
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.type) << name;
        EXPECT_EQ(4u, value.data.size()) << name;
        int32_t result = 0;
        if (value.data.size() == 4)
            memcpy(&result, value.data.data(), 4);
        return result;
    }
    ADD_FAILURE() << "no value " << name << " in " << path;
    return 0;
}

// Both keys gone, the maker key only when nothing else lives below it.
void RemoveTarnlightKeys()
{
    HKEY maker;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, MAKER_PATH, 0, KEY_ALL_ACCESS, &maker) != ERROR_SUCCESS)
        return;
    RegDeleteKeyA(maker, PROGRAM_SUBKEY);
    DWORD subkeys = 0;
    RegQueryInfoKeyA(maker, NULL, NULL, NULL, &subkeys, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
    RegCloseKey(maker);
    if (subkeys == 0)
        RegDeleteKeyA(HKEY_CURRENT_USER, MAKER_PATH);
}

SavedKey SaveKey(const char *path)
{
    return SavedKey{KeyExists(path), ValuesOf(path)};
}

void RestoreKey(const char *path, const SavedKey &saved)
{
    if (!saved.existed)
        return;
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    for (const RawValue &value : saved.values)
        RegSetValueExA(key, value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
}

void ClearValues(const char *path)
{
    std::vector<RawValue> values = ValuesOf(path);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    for (const RawValue &value : values)
        RegDeleteValueA(key, value.name.c_str());
    RegCloseKey(key);
}

class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        maker_ = SaveKey(MAKER_PATH);
        program_ = SaveKey(PROGRAM_PATH);
        RemoveTarnlightKeys();
        ASSERT_FALSE(KeyExists(PROGRAM_PATH));
        // A maker key with other subkeys stays; only its values are cleared.
        ClearValues(MAKER_PATH);
        g_settings = DefaultSettings();
    }

    void TearDown() override
    {
        RemoveTarnlightKeys();
        RestoreKey(MAKER_PATH, maker_);
        RestoreKey(PROGRAM_PATH, program_);
        g_settings = DefaultSettings();
    }

    SavedKey maker_;
    SavedKey program_;
};

TEST_F(RegistryStoreTest, FirstStartInEmptyHiveCreatesBothKeysAndSavesDefaults)
{
    LoadSettings();

    EXPECT_TRUE(KeyExists(MAKER_PATH));
    EXPECT_TRUE(KeyExists(PROGRAM_PATH));
    EXPECT_EQ(1, StoredDword(PROGRAM_PATH, "_count"));
    EXPECT_EQ(1, StoredDword(MAKER_PATH, "tools"));
    EXPECT_EQ(0, g_settings.sudden);
    EXPECT_EQ(30, g_settings.maxdiffno);
    EXPECT_EQ(0, g_settings.compcancel);
    EXPECT_EQ(0, g_settings.toolon[9]);
    EXPECT_EQ(1, g_settings.toolflat);
    // Reading alone writes nothing but the counters.
    EXPECT_EQ(1u, ValuesOf(PROGRAM_PATH).size());
    EXPECT_EQ(1u, ValuesOf(MAKER_PATH).size());

    SaveSettings();

    const Settings defaults = DefaultSettings();
    std::vector<RawValue> values = ValuesOf(PROGRAM_PATH);
    EXPECT_EQ(20u, values.size());   // the nineteen settings and the start count
    EXPECT_EQ(0, StoredDword(PROGRAM_PATH, "sudden"));
    EXPECT_EQ(30, StoredDword(PROGRAM_PATH, "maxdiffno"));
    EXPECT_EQ(0, StoredDword(PROGRAM_PATH, "compcancel"));
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
        char name[16];
        snprintf(name, sizeof name, "toolon%2d", slot);
        EXPECT_EQ(defaults.toolon[slot], StoredDword(PROGRAM_PATH, name)) << name;
    }
    EXPECT_EQ(1, StoredDword(PROGRAM_PATH, "toolflat"));
    EXPECT_EQ(1u, ValuesOf(MAKER_PATH).size());
}

TEST_F(RegistryStoreTest, ReadTakesShortValuesOverTheMissingMarkAndRefusesLongOnes)
{
    EXPECT_EQ(-1, ReadSetting(PROGRAM_KEY, "absent"));
    EXPECT_TRUE(KeyExists(PROGRAM_PATH));   // reading creates the key

    PutRaw(PROGRAM_PATH, "short", REG_BINARY, {0x34, 0x12});
    EXPECT_EQ(static_cast<int32_t>(0xFFFF1234u), ReadSetting(PROGRAM_KEY, "short"));

    PutRaw(PROGRAM_PATH, "four", REG_BINARY, {0x01, 0x02, 0x03, 0x04});
    EXPECT_EQ(0x04030201, ReadSetting(PROGRAM_KEY, "four"));

    // The first four bytes would make a valid number; none of it may leak.
    PutRaw(PROGRAM_PATH, "long", REG_BINARY, {0x01, 0x02, 0x03, 0x04, 0x05});
    EXPECT_EQ(-1, ReadSetting(PROGRAM_KEY, "long"));

    PutDword(PROGRAM_PATH, "negative", -5);
    EXPECT_EQ(-5, ReadSetting(PROGRAM_KEY, "negative"));
}

TEST_F(RegistryStoreTest, WriteStoresALittleEndianDword)
{
    WriteSetting(MAKER_KEY, "tools", -2);
    WriteSetting(PROGRAM_KEY, "maxdiffno", 0x01020304);

    EXPECT_EQ(-2, StoredDword(MAKER_PATH, "tools"));
    for (const RawValue &value : ValuesOf(PROGRAM_PATH))
        if (value.name == "maxdiffno") {
            EXPECT_EQ((std::vector<BYTE>{0x04, 0x03, 0x02, 0x01}), value.data);
        }
    EXPECT_EQ(0x01020304, ReadSetting(PROGRAM_KEY, "maxdiffno"));
}

TEST_F(RegistryStoreTest, HandStoredValuesSurviveLoadAndSave)
{
    PutDword(PROGRAM_PATH, "_count", 7);
    PutDword(PROGRAM_PATH, "maxdiffno", 25);
    PutDword(PROGRAM_PATH, "compcancel", 2);
    PutDword(PROGRAM_PATH, "sudden", 5);
    PutDword(PROGRAM_PATH, "toolon 0", 0);
    PutDword(PROGRAM_PATH, "toolon 5", 2);

    LoadSettings();

    EXPECT_EQ(25, g_settings.maxdiffno);
    EXPECT_EQ(2, g_settings.compcancel);
    EXPECT_EQ(5, g_settings.sudden);
    EXPECT_EQ(2, g_settings.toolon[0]);
    EXPECT_EQ(2, g_settings.toolon[5]);

    SaveSettings();

    EXPECT_EQ(8, StoredDword(PROGRAM_PATH, "_count"));
    EXPECT_EQ(25, StoredDword(PROGRAM_PATH, "maxdiffno"));
    EXPECT_EQ(2, StoredDword(PROGRAM_PATH, "compcancel"));
    EXPECT_EQ(5, StoredDword(PROGRAM_PATH, "sudden"));
    EXPECT_EQ(2, StoredDword(PROGRAM_PATH, "toolon 0"));
    EXPECT_EQ(2, StoredDword(PROGRAM_PATH, "toolon 5"));
    // A later start leaves the maker's counter alone.
    EXPECT_TRUE(ValuesOf(MAKER_PATH).empty());
}

TEST_F(RegistryStoreTest, MainWindowLoadsAtCreationAndSavesTheNineteenAtClose)
{
    PutDword(PROGRAM_PATH, "maxdiffno", 25);
    PutDword(PROGRAM_PATH, "compcancel", 2);
    PutDword(PROGRAM_PATH, "sudden", 5);
    PutRaw(PROGRAM_PATH, "toolflat", REG_BINARY, {0x00, 0x00});

    HWND mainWindow = StartMainWindow();
    ASSERT_NE(mainWindow, (HWND)NULL);
    EXPECT_EQ(25, g_settings.maxdiffno);
    EXPECT_EQ(2, g_settings.compcancel);
    EXPECT_EQ(5, g_settings.sudden);
    EXPECT_EQ(static_cast<int32_t>(0xFFFF0000u), g_settings.toolflat);
    EXPECT_EQ(0, CloseMainWindow(mainWindow));

    EXPECT_EQ(20u, ValuesOf(PROGRAM_PATH).size());   // the nineteen settings and the start count
    for (const RawValue &value : ValuesOf(PROGRAM_PATH)) {
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.type) << value.name;
        EXPECT_EQ(4u, value.data.size()) << value.name;
    }
    EXPECT_EQ(25, StoredDword(PROGRAM_PATH, "maxdiffno"));
    EXPECT_EQ(2, StoredDword(PROGRAM_PATH, "compcancel"));
    EXPECT_EQ(5, StoredDword(PROGRAM_PATH, "sudden"));
    EXPECT_EQ(static_cast<int32_t>(0xFFFF0000u), StoredDword(PROGRAM_PATH, "toolflat"));
    EXPECT_EQ(1, StoredDword(PROGRAM_PATH, "_count"));
    EXPECT_EQ(1, StoredDword(MAKER_PATH, "tools"));
}

}  // namespace
