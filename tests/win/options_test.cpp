// The options sheet driven as a user would, from inside its own modal loop,
// and its two page templates read back from the built resources.
#include <gtest/gtest.h>

#include "harness.h"

#include <commctrl.h>
#include <cctype>
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
    for (const Case &c : cases) {
        SCOPED_TRACE(c.maximum);
        ComparePageView view = OpenAndConfirm(c.maximum);
        EXPECT_EQ(view.selection, c.position);
        EXPECT_EQ(view.comboText, c.shown);
        EXPECT_EQ(g_settings.maxdiffno, c.stored);
    }
}

TEST_F(OptionsSheetTest, ComboHoldsTheElevenChoicesInOrder)
{
    ComparePageView view = OpenAndConfirm(30);
    const std::vector<std::string> expected = {"1", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"};
    EXPECT_EQ(view.choices, expected);
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
    struct Case { int position; int stopButton; int stored; int stop; };
    const Case cases[] = {
        {0, IDC_STOP_AT_MAX, 1, STOP_AT_MAX},
        {1, IDC_STOP_AT_END, 10, STOP_AT_END},
        {9, IDC_STOP_AT_FIRST, 90, STOP_AT_FIRST},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.position);
        g_settings = DefaultSettings();
        g_settings.compcancel = c.stop == STOP_AT_END ? STOP_AT_MAX : STOP_AT_END;
        Settings before = g_settings;
        RunSheet([&c](HWND sheet) {
            HWND page = CurrentPage(sheet);
            SendDlgItemMessageA(page, IDC_MAXDIFF, CB_SETCURSEL, c.position, 0);
            Click(page, c.stopButton);
            Click(page, IDC_AUTOCOMPARE);
            PressOk(sheet);
        });
        Settings expected = before;
        expected.maxdiffno = c.stored;
        expected.compcancel = c.stop;
        expected.sudden = 1;
        EXPECT_EQ(DescribeSettings(g_settings), DescribeSettings(expected));
    }
}

TEST_F(OptionsSheetTest, OkWritesZeroWhenAutoCompareIsCleared)
{
    g_settings.sudden = 7;
    int shown = -1;
    RunSheet([&shown](HWND sheet) {
        HWND page = CurrentPage(sheet);
        shown = CheckState(page, IDC_AUTOCOMPARE);
        Click(page, IDC_AUTOCOMPARE);
        PressOk(sheet);
    });
    EXPECT_EQ(shown, BST_CHECKED);
    EXPECT_EQ(g_settings.sudden, 0);
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

struct TemplateControl {
    int id;
    std::string className;
    DWORD style;
    short x, y, cx, cy;
    std::string text;
};

struct PageTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short cx = 0, cy = 0;
    std::string caption;
    int pointSize = 0;
    std::string fontName;
    std::vector<TemplateControl> controls;
};

// Reads the dialog-template stream: words, 0-ended UTF-16 texts, ordinals.
struct TemplateReader {
    const BYTE *at;

    WORD Word() { WORD w; std::memcpy(&w, at, 2); at += 2; return w; }
    DWORD Dword() { DWORD d; std::memcpy(&d, at, 4); at += 4; return d; }
    void AlignTo4(const BYTE *base) { while ((at - base) % 4 != 0) ++at; }

    // Text as Shift-JIS bytes; an ordinal as "#n".
    std::string TextOrOrdinal()
    {
        WORD first = Word();
        if (first == 0xFFFF) {
            char ordinal[16];
            snprintf(ordinal, sizeof ordinal, "#%u", Word());
            return ordinal;
        }
        std::wstring wide;
        for (WORD c = first; c != 0; c = Word())
            wide.push_back(static_cast<wchar_t>(c));
        char bytes[512] = "";
        WideCharToMultiByte(932, 0, wide.c_str(), static_cast<int>(wide.size()), bytes, sizeof bytes - 1, NULL, NULL);
        return bytes;
    }
};

std::string ControlClass(const std::string &raw)
{
    if (raw == "#128") return "BUTTON";
    if (raw == "#130") return "STATIC";
    if (raw == "#133") return "COMBOBOX";
    std::string upper = raw;
    for (char &c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool ReadPageTemplate(const char *name, PageTemplate *page)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(module, name, RT_DIALOG);
    if (found == NULL)
        return false;
    const BYTE *base = static_cast<const BYTE *>(LockResource(LoadResource(module, found)));
    TemplateReader r = {base};
    if (r.Word() != 1 || r.Word() != 0xFFFF)
        return false;  // not an extended template
    r.Dword();  // help id
    page->exStyle = r.Dword();
    page->style = r.Dword();
    int count = r.Word();
    r.Word();
    r.Word();
    page->cx = static_cast<short>(r.Word());
    page->cy = static_cast<short>(r.Word());
    r.TextOrOrdinal();  // menu
    r.TextOrOrdinal();  // class
    page->caption = r.TextOrOrdinal();
    if (page->style & DS_SETFONT) {
        page->pointSize = r.Word();
        r.Word();  // weight
        r.Word();  // italic, character set
        page->fontName = r.TextOrOrdinal();
    }
    for (int i = 0; i < count; ++i) {
        r.AlignTo4(base);
        TemplateControl control;
        r.Dword();  // help id
        EXPECT_EQ(r.Dword(), 0u) << name << " control " << i << ": extended style";
        control.style = r.Dword();
        control.x = static_cast<short>(r.Word());
        control.y = static_cast<short>(r.Word());
        control.cx = static_cast<short>(r.Word());
        control.cy = static_cast<short>(r.Word());
        control.id = static_cast<int>(r.Dword());
        control.className = ControlClass(r.TextOrOrdinal());
        control.text = r.TextOrOrdinal();
        WORD extra = r.Word();
        r.at += extra;
        page->controls.push_back(control);
    }
    return true;
}

const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD CHECKBOX = CHILD | BS_AUTOCHECKBOX | WS_TABSTOP;

void ExpectControls(const PageTemplate &page, const std::vector<TemplateControl> &expected)
{
    ASSERT_EQ(page.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const TemplateControl &got = page.controls[i];
        const TemplateControl &want = expected[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " (" << want.id << ")");
        EXPECT_EQ(static_cast<short>(got.id), want.id);
        EXPECT_EQ(got.className, want.className);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(HexBytes(got.text), HexBytes(want.text));
    }
}

TEST(OptionsTemplates, ComparisonPageHasItsControlsAsDescribed)
{
    PageTemplate page;
    ASSERT_TRUE(ReadPageTemplate("IDPAGE1", &page));
    EXPECT_EQ(page.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT));
    EXPECT_EQ(page.exStyle, 0u);
    EXPECT_EQ(page.cx, 203);
    EXPECT_EQ(page.cy, 147);
    EXPECT_EQ(page.caption, "比較処理");
    EXPECT_EQ(page.pointSize, 9);
    EXPECT_EQ(HexBytes(page.fontName), HexBytes("ＭＳ Ｐゴシック"));
    ExpectControls(page, {
        {IDC_AUTOCOMPARE, "BUTTON", CHECKBOX, 14, 17, 172, 13, " ２つ目のファイルを受け取ったらすぐに比較を開始する"},
        {-1, "STATIC", CHILD | SS_LEFT, 14, 45, 70, 8, "異なったバイト数を最大"},
        {IDC_MAXDIFF, "COMBOBOX", CHILD | CBS_DROPDOWN | CBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, 86, 41, 40, 83, ""},
        {-1, "STATIC", CHILD | SS_LEFT, 130, 45, 40, 9, "個　表示する"},
        {-1, "BUTTON", CHILD | BS_GROUPBOX | BS_LEFT, 7, 66, 189, 75, "終了条件"},
        {IDC_STOP_AT_END, "BUTTON", CHILD | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 14, 81, 170, 10,
         "どちらか一方のファイルが終端に達するまで比較する"},
        {IDC_STOP_AT_MAX, "BUTTON", CHILD | BS_AUTORADIOBUTTON | WS_TABSTOP, 14, 101, 166, 10,
         "最大表示数（上で指定した個数）に達したら終了する"},
        {IDC_STOP_AT_FIRST, "BUTTON", CHILD | BS_AUTORADIOBUTTON | WS_TABSTOP, 14, 121, 151, 10,
         "異なるバイトが１つでもあったら直ちに終了する"},
    });
    // "表示" has the trail byte 0x5C, which a wrong charset setting mangles.
    ASSERT_EQ(page.controls.size(), 8u);
    EXPECT_EQ(HexBytes(page.controls[3].text), "8c c2 81 40 95 5c 8e a6 82 b7 82 e9 ");
}

TEST(OptionsTemplates, ToolbarPageHasItsControlsAsDescribed)
{
    PageTemplate page;
    ASSERT_TRUE(ReadPageTemplate("IDPAGE2", &page));
    EXPECT_EQ(page.style, static_cast<DWORD>(WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_SETFONT));
    EXPECT_EQ(page.exStyle, 0u);
    EXPECT_EQ(page.cx, 218);
    EXPECT_EQ(page.cy, 175);
    EXPECT_EQ(page.caption, "ツールバー");
    EXPECT_EQ(page.pointSize, 9);
    EXPECT_EQ(HexBytes(page.fontName), HexBytes("ＭＳ Ｐゴシック"));
    ExpectControls(page, {
        {1051, "BUTTON", CHECKBOX, 20, 27, 59, 10, "ファイル1を開く"},
        {1052, "BUTTON", CHECKBOX, 20, 40, 59, 10, "ファイル2を開く"},
        {1053, "BUTTON", CHECKBOX, 20, 52, 47, 10, "結果を出力"},
        {-1, "BUTTON", CHILD | BS_GROUPBOX, 13, 66, 77, 71, ""},
        {1055, "BUTTON", CHECKBOX, 20, 75, 43, 10, "元に戻す"},
        {1056, "BUTTON", CHECKBOX, 20, 87, 40, 10, "切り取り"},
        {1057, "BUTTON", CHECKBOX, 20, 99, 34, 10, "コピー"},
        {1058, "BUTTON", CHECKBOX, 20, 111, 41, 10, "貼り付け"},
        {1059, "BUTTON", CHECKBOX, 20, 124, 33, 10, "クリア"},
        {1061, "BUTTON", CHECKBOX, 106, 27, 43, 10, "比較開始"},
        {1063, "BUTTON", CHECKBOX, 106, 51, 45, 10, "オプション"},
        {1064, "BUTTON", CHECKBOX, 106, 65, 56, 10, "ヘルプの検索"},
        {IDC_TOOLFLAT, "BUTTON", CHECKBOX, 99, 125, 93, 10, "ツールバーをフラットにする"},
        {-1, "STATIC", CHILD | SS_LEFTNOWORDWRAP | WS_GROUP, 6, 154, 202, 10,
         "◆　ツールバーの設定は、Tarnlightの再起動後に有効となります　◆"},
        {-1, "BUTTON", CHILD | BS_GROUPBOX | BS_FLAT, 6, 8, 206, 140, "ボタンの追加と削除 及び カスタマイズ"},
        {-1, "BUTTON", CHILD | BS_GROUPBOX, 13, 17, 77, 49, ""},
        {-1, "BUTTON", CHILD | BS_GROUPBOX, 98, 17, 77, 25, ""},
        {-1, "BUTTON", CHILD | BS_GROUPBOX, 98, 42, 77, 38, ""},
    });
}

} // namespace
