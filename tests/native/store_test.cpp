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
        {false, 0, true, 1, 1, 2},                 // the lowest maker counter counts on
        {false, 0, true, 0, 1, 1},                 // maker counter not positive: reset
        {false, 0, true, -6, 1, 1},
        {true, INT32_MAX, false, 0, INT32_MIN, 0}, // wraps as the stored 32 bits do
        {false, 0, true, INT32_MAX, 1, INT32_MIN},
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

// The field of the record that a stored name loads into.
int32_t LoadedField(const std::string &name)
{
    if (name == "sudden") return g_settings.sudden;
    if (name == "maxdiffno") return g_settings.maxdiffno;
    if (name == "compcancel") return g_settings.compcancel;
    if (name == "toolflat") return g_settings.toolflat;
    return g_settings.toolon[std::stoi(name.substr(6))];
}

TEST_F(StoreTest, EachStoredValueLoadsOrIsRepaired)
{
    const struct { const char *name; int32_t stored; int32_t loaded; } cases[] = {
        // The maximum and the stop condition are range-checked as unsigned.
        {"maxdiffno", 1, 1}, {"maxdiffno", 25, 25}, {"maxdiffno", 100, 100}, {"maxdiffno", 0, 30},
        {"maxdiffno", 101, 30}, {"maxdiffno", -5, 30}, {"maxdiffno", STORED_ALL_ONES, 30},
        {"maxdiffno", static_cast<int32_t>(0x80000000u), 30},
        {"compcancel", 0, 0}, {"compcancel", 1, 1}, {"compcancel", 2, 2}, {"compcancel", 3, 0},
        {"compcancel", -2, 0}, {"compcancel", STORED_ALL_ONES, 0},
        // Flags keep any value but all ones, which reads as missing.
        {"sudden", 5, 5}, {"sudden", STORED_ALL_ONES, 0}, {"toolflat", 0, 0}, {"toolflat", STORED_ALL_ONES, 1},
        {"sudden", -5, -5}, {"toolflat", -2, -2},
        // A separator cannot be turned off; a button slot stored as 2 becomes one.
        {"toolon 0", 0, 2}, {"toolon10", 1, 2}, {"toolon 5", 2, 2}, {"toolon 1", 0, 0},
        {"toolon14", 7, 7}, {"toolon 2", STORED_ALL_ONES, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " stored " << c.stored);
        ResetFakePlatform();
        Store(PROGRAM_KEY, c.name, c.stored);
        LoadSettings();
        EXPECT_EQ(c.loaded, LoadedField(c.name));
    }
    // Missing slots take their defaults: Save result shown, Clear hidden.
    EXPECT_EQ(1, g_settings.toolon[3]);
    EXPECT_EQ(0, g_settings.toolon[9]);
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
