// Load and save rules of the settings store, against the in-memory store of
// the recording fake: defaults, range repair, separators, start counters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"
#include "settings/settings.h"

namespace {

const int32_t STORED_ALL_ONES = static_cast<int32_t>(0xFFFFFFFFu);

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFakePlatform();
        // Garbage in every field, so a field that load forgets shows up.
        g_settings.sudden = 77;
        g_settings.maxdiffno = 77;
        g_settings.compcancel = 77;
        for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot)
            g_settings.toolon[slot] = 77;
        g_settings.toolflat = 77;
    }
    void TearDown() override { g_settings = DefaultSettings(); }

    void Store(SettingKey key, const char *name, int32_t value) { g_fake.store[{key, name}] = value; }
    bool Has(SettingKey key, const char *name) { return g_fake.store.count({key, name}) != 0; }
    int32_t Stored(SettingKey key, const char *name) { return g_fake.store.at({key, name}); }

    std::vector<std::string> NamesOf(const char *op, SettingKey key)
    {
        std::vector<std::string> names;
        for (const PanelCall &call : CallsOf(op))
            if (call.id == key)
                names.push_back(call.text);
        return names;
    }

    static void ExpectDefaults(const Settings &s)
    {
        const int32_t expectedSlots[TOOLBAR_SLOTS] = {2, 1, 1, 1, 2, 0, 1, 1, 1, 0, 2, 1, 2, 1, 1};
        EXPECT_EQ(0, s.sudden);
        EXPECT_EQ(30, s.maxdiffno);
        EXPECT_EQ(0, s.compcancel);
        for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot)
            EXPECT_EQ(expectedSlots[slot], s.toolon[slot]) << "slot " << slot;
        EXPECT_EQ(1, s.toolflat);
    }
};

TEST_F(StoreTest, FirstStartCountsBothCountersAndGivesDefaults)
{
    LoadSettings();

    EXPECT_EQ(1, Stored(PROGRAM_KEY, "_count"));
    EXPECT_EQ(1, Stored(MAKER_KEY, "tools"));
    ExpectDefaults(g_settings);
    // The counters are settled before any option is read.
    ASSERT_GE(g_fake.calls.size(), 4u);
    EXPECT_EQ("_count", g_fake.calls[0].text);
    EXPECT_EQ("WriteSetting", g_fake.calls[1].op);
    EXPECT_EQ("tools", g_fake.calls[2].text);
    EXPECT_EQ("WriteSetting", g_fake.calls[3].op);
    EXPECT_EQ((std::vector<std::string>{"tools"}), NamesOf("WriteSetting", MAKER_KEY));
}

TEST_F(StoreTest, StartCounters)
{
    struct Case {
        bool hasCount;
        int32_t count;
        bool hasTools;
        int32_t tools;
        int32_t expectedCount;
        int32_t expectedTools;
    } cases[] = {
        {false, 0, true, 3, 1, 4},                 // first start here, maker counter known
        {true, 7, true, 3, 8, 3},                  // later start leaves the maker counter
        {true, 0, false, 0, 1, 0},                 // 0 is a later start, not a first one
        {true, -4, true, 3, 1, 4},                 // negative count: a first start
        {true, STORED_ALL_ONES, true, 9, 1, 10},   // all ones reads as missing
        {false, 0, true, 0, 1, 1},                 // maker counter not positive: reset
        {false, 0, true, -6, 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "_count " << c.count << " tools " << c.tools);
        ResetFakePlatform();
        if (c.hasCount)
            Store(PROGRAM_KEY, "_count", c.count);
        if (c.hasTools)
            Store(MAKER_KEY, "tools", c.tools);

        LoadSettings();

        EXPECT_EQ(c.expectedCount, Stored(PROGRAM_KEY, "_count"));
        bool firstStart = !c.hasCount || c.count < 0;
        EXPECT_EQ(firstStart ? 1u : 0u, NamesOf("ReadSetting", MAKER_KEY).size());
        EXPECT_EQ(firstStart || c.hasTools, Has(MAKER_KEY, "tools"));
        if (firstStart || c.hasTools) {
            EXPECT_EQ(c.expectedTools, Stored(MAKER_KEY, "tools"));
        }
    }
}

TEST_F(StoreTest, MaximumListedDifferencesIsRepairedAsUnsigned)
{
    const struct { int32_t stored; int32_t loaded; } cases[] = {
        {1, 1}, {25, 25}, {100, 100}, {0, 30}, {101, 30}, {-5, 30}, {STORED_ALL_ONES, 30},
        {static_cast<int32_t>(0x80000000u), 30},
    };
    for (const auto &c : cases) {
        ResetFakePlatform();
        Store(PROGRAM_KEY, "maxdiffno", c.stored);
        LoadSettings();
        EXPECT_EQ(c.loaded, g_settings.maxdiffno) << "stored " << c.stored;
    }
}

TEST_F(StoreTest, StopConditionIsRepairedAsUnsigned)
{
    const struct { int32_t stored; int32_t loaded; } cases[] = {
        {0, 0}, {1, 1}, {2, 2}, {3, 0}, {-2, 0}, {STORED_ALL_ONES, 0},
    };
    for (const auto &c : cases) {
        ResetFakePlatform();
        Store(PROGRAM_KEY, "compcancel", c.stored);
        LoadSettings();
        EXPECT_EQ(c.loaded, g_settings.compcancel) << "stored " << c.stored;
    }
}

TEST_F(StoreTest, FlagsKeepAnyStoredValueButAllOnes)
{
    Store(PROGRAM_KEY, "sudden", 5);
    Store(PROGRAM_KEY, "toolflat", 0);
    LoadSettings();
    EXPECT_EQ(5, g_settings.sudden);
    EXPECT_EQ(0, g_settings.toolflat);

    ResetFakePlatform();
    Store(PROGRAM_KEY, "sudden", STORED_ALL_ONES);
    Store(PROGRAM_KEY, "toolflat", STORED_ALL_ONES);
    LoadSettings();
    EXPECT_EQ(0, g_settings.sudden);
    EXPECT_EQ(1, g_settings.toolflat);
}

TEST_F(StoreTest, ToolbarSlots)
{
    Store(PROGRAM_KEY, "toolon 0", 0);    // a separator cannot be turned off
    Store(PROGRAM_KEY, "toolon10", 1);
    Store(PROGRAM_KEY, "toolon 5", 2);    // Undo becomes a separator
    Store(PROGRAM_KEY, "toolon 1", 0);
    Store(PROGRAM_KEY, "toolon14", 7);
    Store(PROGRAM_KEY, "toolon 2", STORED_ALL_ONES);
    // toolon 3 and toolon 9 missing

    LoadSettings();

    EXPECT_EQ(2, g_settings.toolon[0]);
    EXPECT_EQ(2, g_settings.toolon[10]);
    EXPECT_EQ(2, g_settings.toolon[5]);
    EXPECT_EQ(0, g_settings.toolon[1]);
    EXPECT_EQ(7, g_settings.toolon[14]);
    EXPECT_EQ(1, g_settings.toolon[2]);
    EXPECT_EQ(1, g_settings.toolon[3]);   // Save result shown
    EXPECT_EQ(0, g_settings.toolon[9]);   // Clear hidden
}

TEST_F(StoreTest, LoadReadsExactlyTheOptionValuesInOrder)
{
    Store(PROGRAM_KEY, "_count", 3);
    LoadSettings();

    EXPECT_EQ((std::vector<std::string>{
                  "_count", "sudden", "maxdiffno", "compcancel",
                  "toolon 1", "toolon 2", "toolon 3", "toolon 5", "toolon 6", "toolon 7",
                  "toolon 8", "toolon 9", "toolon11", "toolon13", "toolon14", "toolflat"}),
              NamesOf("ReadSetting", PROGRAM_KEY));
    EXPECT_EQ((std::vector<std::string>{"_count"}), NamesOf("WriteSetting", PROGRAM_KEY));
}

TEST_F(StoreTest, SaveWritesTheNineteenValuesInOrder)
{
    g_settings.sudden = 5;
    g_settings.maxdiffno = 25;
    g_settings.compcancel = 2;
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot)
        g_settings.toolon[slot] = 100 + slot;
    g_settings.toolflat = 0;

    SaveSettings();

    const std::vector<std::string> names = {
        "sudden", "maxdiffno", "compcancel",
        "toolon 0", "toolon 1", "toolon 2", "toolon 3", "toolon 4", "toolon 5", "toolon 6",
        "toolon 7", "toolon 8", "toolon 9", "toolon10", "toolon11", "toolon12", "toolon13",
        "toolon14", "toolflat"};
    EXPECT_EQ(names, NamesOf("WriteSetting", PROGRAM_KEY));
    EXPECT_EQ(names.size(), g_fake.calls.size());   // nothing read, no counter written
    EXPECT_EQ(5, Stored(PROGRAM_KEY, "sudden"));
    EXPECT_EQ(25, Stored(PROGRAM_KEY, "maxdiffno"));
    EXPECT_EQ(2, Stored(PROGRAM_KEY, "compcancel"));
    EXPECT_EQ(104, Stored(PROGRAM_KEY, "toolon 4"));
    EXPECT_EQ(114, Stored(PROGRAM_KEY, "toolon14"));
    EXPECT_EQ(0, Stored(PROGRAM_KEY, "toolflat"));
}

TEST_F(StoreTest, LoadThenSaveKeepsHandStoredValuesAndForcesSeparators)
{
    Store(PROGRAM_KEY, "_count", 7);
    Store(PROGRAM_KEY, "sudden", 5);
    Store(PROGRAM_KEY, "maxdiffno", 25);
    Store(PROGRAM_KEY, "compcancel", 2);
    Store(PROGRAM_KEY, "toolon 0", 0);
    Store(PROGRAM_KEY, "toolon 7", 9);

    LoadSettings();
    SaveSettings();

    EXPECT_EQ(5, Stored(PROGRAM_KEY, "sudden"));
    EXPECT_EQ(25, Stored(PROGRAM_KEY, "maxdiffno"));
    EXPECT_EQ(2, Stored(PROGRAM_KEY, "compcancel"));
    EXPECT_EQ(2, Stored(PROGRAM_KEY, "toolon 0"));
    EXPECT_EQ(9, Stored(PROGRAM_KEY, "toolon 7"));
    EXPECT_EQ(0, Stored(PROGRAM_KEY, "toolon 9"));
    EXPECT_EQ(8, Stored(PROGRAM_KEY, "_count"));
    EXPECT_EQ(20u, g_fake.store.size());   // nineteen options and the start count
}

}  // namespace
