// The settings of the real tarnlight.exe across runs: the start counters, the
// values it leaves in the registry, and the options sheet changing what the
// next comparison lists and what the toolbar shows after a restart.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "res/resource.h"
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
    for (const auto &value : RegistryValues(path)) {
        if (value.second.type != REG_DWORD || value.second.bytes.size() != 4) {
            ADD_FAILURE() << "\"" << value.first << "\" has type " << value.second.type << " and "
                          << value.second.bytes.size() << " bytes";
            continue;
        }
        int32_t number;
        memcpy(&number, value.second.bytes.data(), sizeof number);
        values[value.first] = number;
    }
    return values;
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

// The verdict and the listing shown: exactly the first lines differences,
// and the more line or not.
void ExpectShown(const TarnlightProcess *program, const std::string &verdict, int lines, bool more)
{
    std::string report = ReadControl(program, IDC_RESULT);
    EXPECT_EQ(ReadControl(program, IDC_MESSAGE), verdict);
    EXPECT_EQ(CountOf(report, LINE_MARK), lines) << report;
    EXPECT_EQ(CountOf(report, MORE_LINE), more ? 1 : 0) << report;
    EXPECT_TRUE(lines == 0 || ListsOffset(report, DifferingOffset(lines - 1))) << report;
    EXPECT_FALSE(ListsOffset(report, DifferingOffset(lines))) << report;
}

// A message to a window of the other process, answered within a time limit.
LRESULT Ask(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_NORMAL, ASK_MS, &result))
        ADD_FAILURE() << "no answer to message 0x" << std::hex << msg;
    return static_cast<LRESULT>(result);
}

HWND CurrentPage(HWND sheet)
{
    return reinterpret_cast<HWND>(Ask(sheet, PSM_GETCURRENTPAGEHWND));
}

void Click(HWND page, int id)
{
    Ask(GetDlgItem(page, id), BM_CLICK);
}

LRESULT CheckState(HWND page, int id)
{
    return Ask(GetDlgItem(page, id), BM_GETCHECK);
}

// Opens the options sheet on the given page, lets act work on that page,
// presses OK and waits until the program takes input again.
void ChangeOptions(TarnlightProcess *program, int pageIndex, const std::function<void(HWND)> &act)
{
    HWND sheet = RunCommand(program, IDM_OPTIONS);
    ASSERT_NE(sheet, (HWND)NULL) << "the options sheet did not appear";
    EXPECT_EQ(DialogCaption(sheet), "設定");
    Ask(sheet, PSM_SETCURSEL, pageIndex, 0);
    HWND page = CurrentPage(sheet);
    ASSERT_NE(page, (HWND)NULL);
    act(page);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    DWORD start = GetTickCount();
    while (IsWindow(sheet) && GetTickCount() - start < static_cast<DWORD>(E2E_TIMEOUT_MS))
        Sleep(POLL_MS);
    EXPECT_FALSE(IsWindow(sheet)) << "the sheet stayed open";
    EXPECT_TRUE(WaitUntilIdle(program));
}

void Compare(TarnlightProcess *program)
{
    EXPECT_EQ(RunCommand(program, IDM_COMPARE), (HWND)NULL) << "a dialog came up instead";
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

TEST_F(SettingsE2eTest, EveryStartCountsAndEachEndLeavesTheNineteenDefaultsAsDwords)
{
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        Restart({});
        // Counted at once at start-up; on a first run nothing else is
        // written before the end.
        if (run == 1) {
            EXPECT_EQ(ValuesUnder(PROGRAM_PATH), (StoredValues{{"_count", 1}}));
        }
        EXPECT_EQ(ValuesUnder(PROGRAM_PATH)["_count"], run);
        if (run == 2) {
            PostCommand(&program, IDM_EXIT);
            EXPECT_EQ(WaitForExit(&program), 0);
        } else {
            EXPECT_EQ(CloseTarnlight(&program), 0);
        }
        EXPECT_EQ(ValuesUnder(PROGRAM_PATH), DefaultValues(run));
        // The maker's counter only counts the first start.
        EXPECT_EQ(ValuesUnder(MAKER_PATH), (StoredValues{{"tools", 1}}));
    }
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
    ExpectShown(&program, DIFFERENT_CONTENT, 0, false);
    EXPECT_EQ(ReadControl(&program, IDC_FACE), "(ToT)");
    EXPECT_NE(ReadControl(&program, IDC_RESULT).find("200 Bytes"), std::string::npos);
    EXPECT_EQ(CloseTarnlight(&program), 0);
    StoredValues expected = DefaultValues(1);
    expected["maxdiffno"] = 25;
    expected["compcancel"] = 2;
    expected["sudden"] = 5;
    EXPECT_EQ(ValuesUnder(PROGRAM_PATH), expected);

    // The maximum of 25, which the sheet has no position for, shows once the
    // whole file is compared.
    StoreSetting("compcancel", 0);
    Restart(files);
    ExpectShown(&program, "合計40箇所違います。", 25, true);
}

TEST_F(SettingsE2eTest, OptionsChangeTheNextListingAndSurviveARestart)
{
    struct Case {
        const char *name;
        int stopButton;      // 0: left as it is
        int position;        // -1: none picked
        const char *typed;   // NULL: nothing typed
        bool clickAutoCompare;
        const char *verdict;
        int lines;
        bool more;
        StoredValues changed;
    };
    const Case cases[] = {
        {"maximum 10 by position, stop at the maximum", IDC_STOP_AT_MAX, 1, NULL, false,
         DIFFERENT_CONTENT, 10, true, {{"maxdiffno", 10}, {"compcancel", 1}}},
        {"stop at the first difference, auto-compare on", IDC_STOP_AT_FIRST, -1, NULL, true,
         DIFFERENT_CONTENT, 0, false, {{"compcancel", 2}, {"sudden", 1}}},
        {"maximum 12 typed", 0, -1, "12", false, "合計15箇所違います。", 12, true, {{"maxdiffno", 12}}},
    };
    std::vector<std::string> files = MakeDifferingFiles("options", 100, 15);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EndTarnlight(&program);
        RemoveTarnlightRegistry();
        Restart(files);
        ChangeOptions(&program, 0, [&c](HWND page) {
            if (c.stopButton != 0)
                Click(page, c.stopButton);
            if (c.position >= 0)
                Ask(GetDlgItem(page, IDC_MAXDIFF), CB_SETCURSEL, c.position);
            if (c.typed != NULL) {
                HWND edit = FindWindowExA(GetDlgItem(page, IDC_MAXDIFF), NULL, "Edit", NULL);
                Ask(edit, EM_SETSEL, 0, -1);
                for (const char *k = c.typed; *k != '\0'; ++k)
                    Ask(edit, WM_CHAR, static_cast<unsigned char>(*k), 1);
                EXPECT_EQ(Ask(GetDlgItem(page, IDC_MAXDIFF), CB_GETCURSEL), CB_ERR);
            }
            if (c.clickAutoCompare)
                Click(page, IDC_AUTOCOMPARE);
        });
        Compare(&program);
        ExpectShown(&program, c.verdict, c.lines, c.more);
        EXPECT_EQ(ValuesUnder(PROGRAM_PATH), (StoredValues{{"_count", 1}})) << "saved before the end";
        PostCommand(&program, IDM_EXIT);
        EXPECT_EQ(WaitForExit(&program), 0);
        StoredValues expected = DefaultValues(1);
        for (const auto &value : c.changed)
            expected[value.first] = value.second;
        EXPECT_EQ(ValuesUnder(PROGRAM_PATH), expected);

        Restart(files);
        // With auto-compare on, the names given are compared at start-up.
        if (expected["sudden"] != 0) {
            ExpectShown(&program, c.verdict, c.lines, c.more);
        } else {
            EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), "");
        }
        Compare(&program);
        ExpectShown(&program, c.verdict, c.lines, c.more);
    }
}

TEST_F(SettingsE2eTest, ToolbarBoxesChangeTheToolbarOnlyAfterARestart)
{
    Restart({});
    ASSERT_NE(Toolbar(&program), (HWND)NULL);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "this run" : "after the restart");
        if (round == 1)
            Restart({});
        EXPECT_EQ(Ask(Toolbar(&program), TB_BUTTONCOUNT), 15);
        EXPECT_EQ(ButtonHidden(&program, IDT_COPY), round == 1);
        EXPECT_EQ(ButtonHidden(&program, IDT_CLEAR), round == 0);
        EXPECT_FALSE(ButtonHidden(&program, IDT_PASTE));
        EXPECT_EQ(ToolbarFlat(&program), round == 0);
        if (round == 0) {
            ChangeOptions(&program, TOOLBAR_PAGE, [](HWND page) {
                EXPECT_EQ(CheckState(page, IDC_TOOLSLOT_BASE + 7), BST_CHECKED);
                EXPECT_EQ(CheckState(page, IDC_TOOLSLOT_BASE + 9), BST_UNCHECKED);
                EXPECT_EQ(CheckState(page, IDC_TOOLFLAT), BST_CHECKED);
                Click(page, IDC_TOOLSLOT_BASE + 7);
                Click(page, IDC_TOOLSLOT_BASE + 9);
                Click(page, IDC_TOOLFLAT);
            });
        }
        // The toolbar is built once per run: the change shows only next time.
        EXPECT_EQ(ButtonHidden(&program, IDT_COPY), round == 1);
        EXPECT_EQ(CloseTarnlight(&program), 0);
        StoredValues expected = DefaultValues(round + 1);
        expected["toolon 7"] = 0;
        expected["toolon 9"] = 1;
        expected["toolflat"] = 0;
        EXPECT_EQ(ValuesUnder(PROGRAM_PATH), expected);
    }
}

} // namespace
