// The settings of the real tarnlight.exe across runs: the start counters, the
// values it leaves in the registry, and the options sheet changing what the
// next comparison lists and what the toolbar shows after a restart.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/ids.h"
#include "e2e.h"
#include "harness.h"

namespace {

const char MAKER_PATH[] = "Software\\Corvale Tools";
const char PROGRAM_PATH[] = "Software\\Corvale Tools\\Tarnlight";

const char DIFFERENT_CONTENT[] = "違う内容のファイルです。";
const char MORE_LINE[] = "さらに違う箇所あり・・・";
const char LINE_MARK[] = "バイト目";

enum { ASK_MS = 5000, POLL_MS = 10, TOOLBAR_PAGE = 1 };

typedef std::map<std::string, long long> StoredValues;

// Every value under the key as a signed 32-bit number; a value that is not a
// 4-byte REG_DWORD fails the test and is left out.
StoredValues ValuesUnder(const char *path)
{
    StoredValues values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[64];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, index, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        if (type != REG_DWORD || dataSize != 4) {
            ADD_FAILURE() << "\"" << name << "\" has type " << type << " and " << dataSize << " bytes";
            continue;
        }
        int32_t value;
        memcpy(&value, data, sizeof value);
        values[name] = value;
    }
    RegCloseKey(key);
    return values;
}

// -1 when missing.
long long ValueUnder(const char *path, const char *name)
{
    StoredValues values = ValuesUnder(path);
    StoredValues::const_iterator found = values.find(name);
    return found == values.end() ? -1 : found->second;
}

// What the program key holds after a run with default settings.
StoredValues DefaultValues(long long count)
{
    return StoredValues{
        {"_count", count},     {"sudden", 0},        {"maxdiffno", 30},    {"compcancel", 0},
        {"toolon 0", 2},       {"toolon 1", 1},      {"toolon 2", 1},      {"toolon 3", 1},
        {"toolon 4", 2},       {"toolon 5", 0},      {"toolon 6", 1},      {"toolon 7", 1},
        {"toolon 8", 1},       {"toolon 9", 0},      {"toolon10", 2},      {"toolon11", 1},
        {"toolon12", 2},       {"toolon13", 1},      {"toolon14", 1},      {"toolflat", 1},
    };
}

int DifferingOffset(int k)
{
    return 3 + 4 * k;
}

// Two files of the same size whose bytes differ at offsets 3, 7, 11, ...
// (count of them); the listing of the first n is thus predictable.
std::vector<std::string> MakeDifferingFiles(const std::string &stem, int size, int count)
{
    std::string first(static_cast<size_t>(size), 'a');
    std::string second = first;
    for (int k = 0; k < count; ++k)
        second[static_cast<size_t>(DifferingOffset(k))] = 'b';
    return {MakeTempFile(stem + "_1.bin", first), MakeTempFile(stem + "_2.bin", second)};
}

int CountOf(const std::string &text, const std::string &part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

bool ListsOffset(const std::string &report, int offset)
{
    char line[32];
    snprintf(line, sizeof line, " %9d %s", offset, LINE_MARK);
    return report.find(line) != std::string::npos;
}

// The listing of one comparison as the result field shows it.
struct Listing {
    int lines;
    int moreLines;
    std::string report;
};

Listing ReadListing(const TarnlightProcess *program)
{
    std::string report = ReadControl(program, IDC_RESULT);
    return Listing{CountOf(report, LINE_MARK), CountOf(report, MORE_LINE), report};
}

// A message to a window of the other process, answered within a time limit.
LRESULT Ask(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_NORMAL, ASK_MS, &result))
        ADD_FAILURE() << "no answer to message 0x" << std::hex << msg;
    return static_cast<LRESULT>(result);
}

bool WaitUntilGone(HWND window)
{
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > static_cast<DWORD>(E2E_TIMEOUT_MS))
            return false;
        Sleep(POLL_MS);
    }
    return true;
}

HWND OpenOptionsSheet(TarnlightProcess *program)
{
    HWND sheet = RunCommand(program, IDM_OPTIONS);
    EXPECT_NE(sheet, (HWND)NULL) << "the options sheet did not appear";
    if (sheet != NULL) {
        EXPECT_EQ(DialogCaption(sheet), "設定");
    }
    return sheet;
}

HWND CurrentPage(HWND sheet)
{
    return reinterpret_cast<HWND>(Ask(sheet, PSM_GETCURRENTPAGEHWND));
}

HWND ShowToolbarPage(HWND sheet)
{
    Ask(sheet, PSM_SETCURSEL, TOOLBAR_PAGE, 0);
    return CurrentPage(sheet);
}

void Click(HWND page, int id)
{
    Ask(GetDlgItem(page, id), BM_CLICK);
}

LRESULT CheckState(HWND page, int id)
{
    return Ask(GetDlgItem(page, id), BM_GETCHECK);
}

LRESULT ComboSelection(HWND page)
{
    return Ask(GetDlgItem(page, IDC_MAXDIFF), CB_GETCURSEL);
}

bool ComboEnabled(HWND page)
{
    return IsWindowEnabled(GetDlgItem(page, IDC_MAXDIFF)) != FALSE;
}

// Replaces the combo box's text as typing does, one character at a time.
void TypeIntoCombo(HWND page, const char *text)
{
    HWND edit = FindWindowExA(GetDlgItem(page, IDC_MAXDIFF), NULL, "Edit", NULL);
    ASSERT_NE(edit, (HWND)NULL);
    Ask(edit, EM_SETSEL, 0, -1);
    for (const char *c = text; *c != '\0'; ++c)
        Ask(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

// Presses a sheet button and waits until the sheet has closed and the
// program takes input again.
void CloseSheet(TarnlightProcess *program, HWND sheet, int button)
{
    PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
    EXPECT_TRUE(WaitUntilGone(sheet)) << "the sheet stayed open";
    EXPECT_TRUE(WaitUntilIdle(program));
}

// Runs the Compare command and gives what it listed.
Listing Compare(TarnlightProcess *program)
{
    EXPECT_EQ(RunCommand(program, IDM_COMPARE), (HWND)NULL) << "a dialog came up instead";
    return ReadListing(program);
}

HWND Toolbar(const TarnlightProcess *program)
{
    return GetDlgItem(program->mainWindow, IDC_TOOLBAR);
}

bool ButtonHidden(const TarnlightProcess *program, int command)
{
    return Ask(Toolbar(program), TB_ISBUTTONHIDDEN, command) != 0;
}

bool ToolbarFlat(const TarnlightProcess *program)
{
    return (GetWindowLongA(Toolbar(program), GWL_STYLE) & TBSTYLE_FLAT) != 0;
}

struct SettingsE2eTest : ::testing::Test {
    TarnlightProcess program = {};
    void SetUp() override
    {
        RemoveTarnlightRegistry();
        ASSERT_FALSE(KeyExists(PROGRAM_PATH));
        ASSERT_FALSE(KeyExists(MAKER_PATH));
    }
    void TearDown() override
    {
        EndTarnlight(&program);
        RemoveTarnlightRegistry();
    }

    // A new run of the program; the previous one must have ended.
    void Restart(const std::vector<std::string> &args)
    {
        EndTarnlight(&program);
        ASSERT_TRUE(StartTarnlightIdle(&program, args)) << TarnlightExePath();
    }
};

TEST_F(SettingsE2eTest, StartCountersCountEveryStartAndToolsOnlyTheFirst)
{
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        Restart({});
        // Counted at once at start-up, not at exit.
        EXPECT_EQ(ValueUnder(PROGRAM_PATH, "_count"), run);
        EXPECT_EQ(CloseTarnlight(&program), 0);
        EXPECT_EQ(ValueUnder(PROGRAM_PATH, "_count"), run);
        EXPECT_EQ(ValuesUnder(MAKER_PATH), (StoredValues{{"tools", 1}}));
    }
}

TEST_F(SettingsE2eTest, StartAndCloseLeavesExactlyTheNineteenDefaultsAsDwords)
{
    Restart({});
    // Nothing but the start count is written before the program ends.
    EXPECT_EQ(ValuesUnder(PROGRAM_PATH), (StoredValues{{"_count", 1}}));
    EXPECT_EQ(CloseTarnlight(&program), 0);
    EXPECT_EQ(ValuesUnder(PROGRAM_PATH), DefaultValues(1));
    EXPECT_EQ(ValuesUnder(MAKER_PATH), (StoredValues{{"tools", 1}}));
}

TEST_F(SettingsE2eTest, ExitCommandSavesTheNineteenAndEndsWithZero)
{
    Restart({});
    PostCommand(&program, IDM_EXIT);
    EXPECT_EQ(WaitForExit(&program), 0);
    EXPECT_EQ(ValuesUnder(PROGRAM_PATH), DefaultValues(1));

    // A second run ended the same way keeps them and counts on.
    Restart({});
    PostCommand(&program, IDM_EXIT);
    EXPECT_EQ(WaitForExit(&program), 0);
    EXPECT_EQ(ValuesUnder(PROGRAM_PATH), DefaultValues(2));
    EXPECT_EQ(ValuesUnder(MAKER_PATH), (StoredValues{{"tools", 1}}));
}

TEST_F(SettingsE2eTest, HandStoredValuesReachTheProgramAndAreWrittenBackUnchanged)
{
    std::vector<std::string> files = MakeDifferingFiles("stored", 200, 40);
    StoreSetting("maxdiffno", 25);
    StoreSetting("compcancel", 2);
    StoreSetting("sudden", 5);

    // Auto-compare on: the verdict is there as soon as the window is; stop
    // at the first difference: no difference line.
    Restart(files);
    EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), DIFFERENT_CONTENT);
    EXPECT_EQ(ReadControl(&program, IDC_FACE), "(ToT)");
    Listing listing = ReadListing(&program);
    EXPECT_NE(listing.report.find("200 Bytes"), std::string::npos) << listing.report;
    EXPECT_EQ(listing.lines, 0) << listing.report;
    EXPECT_EQ(listing.moreLines, 0) << listing.report;
    EXPECT_EQ(CloseTarnlight(&program), 0);

    StoredValues expected = DefaultValues(1);
    expected["maxdiffno"] = 25;
    expected["compcancel"] = 2;
    expected["sudden"] = 5;
    EXPECT_EQ(ValuesUnder(PROGRAM_PATH), expected);

    // The maximum of 25 shows once the whole file is compared.
    StoreSetting("compcancel", 0);
    Restart(files);
    EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), "合計40箇所違います。");
    listing = ReadListing(&program);
    EXPECT_EQ(listing.lines, 25) << listing.report;
    EXPECT_EQ(listing.moreLines, 1) << listing.report;
    EXPECT_TRUE(ListsOffset(listing.report, DifferingOffset(24))) << listing.report;
    EXPECT_FALSE(ListsOffset(listing.report, DifferingOffset(25))) << listing.report;

    // The sheet shows 25 as "20"; Cancel must not write that back.
    HWND sheet = OpenOptionsSheet(&program);
    ASSERT_NE(sheet, (HWND)NULL);
    HWND page = CurrentPage(sheet);
    EXPECT_EQ(ComboSelection(page), 2);
    EXPECT_EQ(CheckState(page, IDC_AUTOCOMPARE), BST_CHECKED);
    EXPECT_EQ(CheckState(page, IDC_STOP_AT_END), BST_CHECKED);
    CloseSheet(&program, sheet, PSBTN_CANCEL);
    EXPECT_EQ(CloseTarnlight(&program), 0);

    expected["_count"] = 2;
    expected["compcancel"] = 0;
    EXPECT_EQ(ValuesUnder(PROGRAM_PATH), expected);
}

TEST_F(SettingsE2eTest, MaximumTenWithStopAtMaximumListsTenAndSurvivesARestart)
{
    std::vector<std::string> files = MakeDifferingFiles("stopmax", 100, 15);
    Restart(files);
    // Defaults first: all fifteen listed.
    Listing listing = Compare(&program);
    EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), "合計15箇所違います。");
    EXPECT_EQ(listing.lines, 15) << listing.report;
    EXPECT_EQ(listing.moreLines, 0) << listing.report;

    HWND sheet = OpenOptionsSheet(&program);
    ASSERT_NE(sheet, (HWND)NULL);
    HWND page = CurrentPage(sheet);
    ASSERT_NE(page, (HWND)NULL);
    EXPECT_EQ(ComboSelection(page), 3);
    EXPECT_EQ(CheckState(page, IDC_STOP_AT_END), BST_CHECKED);
    Click(page, IDC_STOP_AT_MAX);
    Ask(GetDlgItem(page, IDC_MAXDIFF), CB_SETCURSEL, 1);
    EXPECT_EQ(CheckState(page, IDC_STOP_AT_MAX), BST_CHECKED);
    EXPECT_EQ(CheckState(page, IDC_STOP_AT_END), BST_UNCHECKED);
    EXPECT_TRUE(ComboEnabled(page));
    CloseSheet(&program, sheet, PSBTN_OK);

    // Nothing is saved before exit.
    EXPECT_EQ(ValuesUnder(PROGRAM_PATH), (StoredValues{{"_count", 1}}));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "after OK" : "after the restart");
        listing = Compare(&program);
        EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), DIFFERENT_CONTENT);
        EXPECT_EQ(ReadControl(&program, IDC_FACE), "(ToT)");
        EXPECT_EQ(listing.lines, 10) << listing.report;
        EXPECT_EQ(listing.moreLines, 1) << listing.report;
        EXPECT_TRUE(ListsOffset(listing.report, DifferingOffset(9))) << listing.report;
        EXPECT_FALSE(ListsOffset(listing.report, DifferingOffset(10))) << listing.report;

        PostCommand(&program, IDM_EXIT);
        EXPECT_EQ(WaitForExit(&program), 0);
        StoredValues expected = DefaultValues(round + 1);
        expected["maxdiffno"] = 10;
        expected["compcancel"] = 1;
        EXPECT_EQ(ValuesUnder(PROGRAM_PATH), expected);
        Restart(files);
    }

    sheet = OpenOptionsSheet(&program);
    ASSERT_NE(sheet, (HWND)NULL);
    page = CurrentPage(sheet);
    EXPECT_EQ(ComboSelection(page), 1);
    EXPECT_EQ(DialogItemText(page, IDC_MAXDIFF), "10");
    EXPECT_EQ(CheckState(page, IDC_STOP_AT_END), BST_UNCHECKED);
    EXPECT_EQ(CheckState(page, IDC_STOP_AT_MAX), BST_CHECKED);
    EXPECT_EQ(CheckState(page, IDC_STOP_AT_FIRST), BST_UNCHECKED);
    EXPECT_EQ(CheckState(page, IDC_AUTOCOMPARE), BST_UNCHECKED);
    EXPECT_TRUE(ComboEnabled(page));
    CloseSheet(&program, sheet, PSBTN_CANCEL);
    EXPECT_EQ(CloseTarnlight(&program), 0);
}

TEST_F(SettingsE2eTest, StopAtFirstAndAutoCompareTakeEffectAndSurviveARestart)
{
    std::vector<std::string> files = MakeDifferingFiles("stopfirst", 100, 15);
    Restart(files);
    // Auto-compare is off by default: nothing was compared at start-up.
    EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), "");
    EXPECT_EQ(ReadControl(&program, IDC_RESULT), "");

    HWND sheet = OpenOptionsSheet(&program);
    ASSERT_NE(sheet, (HWND)NULL);
    HWND page = CurrentPage(sheet);
    ASSERT_NE(page, (HWND)NULL);
    Click(page, IDC_STOP_AT_FIRST);
    EXPECT_FALSE(ComboEnabled(page));
    Click(page, IDC_AUTOCOMPARE);
    EXPECT_EQ(CheckState(page, IDC_AUTOCOMPARE), BST_CHECKED);
    CloseSheet(&program, sheet, PSBTN_OK);

    Listing listing = Compare(&program);
    EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), DIFFERENT_CONTENT);
    EXPECT_EQ(listing.lines, 0) << listing.report;
    EXPECT_EQ(listing.moreLines, 0) << listing.report;
    EXPECT_NE(listing.report.find("100 Bytes"), std::string::npos) << listing.report;
    EXPECT_EQ(CloseTarnlight(&program), 0);

    StoredValues expected = DefaultValues(1);
    expected["compcancel"] = 2;
    expected["sudden"] = 1;
    EXPECT_EQ(ValuesUnder(PROGRAM_PATH), expected);

    // Now the names on the command line are compared at start-up.
    Restart(files);
    EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), DIFFERENT_CONTENT);
    EXPECT_EQ(ReadListing(&program).lines, 0);

    sheet = OpenOptionsSheet(&program);
    ASSERT_NE(sheet, (HWND)NULL);
    page = CurrentPage(sheet);
    EXPECT_EQ(CheckState(page, IDC_STOP_AT_END), BST_UNCHECKED);
    EXPECT_EQ(CheckState(page, IDC_STOP_AT_MAX), BST_UNCHECKED);
    EXPECT_EQ(CheckState(page, IDC_STOP_AT_FIRST), BST_CHECKED);
    EXPECT_EQ(CheckState(page, IDC_AUTOCOMPARE), BST_CHECKED);
    EXPECT_FALSE(ComboEnabled(page));
    EXPECT_EQ(ComboSelection(page), 3);
    // Picked but cancelled: the next comparison still stops at once.
    Click(page, IDC_STOP_AT_END);
    EXPECT_TRUE(ComboEnabled(page));
    CloseSheet(&program, sheet, PSBTN_CANCEL);
    EXPECT_EQ(Compare(&program).lines, 0);
    EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), DIFFERENT_CONTENT);
    EXPECT_EQ(CloseTarnlight(&program), 0);

    expected["_count"] = 2;
    EXPECT_EQ(ValuesUnder(PROGRAM_PATH), expected);
}

TEST_F(SettingsE2eTest, TypedMaximumIsListedAndKept)
{
    std::vector<std::string> files = MakeDifferingFiles("typed", 100, 15);
    Restart(files);
    HWND sheet = OpenOptionsSheet(&program);
    ASSERT_NE(sheet, (HWND)NULL);
    HWND page = CurrentPage(sheet);
    ASSERT_NE(page, (HWND)NULL);
    TypeIntoCombo(page, "12");
    EXPECT_EQ(ComboSelection(page), CB_ERR);
    EXPECT_EQ(DialogItemText(page, IDC_MAXDIFF), "12");
    CloseSheet(&program, sheet, PSBTN_OK);

    Listing listing = Compare(&program);
    EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), "合計15箇所違います。");
    EXPECT_EQ(listing.lines, 12) << listing.report;
    EXPECT_EQ(listing.moreLines, 1) << listing.report;
    EXPECT_EQ(CloseTarnlight(&program), 0);
    EXPECT_EQ(ValueUnder(PROGRAM_PATH, "maxdiffno"), 12);

    Restart(files);
    listing = Compare(&program);
    EXPECT_EQ(listing.lines, 12) << listing.report;
    EXPECT_EQ(listing.moreLines, 1) << listing.report;
    EXPECT_EQ(CloseTarnlight(&program), 0);
}

TEST_F(SettingsE2eTest, ToolbarBoxesChangeTheToolbarOnlyAfterARestart)
{
    Restart({});
    ASSERT_NE(Toolbar(&program), (HWND)NULL);
    EXPECT_EQ(Ask(Toolbar(&program), TB_BUTTONCOUNT), 15);
    EXPECT_FALSE(ButtonHidden(&program, IDT_COPY));
    EXPECT_TRUE(ButtonHidden(&program, IDT_CLEAR));
    EXPECT_TRUE(ToolbarFlat(&program));

    HWND sheet = OpenOptionsSheet(&program);
    ASSERT_NE(sheet, (HWND)NULL);
    HWND page = ShowToolbarPage(sheet);
    ASSERT_NE(page, (HWND)NULL);
    EXPECT_EQ(CheckState(page, IDC_TOOLSLOT_BASE + 7), BST_CHECKED);
    EXPECT_EQ(CheckState(page, IDC_TOOLSLOT_BASE + 9), BST_UNCHECKED);
    EXPECT_EQ(CheckState(page, IDC_TOOLFLAT), BST_CHECKED);
    Click(page, IDC_TOOLSLOT_BASE + 7);
    Click(page, IDC_TOOLSLOT_BASE + 9);
    Click(page, IDC_TOOLFLAT);
    CloseSheet(&program, sheet, PSBTN_OK);

    // This run's toolbar stays as it was built.
    EXPECT_EQ(Ask(Toolbar(&program), TB_BUTTONCOUNT), 15);
    EXPECT_FALSE(ButtonHidden(&program, IDT_COPY));
    EXPECT_TRUE(ButtonHidden(&program, IDT_CLEAR));
    EXPECT_TRUE(ToolbarFlat(&program));
    EXPECT_EQ(CloseTarnlight(&program), 0);

    StoredValues expected = DefaultValues(1);
    expected["toolon 7"] = 0;
    expected["toolon 9"] = 1;
    expected["toolflat"] = 0;
    EXPECT_EQ(ValuesUnder(PROGRAM_PATH), expected);

    Restart({});
    EXPECT_EQ(Ask(Toolbar(&program), TB_BUTTONCOUNT), 15);
    EXPECT_TRUE(ButtonHidden(&program, IDT_COPY));
    EXPECT_FALSE(ButtonHidden(&program, IDT_CLEAR));
    EXPECT_FALSE(ButtonHidden(&program, IDT_PASTE));
    EXPECT_FALSE(ToolbarFlat(&program));

    sheet = OpenOptionsSheet(&program);
    ASSERT_NE(sheet, (HWND)NULL);
    page = ShowToolbarPage(sheet);
    EXPECT_EQ(CheckState(page, IDC_TOOLSLOT_BASE + 7), BST_UNCHECKED);
    EXPECT_EQ(CheckState(page, IDC_TOOLSLOT_BASE + 9), BST_CHECKED);
    EXPECT_EQ(CheckState(page, IDC_TOOLFLAT), BST_UNCHECKED);
    CloseSheet(&program, sheet, PSBTN_CANCEL);
    EXPECT_EQ(CloseTarnlight(&program), 0);
    expected["_count"] = 2;
    EXPECT_EQ(ValuesUnder(PROGRAM_PATH), expected);
}

} // namespace
