// The options sheet driven as a user would, from inside its own modal loop,
// and its two page templates read back from the built resources.
#include <gtest/gtest.h>

#include "harness.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>
#include "settings/settings.h"
#include "settings/settings_ui.h"

namespace {

enum { TOOLBAR_PAGE = 1 };

// What the Comparison page showed when the test looked at it.
struct ComparePageView {
    int autoCompare = -1;
    int radio[3] = {-1, -1, -1};
    int selection = -2;
    std::string comboText;
    bool comboEnabled = false;
    std::vector<std::string> choices;
};

std::string DescribeSettings(const Settings &s)
{
    char text[256];
    int used = snprintf(text, sizeof text, "sudden=%d max=%d stop=%d flat=%d tools=",
                        s.sudden, s.maxdiffno, s.compcancel, s.toolflat);
    for (int slot = 0; slot < TOOLBAR_SLOTS && used < static_cast<int>(sizeof text); ++slot)
        used += snprintf(text + used, sizeof text - used, "%d ", s.toolon[slot]);
    return text;
}

HWND CurrentPage(HWND sheet)
{
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void ShowToolbarPage(HWND sheet)
{
    SendMessageA(sheet, PSM_SETCURSEL, TOOLBAR_PAGE, 0);
}

void PressOk(HWND sheet)
{
    SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
}

void PressCancel(HWND sheet)
{
    SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

void Click(HWND page, int id)
{
    SendDlgItemMessageA(page, id, BM_CLICK, 0, 0);
}

int CheckState(HWND page, int id)
{
    return static_cast<int>(SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0));
}

bool IsEnabled(HWND page, int id)
{
    return IsWindowEnabled(GetDlgItem(page, id)) != FALSE;
}

int ComboSelection(HWND page)
{
    return static_cast<int>(SendDlgItemMessageA(page, IDC_MAXDIFF, CB_GETCURSEL, 0, 0));
}

ComparePageView LookAtComparePage(HWND page)
{
    ComparePageView view;
    view.autoCompare = CheckState(page, IDC_AUTOCOMPARE);
    view.radio[0] = CheckState(page, IDC_STOP_AT_END);
    view.radio[1] = CheckState(page, IDC_STOP_AT_MAX);
    view.radio[2] = CheckState(page, IDC_STOP_AT_FIRST);
    view.selection = ComboSelection(page);
    view.comboText = ControlText(page, IDC_MAXDIFF);
    view.comboEnabled = IsEnabled(page, IDC_MAXDIFF);
    int count = static_cast<int>(SendDlgItemMessageA(page, IDC_MAXDIFF, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char item[32] = "";
        SendDlgItemMessageA(page, IDC_MAXDIFF, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        view.choices.push_back(item);
    }
    return view;
}

// Types into the combo box's field as the keyboard would, replacing its text.
void TypeIntoCombo(HWND page, const char *text)
{
    HWND edit = FindWindowExA(GetDlgItem(page, IDC_MAXDIFF), NULL, "Edit", NULL);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (const char *c = text; *c != '\0'; ++c)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

struct OptionsSheetTest : ::testing::Test {
    HWND mainWindow = NULL;

    void SetUp() override
    {
        RemoveTarnlightRegistry();
        mainWindow = StartMainWindow();
        ASSERT_NE(mainWindow, (HWND)NULL);
        g_settings = DefaultSettings();
    }
    void TearDown() override
    {
        CloseMainWindow(mainWindow);
        RemoveTarnlightRegistry();
        g_settings = DefaultSettings();
    }

    // Opens the sheet over the main window; the handler sees it once and
    // must close it.
    void RunSheet(DialogHandler handler)
    {
        ExpectDialogs({handler});
        ShowOptionsSheet(mainWindow);
        EXPECT_EQ(UnansweredDialogs(), 0) << "the sheet never appeared";
        std::vector<SeenDialog> seen = SeenDialogs();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, "設定");
    }

    // Opens the sheet with the given maximum, looks at the Comparison page
    // and presses OK.
    ComparePageView OpenAndConfirm(int maximum)
    {
        g_settings.maxdiffno = maximum;
        ComparePageView view;
        RunSheet([&view](HWND sheet) {
            view = LookAtComparePage(CurrentPage(sheet));
            PressOk(sheet);
        });
        return view;
    }
};

TEST_F(OptionsSheetTest, MaximumIsShownAsItsTenthAndOkStoresThatPosition)
{
    struct Case { int maximum; int position; const char *shown; int stored; };
    const Case cases[] = {
        {1, 0, "1", 1}, {5, 0, "1", 1}, {25, 2, "20", 20}, {30, 3, "30", 30}, {100, 10, "100", 100},
    };
    const std::vector<std::string> choices = {"1", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.maximum);
        ComparePageView view = OpenAndConfirm(c.maximum);
        EXPECT_EQ(view.choices, choices);
        EXPECT_EQ(view.selection, c.position);
        EXPECT_EQ(view.comboText, c.shown);
        EXPECT_EQ(g_settings.maxdiffno, c.stored);
    }
}

TEST_F(OptionsSheetTest, StopConditionAndAutoCompareAreShownAsStored)
{
    for (int stop = STOP_AT_END; stop <= STOP_AT_FIRST; ++stop) {
        SCOPED_TRACE(stop);
        g_settings.compcancel = stop;
        g_settings.sudden = stop % 2;
        Settings before = g_settings;
        ComparePageView view;
        RunSheet([&view](HWND sheet) {
            view = LookAtComparePage(CurrentPage(sheet));
            PressCancel(sheet);
        });
        for (int radio = 0; radio < 3; ++radio)
            EXPECT_EQ(view.radio[radio], radio == stop ? BST_CHECKED : BST_UNCHECKED) << "radio " << radio;
        EXPECT_EQ(view.autoCompare, stop % 2);
        EXPECT_EQ(view.comboEnabled, stop != STOP_AT_FIRST);
        EXPECT_EQ(DescribeSettings(g_settings), DescribeSettings(before));
    }
}

TEST_F(OptionsSheetTest, StopAtFirstDisablesTheComboExactlyWhileItIsPicked)
{
    g_settings.compcancel = STOP_AT_FIRST;
    g_settings.maxdiffno = 40;
    std::vector<bool> enabled;
    RunSheet([&enabled](HWND sheet) {
        HWND page = CurrentPage(sheet);
        enabled.push_back(IsEnabled(page, IDC_MAXDIFF));
        Click(page, IDC_STOP_AT_END);
        enabled.push_back(IsEnabled(page, IDC_MAXDIFF));
        Click(page, IDC_STOP_AT_FIRST);
        enabled.push_back(IsEnabled(page, IDC_MAXDIFF));
        Click(page, IDC_STOP_AT_MAX);
        enabled.push_back(IsEnabled(page, IDC_MAXDIFF));
        SendDlgItemMessageA(page, IDC_MAXDIFF, CB_SETCURSEL, 5, 0);
        Click(page, IDC_STOP_AT_FIRST);
        enabled.push_back(IsEnabled(page, IDC_MAXDIFF));
        PressOk(sheet);
    });
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, false, true, false}));
    // The disabled box keeps its selection, and OK takes it.
    EXPECT_EQ(g_settings.compcancel, STOP_AT_FIRST);
    EXPECT_EQ(g_settings.maxdiffno, 50);
}

TEST_F(OptionsSheetTest, OkStoresWhatWasPickedOnTheComparisonPage)
{
    // The auto-compare box is clicked each time: any non-zero flag clears to 0.
    struct Case { int position; int stopButton; int stored; int stop; int suddenBefore; };
    const Case cases[] = {
        {0, IDC_STOP_AT_MAX, 1, STOP_AT_MAX, 0},
        {1, IDC_STOP_AT_END, 10, STOP_AT_END, 0},
        {9, IDC_STOP_AT_FIRST, 90, STOP_AT_FIRST, 7},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.position);
        g_settings = DefaultSettings();
        g_settings.compcancel = c.stop == STOP_AT_END ? STOP_AT_MAX : STOP_AT_END;
        g_settings.sudden = c.suddenBefore;
        Settings expected = g_settings;
        RunSheet([&c](HWND sheet) {
            HWND page = CurrentPage(sheet);
            EXPECT_EQ(CheckState(page, IDC_AUTOCOMPARE), c.suddenBefore ? BST_CHECKED : BST_UNCHECKED);
            SendDlgItemMessageA(page, IDC_MAXDIFF, CB_SETCURSEL, c.position, 0);
            Click(page, c.stopButton);
            Click(page, IDC_AUTOCOMPARE);
            PressOk(sheet);
        });
        expected.maxdiffno = c.stored;
        expected.compcancel = c.stop;
        expected.sudden = c.suddenBefore ? 0 : 1;
        EXPECT_EQ(DescribeSettings(g_settings), DescribeSettings(expected));
    }
}

TEST_F(OptionsSheetTest, TypedMaximumIsTakenOnlyWhenItIsAWholeNumberUpTo100)
{
    struct Case { const char *typed; int stored; };
    const Case cases[] = {
        {"45", 45}, {"100", 100}, {"7", 7}, {"0", 25}, {"abc", 25}, {"101", 25}, {"", 25}, {"4a", 25},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        // 25 is no list position, so keeping it cannot be mistaken for a selection.
        g_settings.maxdiffno = 25;
        int selection = 0;
        RunSheet([&c, &selection](HWND sheet) {
            HWND page = CurrentPage(sheet);
            TypeIntoCombo(page, c.typed);
            if (c.typed[0] == '\0')
                SendDlgItemMessageA(page, IDC_MAXDIFF, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            selection = ComboSelection(page);
            PressOk(sheet);
        });
        EXPECT_EQ(selection, CB_ERR) << "typing should leave no position selected";
        EXPECT_EQ(g_settings.maxdiffno, c.stored);
    }
}

TEST_F(OptionsSheetTest, OkWithoutOpeningTheToolbarTabLeavesToolbarSettingsAlone)
{
    g_settings.toolon[1] = 7;
    g_settings.toolon[5] = 0;
    g_settings.toolon[13] = 2;
    g_settings.toolflat = 5;
    Settings before = g_settings;
    RunSheet([](HWND sheet) { PressOk(sheet); });
    EXPECT_EQ(DescribeSettings(g_settings), DescribeSettings(before));
}

TEST_F(OptionsSheetTest, ToolbarPageShowsSlotStatesAndOkWritesZeroOrOne)
{
    const int stored[TOOLBAR_SLOTS] = {2, 7, 0, 1, 2, 0, 1, 1, 0, 1, 2, 1, 2, 1, 0};
    std::memcpy(g_settings.toolon, stored, sizeof stored);
    g_settings.toolflat = 3;
    std::vector<int> shown;
    std::vector<bool> separatorBoxes;
    RunSheet([&shown, &separatorBoxes](HWND sheet) {
        ShowToolbarPage(sheet);
        HWND page = CurrentPage(sheet);
        for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
            if (IsSeparatorSlot(slot))
                separatorBoxes.push_back(GetDlgItem(page, IDC_TOOLSLOT_BASE + slot) != NULL);
            else
                shown.push_back(CheckState(page, IDC_TOOLSLOT_BASE + slot));
        }
        shown.push_back(CheckState(page, IDC_TOOLFLAT));
        // Turn slots 1, 2 and 14 over and clear the flat toolbar.
        Click(page, IDC_TOOLSLOT_BASE + 1);
        Click(page, IDC_TOOLSLOT_BASE + 2);
        Click(page, IDC_TOOLSLOT_BASE + 14);
        Click(page, IDC_TOOLFLAT);
        PressOk(sheet);
    });
    // Slots 1 2 3 5 6 7 8 9 11 13 14, then the flat box.
    EXPECT_EQ(shown, (std::vector<int>{1, 0, 1, 0, 1, 1, 0, 1, 1, 1, 0, 1}));
    EXPECT_EQ(separatorBoxes, (std::vector<bool>{false, false, false, false}));
    const int expected[TOOLBAR_SLOTS] = {2, 0, 1, 1, 2, 0, 1, 1, 0, 1, 2, 1, 2, 1, 1};
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot)
        EXPECT_EQ(g_settings.toolon[slot], expected[slot]) << "slot " << slot;
    EXPECT_EQ(g_settings.toolflat, 0);
    // The Comparison page was shown as well and wrote its unchanged values.
    EXPECT_EQ(g_settings.maxdiffno, 30);
    EXPECT_EQ(g_settings.compcancel, STOP_AT_END);
    EXPECT_EQ(g_settings.sudden, 0);
}

TEST_F(OptionsSheetTest, CancelAfterChangingBothPagesChangesNothing)
{
    g_settings.maxdiffno = 25;
    g_settings.toolon[3] = 7;
    Settings before = g_settings;
    RunSheet([](HWND sheet) {
        HWND page = CurrentPage(sheet);
        SendDlgItemMessageA(page, IDC_MAXDIFF, CB_SETCURSEL, 8, 0);
        Click(page, IDC_STOP_AT_FIRST);
        Click(page, IDC_AUTOCOMPARE);
        ShowToolbarPage(sheet);
        page = CurrentPage(sheet);
        Click(page, IDC_TOOLSLOT_BASE + 1);
        Click(page, IDC_TOOLSLOT_BASE + 5);
        Click(page, IDC_TOOLFLAT);
        PressCancel(sheet);
    });
    EXPECT_EQ(DescribeSettings(g_settings), DescribeSettings(before));
}

// The page templates as stored in the program, read back field by field.

const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD CHECKBOX = CHILD | BS_AUTOCHECKBOX | WS_TABSTOP;

void ExpectPageHeader(const DialogTemplate &page, DWORD style, short cx, short cy, const char *caption)
{
    EXPECT_EQ(page.style, style);
    EXPECT_EQ(page.exStyle, 0u);
    EXPECT_EQ(page.cx, cx);
    EXPECT_EQ(page.cy, cy);
    EXPECT_EQ(page.caption, caption);
    EXPECT_EQ(page.pointSize, 9);
    EXPECT_EQ(HexBytes(page.fontName), HexBytes("ＭＳ Ｐゴシック"));
}

TEST(OptionsTemplates, ComparisonPageHasItsControlsAsDescribed)
{
    DialogTemplate page;
    ASSERT_TRUE(ReadDialogTemplate("IDPAGE1", 0, &page));
    ExpectPageHeader(page, WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT, 203, 147, "比較処理");
    ExpectTemplateControls(page, {
        {IDC_AUTOCOMPARE, "BUTTON", CHECKBOX, 0, 14, 17, 172, 13, " ２つ目のファイルを受け取ったらすぐに比較を開始する"},
        {-1, "STATIC", CHILD | SS_LEFT, 0, 14, 45, 70, 8, "異なったバイト数を最大"},
        {IDC_MAXDIFF, "COMBOBOX", CHILD | CBS_DROPDOWN | CBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, 0, 86, 41, 40, 83, ""},
        {-1, "STATIC", CHILD | SS_LEFT, 0, 130, 45, 40, 9, "個　表示する"},
        {-1, "BUTTON", CHILD | BS_GROUPBOX | BS_LEFT, 0, 7, 66, 189, 75, "終了条件"},
        {IDC_STOP_AT_END, "BUTTON", CHILD | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 14, 81, 170, 10,
         "どちらか一方のファイルが終端に達するまで比較する"},
        {IDC_STOP_AT_MAX, "BUTTON", CHILD | BS_AUTORADIOBUTTON | WS_TABSTOP, 0, 14, 101, 166, 10,
         "最大表示数（上で指定した個数）に達したら終了する"},
        {IDC_STOP_AT_FIRST, "BUTTON", CHILD | BS_AUTORADIOBUTTON | WS_TABSTOP, 0, 14, 121, 151, 10,
         "異なるバイトが１つでもあったら直ちに終了する"},
    });
    // "表示" has the trail byte 0x5C, which a wrong charset setting mangles.
    ASSERT_EQ(page.controls.size(), 8u);
    EXPECT_EQ(HexBytes(page.controls[3].text), "8c c2 81 40 95 5c 8e a6 82 b7 82 e9 ");
}

TEST(OptionsTemplates, ToolbarPageHasItsControlsAsDescribed)
{
    DialogTemplate page;
    ASSERT_TRUE(ReadDialogTemplate("IDPAGE2", 0, &page));
    ExpectPageHeader(page, WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_SETFONT, 218, 175, "ツールバー");
    ExpectTemplateControls(page, {
        {1051, "BUTTON", CHECKBOX, 0, 20, 27, 59, 10, "ファイル1を開く"},
        {1052, "BUTTON", CHECKBOX, 0, 20, 40, 59, 10, "ファイル2を開く"},
        {1053, "BUTTON", CHECKBOX, 0, 20, 52, 47, 10, "結果を出力"},
        {-1, "BUTTON", CHILD | BS_GROUPBOX, 0, 13, 66, 77, 71, ""},
        {1055, "BUTTON", CHECKBOX, 0, 20, 75, 43, 10, "元に戻す"},
        {1056, "BUTTON", CHECKBOX, 0, 20, 87, 40, 10, "切り取り"},
        {1057, "BUTTON", CHECKBOX, 0, 20, 99, 34, 10, "コピー"},
        {1058, "BUTTON", CHECKBOX, 0, 20, 111, 41, 10, "貼り付け"},
        {1059, "BUTTON", CHECKBOX, 0, 20, 124, 33, 10, "クリア"},
        {1061, "BUTTON", CHECKBOX, 0, 106, 27, 43, 10, "比較開始"},
        {1063, "BUTTON", CHECKBOX, 0, 106, 51, 45, 10, "オプション"},
        {1064, "BUTTON", CHECKBOX, 0, 106, 65, 56, 10, "ヘルプの検索"},
        {IDC_TOOLFLAT, "BUTTON", CHECKBOX, 0, 99, 125, 93, 10, "ツールバーをフラットにする"},
        {-1, "STATIC", CHILD | SS_LEFTNOWORDWRAP | WS_GROUP, 0, 6, 154, 202, 10,
         "◆　ツールバーの設定は、Tarnlightの再起動後に有効となります　◆"},
        {-1, "BUTTON", CHILD | BS_GROUPBOX | BS_FLAT, 0, 6, 8, 206, 140, "ボタンの追加と削除 及び カスタマイズ"},
        {-1, "BUTTON", CHILD | BS_GROUPBOX, 0, 13, 17, 77, 49, ""},
        {-1, "BUTTON", CHILD | BS_GROUPBOX, 0, 98, 17, 77, 25, ""},
        {-1, "BUTTON", CHILD | BS_GROUPBOX, 0, 98, 42, 77, 38, ""},
    });
}

} // namespace
