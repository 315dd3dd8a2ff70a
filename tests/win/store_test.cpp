// The settings store against the real registry of the test prefix, in process:
// keys made on a first start, values read and written as 4-byte numbers, and
// the main window loading at creation and saving at close.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/store.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

const char MAKER_PATH[] = "Software\\Corvale Tools";
const char PROGRAM_PATH[] = "Software\\Corvale Tools\\Tarnlight";

std::string Dword(int32_t value)
{
    return std::string(reinterpret_cast<const char *>(&value), 4);
}

// The names and exact bytes under the key, every one a REG_DWORD.
std::map<std::string, std::string> DwordsUnder(const char *path)
{
    std::map<std::string, std::string> dwords;
    for (const auto &value : RegistryValues(path)) {
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.second.type) << value.first;
        dwords[value.first] = value.second.bytes;
    }
    return dwords;
}

struct RegistryStoreTest : ::testing::Test {
    void SetUp() override
    {
        RemoveTarnlightRegistry();
        ASSERT_FALSE(KeyExists(MAKER_PATH));
        g_settings = DefaultSettings();
    }
    void TearDown() override
    {
        RemoveTarnlightRegistry();
        g_settings = DefaultSettings();
    }
};

TEST_F(RegistryStoreTest, FirstStartInEmptyHiveCreatesBothKeysAndSavesDefaults)
{
    LoadSettings();
    // Reading alone writes nothing but the counters.
    EXPECT_EQ(DwordsUnder(MAKER_PATH), (std::map<std::string, std::string>{{"tools", Dword(1)}}));
    EXPECT_EQ(DwordsUnder(PROGRAM_PATH), (std::map<std::string, std::string>{{"_count", Dword(1)}}));

    SaveSettings();
    const Settings defaults = DefaultSettings();
    std::map<std::string, std::string> expected = {
        {"_count", Dword(1)}, {"sudden", Dword(0)}, {"maxdiffno", Dword(30)}, {"compcancel", Dword(0)},
        {"toolflat", Dword(1)}};
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
        char name[16];
        snprintf(name, sizeof name, "toolon%2d", slot);
        expected[name] = Dword(defaults.toolon[slot]);
    }
    EXPECT_EQ(DwordsUnder(PROGRAM_PATH), expected);
    EXPECT_EQ(DwordsUnder(MAKER_PATH).size(), 1u);
}

TEST_F(RegistryStoreTest, ReadTakesShortValuesOverTheMissingMarkAndRefusesLongOnes)
{
    EXPECT_EQ(-1, ReadSetting(PROGRAM_KEY, "absent"));
    EXPECT_TRUE(KeyExists(PROGRAM_PATH));   // reading creates the key
    struct Case { const char *name; DWORD type; std::string bytes; int32_t read; };
    const Case cases[] = {
        {"short", REG_BINARY, "\x34\x12", static_cast<int32_t>(0xFFFF1234u)},
        {"four", REG_BINARY, "\x01\x02\x03\x04", 0x04030201},
        // The first four bytes would make a valid number; none of it may leak.
        {"long", REG_BINARY, "\x01\x02\x03\x04\x05", -1},
        {"negative", REG_DWORD, Dword(-5), -5},
    };
    for (const Case &c : cases) {
        PutRegistryValue(PROGRAM_PATH, c.name, c.type, c.bytes);
        EXPECT_EQ(c.read, ReadSetting(PROGRAM_KEY, c.name)) << c.name;
    }
}

TEST_F(RegistryStoreTest, WriteStoresALittleEndianDword)
{
    WriteSetting(MAKER_KEY, "tools", -2);
    WriteSetting(PROGRAM_KEY, "maxdiffno", 0x01020304);
    EXPECT_EQ(DwordsUnder(MAKER_PATH)["tools"], Dword(-2));
    EXPECT_EQ(DwordsUnder(PROGRAM_PATH)["maxdiffno"], std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(0x01020304, ReadSetting(PROGRAM_KEY, "maxdiffno"));
}

TEST_F(RegistryStoreTest, MainWindowLoadsAtCreationAndSavesTheNineteenAtClose)
{
    StoreSetting("maxdiffno", 25);
    StoreSetting("compcancel", 2);
    StoreSetting("sudden", 5);
    PutRegistryValue(PROGRAM_PATH, "toolflat", REG_BINARY, std::string(2, '\0'));

    HWND mainWindow = StartMainWindow();
    ASSERT_NE(mainWindow, (HWND)NULL);
    EXPECT_EQ(25, g_settings.maxdiffno);
    EXPECT_EQ(2, g_settings.compcancel);
    EXPECT_EQ(5, g_settings.sudden);
    EXPECT_EQ(static_cast<int32_t>(0xFFFF0000u), g_settings.toolflat);
    EXPECT_EQ(0, CloseMainWindow(mainWindow));

    std::map<std::string, std::string> stored = DwordsUnder(PROGRAM_PATH);
    EXPECT_EQ(20u, stored.size());   // the nineteen settings and the start count
    EXPECT_EQ(stored["maxdiffno"], Dword(25));
    EXPECT_EQ(stored["compcancel"], Dword(2));
    EXPECT_EQ(stored["sudden"], Dword(5));
    EXPECT_EQ(stored["toolflat"], Dword(static_cast<int32_t>(0xFFFF0000u)));
    EXPECT_EQ(stored["_count"], Dword(1));
    EXPECT_EQ(DwordsUnder(MAKER_PATH)["tools"], Dword(1));
}

}  // namespace
