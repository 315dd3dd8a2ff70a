// The commands of the real main window: the menu and accelerator resources
// as the program loads them, keys through the message loop with the
// accelerators, and what each command does to the panel.
#include <gtest/gtest.h>


#include "compare/compare.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

const char RESTING_FACE[] = "(-_-)";
const char ASK_FOR_TWO_FILES[] = "２つのファイルを指定してください。";
const char ONE_DIFFERENCE[] = "合計1箇所違います。";
const char SAME_CONTENT[] = "同じ内容のファイルです。";

struct MenuEntry {
    const char *caption;   // NULL for a separator
    UINT id;
};

struct PopupEntry {
    const char *caption;
    std::vector<MenuEntry> items;
};

const std::vector<PopupEntry> &ExpectedMenu()
{
    static const std::vector<PopupEntry> menu = {
        {"ﾌｧｲﾙ(&F)", {{"ﾌｧｲﾙ1を開く(&A)", 40002},
                      {"ﾌｧｲﾙ2を開く(&B)", 40004},
                      {"結果を出力(&S)   Ctrl+S", 40011},
                      {NULL, 0},
                      {"終了(&Q)           Ctrl+Q", 40003}}},
        {"編集(&E)", {{"元に戻す(&Z)     Ctrl+Z", 40029},
                      {NULL, 0},
                      {"切り取り(&T)      Ctrl+X", 40006},
                      {"コピー(&C)         Ctrl+C", 40007},
                      {"貼り付け(&V)     Ctrl+V", 40008},
                      {"全て選択(&A)    Ctrl+A", 40031}}},
        {"表示(&V)", {{"比較開始(&D)    Ctrl+D", 40026},
                      {"クリア              ESC", 40030},
                      {NULL, 0},
                      {"オプション(&O)     Ctrl+O", 40010}}},
        {"ヘルプ(&H)", {{"トピックの検索(&H)", 40005},
                        {NULL, 0},
                        {"バージョン情報(&A)", 40009}}},
    };
    return menu;
}

std::string MenuCaption(HMENU menu, int position)
{
    char caption[256] = "";
    GetMenuStringA(menu, position, caption, sizeof caption, MF_BYPOSITION);
    return caption;
}

MENUITEMINFOA MenuItemInfo(HMENU menu, int position)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    return info;
}

// Key messages as the keyboard would queue them for the focused window; the
// Ctrl state is what the accelerator translation reads while it is held.
void HoldControlKey(bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE state = down ? 0x80 : 0;
    keys[VK_CONTROL] = state;
    keys[VK_LCONTROL] = state;
    SetKeyboardState(keys);
}

void PostKey(HWND target, UINT key)
{
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

void PressKey(HWND target, UINT key)
{
    PostKey(target, key);
    PumpMessages();
}

void PressCtrlKey(HWND target, UINT key)
{
    HoldControlKey(true);
    PostKey(target, key);
    PumpMessages();
    HoldControlKey(false);
}

LRESULT Command(HWND mainWindow, UINT id)
{
    return SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void Selection(HWND edit, DWORD *start, DWORD *end)
{
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(start), reinterpret_cast<LPARAM>(end));
}

struct CommandsTest : ::testing::Test {
    HWND mainWindow = NULL;
    std::string same1, same2, differs;

    void SetUp() override
    {
        RemoveTarnlightRegistry();
        // An earlier test may have switched auto-compare on in memory.
        g_settings = DefaultSettings();
        mainWindow = StartMainWindow();
        ASSERT_NE(mainWindow, (HWND)NULL);
        same1 = MakeTempFile("same_1.bin", "abcdef");
        same2 = MakeTempFile("same_2.bin", "abcdef");
        differs = MakeTempFile("differs_in_byte_3.bin", "abcXef");
    }
    void TearDown() override
    {
        CloseMainWindow(mainWindow);
        RemoveTarnlightRegistry();
    }

    HWND Field(int id) { return GetDlgItem(g_panel, id); }
    void SetField(int id, const std::string &text) { SetDlgItemTextA(g_panel, id, text.c_str()); }
    void NameFiles(const std::string &first, const std::string &second)
    {
        SetField(IDC_FILE1, first);
        SetField(IDC_FILE2, second);
    }
    void FillResultControls()
    {
        SetField(IDC_RESULT, "old report");
        SetField(IDC_FACE, "(ToT)");
        SetField(IDC_MESSAGE, "old verdict");
    }
    void ExpectResultControlsReset()
    {
        EXPECT_EQ(ControlText(g_panel, IDC_RESULT), "");
        EXPECT_EQ(ControlText(g_panel, IDC_FACE), RESTING_FACE);
        EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "");
    }
};

// --- Resources as loaded --------------------------------------------------

TEST_F(CommandsTest, MenuBarHoldsFourPopupsWithExactCaptionsIdsAndSeparators)
{
    HMENU bar = GetMenu(mainWindow);
    ASSERT_NE(bar, (HMENU)NULL);
    const std::vector<PopupEntry> &expected = ExpectedMenu();
    ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(expected.size()));
    for (size_t p = 0; p < expected.size(); ++p) {
        SCOPED_TRACE(expected[p].caption);
        EXPECT_EQ(HexBytes(MenuCaption(bar, p)), HexBytes(expected[p].caption));
        HMENU popup = GetSubMenu(bar, p);
        ASSERT_NE(popup, (HMENU)NULL);
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected[p].items.size()));
        for (size_t i = 0; i < expected[p].items.size(); ++i) {
            const MenuEntry &item = expected[p].items[i];
            MENUITEMINFOA info = MenuItemInfo(popup, i);
            SCOPED_TRACE(i);
            EXPECT_EQ(info.hSubMenu, (HMENU)NULL);
            if (item.caption == NULL) {
                EXPECT_NE(info.fType & MFT_SEPARATOR, 0u);
                continue;
            }
            EXPECT_EQ(info.fType & MFT_SEPARATOR, 0u);
            EXPECT_EQ(info.fState & (MFS_GRAYED | MFS_CHECKED), 0u);
            EXPECT_EQ(info.wID, item.id);
            EXPECT_EQ(HexBytes(MenuCaption(popup, i)), HexBytes(item.caption));
        }
    }
}

TEST_F(CommandsTest, MenuAndAcceleratorsAreJapaneseResourcesWithShiftJisCaptions)
{
    HMODULE module = GetModuleHandleA(NULL);
    WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    EXPECT_NE(FindResourceExA(module, RT_MENU, MAKEINTRESOURCEA(IDR_MENU), japanese), (HRSRC)NULL);
    EXPECT_NE(FindResourceExA(module, RT_ACCELERATOR, MAKEINTRESOURCEA(IDR_ACCEL), japanese), (HRSRC)NULL);
    HMENU bar = GetMenu(mainWindow);
    // Half-width katakana are single bytes; "表" has a 0x5C trail byte.
    EXPECT_EQ(HexBytes(MenuCaption(bar, 0)), "cc a7 b2 d9 28 26 46 29 ");
    EXPECT_EQ(HexBytes(MenuCaption(bar, 2)), "95 5c 8e a6 28 26 56 29 ");
    EXPECT_EQ(HexBytes(MenuCaption(GetSubMenu(bar, 0), 2)),
              "8c 8b 89 ca 82 f0 8f 6f 97 cd 28 26 53 29 20 20 20 43 74 72 6c 2b 53 ");
}

TEST_F(CommandsTest, AcceleratorTableHoldsEightEntriesInOrder)
{
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCEL));
    ASSERT_NE(table, (HACCEL)NULL);
    ACCEL entries[16] = {};
    int count = CopyAcceleratorTableA(table, entries, 16);
    ASSERT_EQ(count, 8);
    const BYTE withCtrl = FVIRTKEY | FNOINVERT | FCONTROL;
    const BYTE plain = FVIRTKEY | FNOINVERT;
    const ACCEL expected[8] = {
        {withCtrl, 'A', 40031}, {withCtrl, 'D', 40026}, {withCtrl, 'O', 40010},
        {withCtrl, 'Q', 40003}, {withCtrl, 'S', 40011}, {plain, VK_ESCAPE, 40030},
        {plain, VK_RETURN, 40026}, {withCtrl, 'Z', 40029},
    };
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].fVirt & 0x7f, expected[i].fVirt);
        EXPECT_EQ(entries[i].key, expected[i].key);
        EXPECT_EQ(entries[i].cmd, expected[i].cmd);
    }
}

// --- Keys through the message loop ----------------------------------------

TEST_F(CommandsTest, EnterInEitherFileFieldCompares)
{
    NameFiles(same1, differs);
    SetFocus(Field(IDC_FILE1));
    PressKey(Field(IDC_FILE1), VK_RETURN);
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), ONE_DIFFERENCE);
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "(ToT)");
    // The edit control never saw the key: no line break was typed.
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), same1);

    SetField(IDC_FILE1, "");
    SetFocus(Field(IDC_FILE2));
    PressKey(Field(IDC_FILE2), VK_RETURN);
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), ASK_FOR_TWO_FILES);
}

TEST_F(CommandsTest, EscInAFileFieldClearsTheFieldsButNotTheKeptResults)
{
    NameFiles(same1, differs);
    Command(mainWindow, IDM_COMPARE);
    std::string report = g_reportText;
    ASSERT_NE(report, "");
    SetFocus(Field(IDC_FILE2));
    PressKey(Field(IDC_FILE2), VK_ESCAPE);
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), "");
    EXPECT_EQ(ControlText(g_panel, IDC_FILE2), "");
    ExpectResultControlsReset();
    EXPECT_EQ(g_reportText, report);
    EXPECT_EQ(std::string(g_verdictLine), ONE_DIFFERENCE);
    EXPECT_EQ(std::string(g_fileName1), same1);
}

TEST_F(CommandsTest, CtrlDComparesFromTheResultField)
{
    NameFiles(same1, same2);
    SetFocus(Field(IDC_RESULT));
    PressCtrlKey(Field(IDC_RESULT), 'D');
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), SAME_CONTENT);
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "(^-^)");
}

TEST_F(CommandsTest, CtrlASelectsTheWholeResultField)
{
    NameFiles(same1, differs);
    Command(mainWindow, IDM_COMPARE);
    HWND result = Field(IDC_RESULT);
    std::string report = ControlText(g_panel, IDC_RESULT);
    ASSERT_NE(report, "");
    SetFocus(result);
    SendMessageA(result, EM_SETSEL, 0, 0);
    PressCtrlKey(result, 'A');
    DWORD start = 99, end = 0;
    Selection(result, &start, &end);
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(static_cast<int>(end), CharacterCount(report));
}

TEST_F(CommandsTest, SelectAllWithoutAFocusedWindowDoesNothing)
{
    SetField(IDC_RESULT, "some text");
    HWND result = Field(IDC_RESULT);
    SendMessageA(result, EM_SETSEL, 2, 5);
    SetFocus(NULL);
    ASSERT_EQ(GetFocus(), (HWND)NULL);
    PressCtrlKey(mainWindow, 'A');
    DWORD start = 0, end = 0;
    Selection(result, &start, &end);
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 5u);
}

TEST_F(CommandsTest, CtrlZUndoesTheLastEditOfTheFocusedField)
{
    HWND field = Field(IDC_FILE1);
    SetField(IDC_FILE1, "abc");
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 3, 3);
    SendMessageA(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("def"));
    ASSERT_EQ(ControlText(g_panel, IDC_FILE1), "abcdef");
    PressCtrlKey(field, 'Z');
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), "abc");
    // The toolbar's Undo is the same command: undoing the undo.
    Command(mainWindow, IDT_UNDO);
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), "abcdef");
}

TEST_F(CommandsTest, CtrlQEndsTheLoopWithZeroAndLeavesTheWindowStanding)
{
    SetFocus(Field(IDC_FILE1));
    HoldControlKey(true);
    PostKey(Field(IDC_FILE1), 'Q');
    int code = RunLoopUntilQuit(mainWindow, 5000);
    HoldControlKey(false);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_TRUE(IsWindow(g_panel));
}

// --- Each command's effect -------------------------------------------------

TEST_F(CommandsTest, OpenFile1CancelledKeepsTheFieldsAndComparesOnlyWithAutoCompare)
{
    for (int sudden : {0, 1}) {
        SCOPED_TRACE(sudden);
        g_settings.sudden = sudden;
        NameFiles(same1, differs);
        FillResultControls();
        ExpectDialogs({CancelDialog()});
        Command(mainWindow, sudden ? IDM_OPEN1 : IDT_OPEN1);
        ASSERT_EQ(SeenDialogs().size(), 1u);
        EXPECT_EQ(SeenDialogs()[0].filterLabel, "全てのファイル (*.*)");
        EXPECT_EQ(ControlText(g_panel, IDC_FILE1), same1);
        EXPECT_EQ(ControlText(g_panel, IDC_FILE2), differs);
        EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), sudden ? ONE_DIFFERENCE : "old verdict");
        EXPECT_EQ(ControlText(g_panel, IDC_FACE), "(ToT)");
        EXPECT_EQ(ControlText(g_panel, IDC_RESULT), sudden ? g_reportText : "old report");
    }
}

TEST_F(CommandsTest, OpenFile2ConfirmedFillsOnlyField2AndComparesWithAutoCompare)
{
    for (int sudden : {0, 1}) {
        SCOPED_TRACE(sudden);
        g_settings.sudden = sudden;
        SetField(IDC_FILE1, same1);
        FillResultControls();
        ExpectDialogs({ChooseFile(same2)});
        Command(mainWindow, sudden ? IDM_OPEN2 : IDT_OPEN2);
        EXPECT_EQ(UnansweredDialogs(), 0);
        EXPECT_EQ(ControlText(g_panel, IDC_FILE2), same2);
        EXPECT_EQ(ControlText(g_panel, IDC_FILE1), same1);
        if (sudden) {
            EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), SAME_CONTENT);
        } else {
            ExpectResultControlsReset();
        }
    }
    // The next dialog of the shared record offers the chosen name again.
    ExpectDialogs({CancelDialog()});
    Command(mainWindow, IDM_OPEN1);
    ASSERT_EQ(SeenDialogs().size(), 1u);
    EXPECT_EQ(SeenDialogs()[0].folder + "\\" + SeenDialogs()[0].text, TempFolder() + "same_2.bin");
}

TEST_F(CommandsTest, ClearEmptiesTheControlsFromMenuAndToolbar)
{
    // High word 1 is how an accelerator arrives: only the low word counts.
    for (WPARAM command : {MAKEWPARAM(IDM_CLEAR, 0), MAKEWPARAM(IDT_CLEAR, 0), MAKEWPARAM(IDM_CLEAR, 1)}) {
        SCOPED_TRACE(command);
        NameFiles(same1, same2);
        FillResultControls();
        EXPECT_EQ(SendMessageA(mainWindow, WM_COMMAND, command, 12345), 0);
        EXPECT_EQ(ControlText(g_panel, IDC_FILE1), "");
        EXPECT_EQ(ControlText(g_panel, IDC_FILE2), "");
        ExpectResultControlsReset();
    }
}

// Answers the save dialog with target and checks the file holds the report
// as the user reads it: names, rule, face and verdict, then the listing.
void ExpectSavedReport(const std::string &target, const std::string &first, const std::string &second,
                       const std::string &face, const std::string &verdict, const std::string &listing)
{
    EXPECT_EQ(UnansweredDialogs(), 0);
    ASSERT_EQ(SeenDialogs().size(), 1u);
    EXPECT_EQ(SeenDialogs()[0].filterLabel, "テキストファイル(*.txt)");
    EXPECT_EQ(HexBytes(FileBytes(target)),
              HexBytes("ファイル1　" + first + "\r\nファイル2　" + second + "\r\n" +
                       "\r\n----- 結果 -----\r\n\r\n" + face + "   " + verdict + "\r\n\r\n" + listing));
    DeleteFileA(target.c_str());
}

TEST_F(CommandsTest, ClearThenSaveResultStillSavesTheLastRun)
{
    std::string target = TempFolder() + "cleared_then_saved.txt";
    DeleteFileA(target.c_str());
    NameFiles(same1, differs);
    Command(mainWindow, IDM_COMPARE);
    std::string listing = ControlText(g_panel, IDC_RESULT);
    ASSERT_NE(listing.find("3 バイト目"), std::string::npos) << listing;
    Command(mainWindow, IDM_CLEAR);

    ExpectDialogs({ChooseFile(target)});
    EXPECT_EQ(Command(mainWindow, IDM_SAVE), 0);
    ExpectSavedReport(target, same1, differs, "(ToT)", ONE_DIFFERENCE, listing);
    // The panel stays as the clear left it.
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), "");
    ExpectResultControlsReset();
}

TEST_F(CommandsTest, CtrlSThroughTheLoopOpensTheSaveDialogAndSaves)
{
    std::string target = TempFolder() + "saved_by_ctrl_s.txt";
    DeleteFileA(target.c_str());
    NameFiles(same1, same2);
    Command(mainWindow, IDM_COMPARE);
    std::string listing = ControlText(g_panel, IDC_RESULT);

    ExpectDialogs({ChooseFile(target)});
    SetFocus(Field(IDC_FILE1));
    PressCtrlKey(Field(IDC_FILE1), 'S');
    ExpectSavedReport(target, same1, same2, "(^-^)", SAME_CONTENT, listing);
    // The key went to the accelerator, not into the field.
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), same1);
}

TEST_F(CommandsTest, CompareRunsWhetherOrNotAutoCompareIsOn)
{
    NameFiles(same1, differs);
    Command(mainWindow, IDT_COMPARE);
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), ONE_DIFFERENCE);
    g_settings.sudden = 1;
    NameFiles(same1, same2);
    Command(mainWindow, IDM_COMPARE);
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), SAME_CONTENT);
}

// A file of Linux's /proc seen through Wine's Z: says it is empty and is
// not: what was not read is never called the same.
TEST_F(CommandsTest, CompareNeverCallsSameWhatItHasNotRead)
{
    std::string empty = MakeTempFile("empty", "");
    NameFiles("Z:\\proc\\version", empty);
    ExpectDialogs({PressButton(IDOK)});
    Command(mainWindow, IDM_COMPARE);
    ASSERT_EQ(SeenDialogs().size(), 1u);
    EXPECT_EQ(SeenDialogs()[0].text, "1番目のファイル\r\n\"Z:\\proc\\version\"が比較中に変更されました。");
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "");
}

TEST_F(CommandsTest, CutCopyAndPasteGoToTheFocusedField)
{
    struct Case { const char *text; UINT take; UINT paste; const char *leftInField1; };
    const Case cases[] = {
        {"alpha", IDT_COPY, IDM_PASTE, "alpha"},
        {"beta", IDM_CUT, IDT_PASTE, ""},
        {"gamma", IDM_COPY, IDT_PASTE, "gamma"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        SetField(IDC_FILE1, c.text);
        SetFocus(Field(IDC_FILE1));
        SendMessageA(Field(IDC_FILE1), EM_SETSEL, 0, -1);
        Command(mainWindow, c.take);
        EXPECT_EQ(ControlText(g_panel, IDC_FILE1), c.leftInField1);
        SetFocus(Field(IDC_FILE2));
        SendMessageA(Field(IDC_FILE2), EM_SETSEL, 0, -1);
        Command(mainWindow, c.paste);
        EXPECT_EQ(ControlText(g_panel, IDC_FILE2), c.text);
    }
}

TEST_F(CommandsTest, HelpShowsItsMessageBoxOwnedByTheMainWindow)
{
    for (UINT id : {IDM_HELP, IDT_HELP}) {
        SCOPED_TRACE(id);
        HWND owner = NULL;
        bool cancelShown = true;
        ExpectDialogs({[&](HWND box) {
            owner = GetWindow(box, GW_OWNER);
            cancelShown = IsWindowVisible(GetDlgItem(box, IDCANCEL)) != FALSE;
            PressButton(IDOK)(box);
        }});
        EXPECT_EQ(Command(mainWindow, id), 0);
        ASSERT_EQ(SeenDialogs().size(), 1u);
        EXPECT_EQ(SeenDialogs()[0].caption, "Tarnlightのヘルプ");
        EXPECT_EQ(HexBytes(SeenDialogs()[0].text),
                  HexBytes("使い方はreadme.txtにありますので、そちらを読んでください。"));
        EXPECT_EQ(owner, mainWindow);
        EXPECT_FALSE(cancelShown);
    }
}

BOOL CALLBACK CollectStatics(HWND child, LPARAM texts)
{
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0)
        reinterpret_cast<std::vector<std::string> *>(texts)->push_back(WindowText(child));
    return TRUE;
}

BOOL CALLBACK FindShownIcon(HWND child, LPARAM icon)
{
    HICON shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    if (shown != NULL && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON *>(icon) = shown;
        return FALSE;
    }
    return TRUE;
}

bool Contains(const std::vector<std::string> &texts, const std::string &wanted)
{
    for (const std::string &text : texts)
        if (text == wanted)
            return true;
    return false;
}

TEST_F(CommandsTest, AboutNamesTarnlightVersionNoticeAndIcon)
{
    std::vector<std::string> texts;
    HWND owner = NULL;
    HICON shownIcon = NULL;
    ExpectDialogs({[&](HWND box) {
        owner = GetWindow(box, GW_OWNER);
        EnumChildWindows(box, CollectStatics, reinterpret_cast<LPARAM>(&texts));
        EnumChildWindows(box, FindShownIcon, reinterpret_cast<LPARAM>(&shownIcon));
        PressButton(IDOK)(box);
    }});
    EXPECT_EQ(Command(mainWindow, IDM_ABOUT), 0);
    ASSERT_EQ(SeenDialogs().size(), 1u);
    // Windows splits the text at '#' into title and first line; Wine shows
    // the whole text in both places.
    std::string caption = SeenDialogs()[0].caption;
    EXPECT_NE(caption.find("Tarnlight#Tarnlight ver1.0"), std::string::npos) << caption;
    EXPECT_TRUE(Contains(texts, "Tarnlight#Tarnlight ver1.0"));
    EXPECT_TRUE(Contains(texts, "2つのファイルをバイト単位で比較します。"));
    EXPECT_EQ(owner, mainWindow);
    EXPECT_EQ(shownIcon, LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_APP)));
}

TEST_F(CommandsTest, UnknownAndSeparatorIdsDoNothing)
{
    NameFiles(same1, differs);
    FillResultControls();
    ExpectDialogs({CancelDialog()});
    for (UINT id : {0u, 1200u, 1204u, 1210u, 1212u, 1215u, 40001u, 40012u, 40032u, 65535u}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(Command(mainWindow, id), 0);
    }
    PumpMessages();
    EXPECT_TRUE(SeenDialogs().empty());
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), same1);
    EXPECT_EQ(ControlText(g_panel, IDC_FILE2), differs);
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "old verdict");
    EXPECT_EQ(ControlText(g_panel, IDC_RESULT), "old report");
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "(ToT)");
}

TEST_F(CommandsTest, ExitReturnsOneAndQuitsWithZero)
{
    EXPECT_EQ(Command(mainWindow, IDM_EXIT), 1);
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_EQ(RunLoopUntilQuit(mainWindow, 5000), 0);
    EXPECT_TRUE(IsWindow(mainWindow));
}

// --- readme.txt beside the program ------------------------------------------

std::string ReadmeBesideProgram()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string name = path;
    return FileBytes(name.substr(0, name.find_last_of('\\') + 1) + "..\\..\\app\\readme.txt");
}

TEST(Readme, LiesBesideTheProgramAsUtf8WithByteOrderMarkAndCrLf)
{
    std::string text = ReadmeBesideProgram();
    ASSERT_GT(text.size(), 1000u);
    EXPECT_EQ(text.compare(0, 3, "\xEF\xBB\xBF"), 0) << "UTF-8 byte-order mark";
    int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), NULL, 0);
    EXPECT_GT(wide, 0) << "every byte sequence is valid UTF-8";
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at byte " << i;
        }
    }
    EXPECT_NE(text.find("HKEY_CURRENT_USER\\Software\\Corvale Tools\\Tarnlight"), std::string::npos);
    EXPECT_NE(text.find(u8"ヘルプ"), std::string::npos);
}

} // namespace
