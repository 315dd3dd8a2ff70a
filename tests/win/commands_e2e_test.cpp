// The commands of the real tarnlight.exe as a new user meets them: names
// typed into the fields, Enter, Esc and the Ctrl keys from the keyboard.
#include <gtest/gtest.h>

#include <cstdio>

#include "res/resource.h"
#include "e2e.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

// Typed characters go through the program's own loop, one WM_CHAR each.
void TypeInto(const TarnlightProcess *program, int id, const std::string &text)
{
    HWND field = GetDlgItem(program->panel, id);
    for (unsigned char c : text)
        PostMessageA(field, WM_CHAR, c, 1);
}

void PostKeyTo(const TarnlightProcess *program, int id, UINT key)
{
    HWND target = GetDlgItem(program->panel, id);
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

// Real key strokes: the accelerator sees the Ctrl state only when the
// keyboard itself holds it, so these go through the input queue.
void PressCtrlKeyOnKeyboard(WORD key)
{
    INPUT strokes[4] = {};
    WORD keys[4] = {VK_CONTROL, key, key, VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        strokes[i].type = INPUT_KEYBOARD;
        strokes[i].ki.wVk = keys[i];
        strokes[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, strokes, sizeof(INPUT));
}

struct CommandsE2eTest : ::testing::Test {
    TarnlightProcess program = {};
    void SetUp() override { RemoveTarnlightRegistry(); }
    void TearDown() override { EndTarnlight(&program); RemoveTarnlightRegistry(); }
};

// The save dialog of the other process: its file-name combo, or the plain
// edit of the older dialog layout.
bool TypeFileName(HWND dialog, const std::string &path)
{
    const int FILE_NAME_COMBO = 0x047c;
    const int FILE_NAME_EDIT = 0x0480;
    if (GetDlgItem(dialog, FILE_NAME_COMBO) != NULL)
        return SetDialogItemText(dialog, FILE_NAME_COMBO, path);
    return SetDialogItemText(dialog, FILE_NAME_EDIT, path);
}

void ExpectStoredSettings(const Settings &expected)
{
    EXPECT_EQ(StoredSetting("sudden"), expected.sudden);
    EXPECT_EQ(StoredSetting("maxdiffno"), expected.maxdiffno);
    EXPECT_EQ(StoredSetting("compcancel"), expected.compcancel);
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
        char name[16];
        std::snprintf(name, sizeof name, "toolon%2d", slot);
        EXPECT_EQ(StoredSetting(name), expected.toolon[slot]) << name;
    }
    EXPECT_EQ(StoredSetting("toolflat"), expected.toolflat);
}

TEST_F(CommandsE2eTest, NewUserComparesSavesWithCtrlSClearsAndQuits)
{
    std::string first = MakeTempFile("new_user_first.bin", "abcdef");
    std::string second = MakeTempFile("new_user_second.bin", "abcXef");
    std::string target = TempFolder() + "new_user_report.txt";
    DeleteFileA(target.c_str());
    ASSERT_TRUE(StartTarnlightIdle(&program, {}));

    TypeInto(&program, IDC_FILE1, first);
    TypeInto(&program, IDC_FILE2, second);
    ASSERT_TRUE(WaitForControlText(&program, IDC_FILE2, second));
    PostKeyTo(&program, IDC_FILE2, VK_RETURN);
    ASSERT_TRUE(WaitForControlText(&program, IDC_MESSAGE, "合計1箇所違います。"));
    EXPECT_EQ(ReadControl(&program, IDC_FACE), "(ToT)");
    // Enter was taken by the accelerator: the field holds no typed line break.
    EXPECT_EQ(ReadControl(&program, IDC_FILE2), second);

    ASSERT_TRUE(WaitUntilIdle(&program));
    SetForegroundWindow(program.mainWindow);
    ASSERT_EQ(GetForegroundWindow(), program.mainWindow);
    PressCtrlKeyOnKeyboard('S');
    HWND dialog = WaitForDialog(&program);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), program.mainWindow);
    ASSERT_TRUE(TypeFileName(dialog, target));
    ASSERT_TRUE(PressDialogButton(dialog, IDOK));
    ASSERT_TRUE(WaitUntilIdle(&program));
    EXPECT_TRUE(ProgramDialogs(&program).empty());

    std::string saved = FileBytes(target);
    std::string names = "ファイル1　" + first + "\r\nファイル2　" + second + "\r\n";
    EXPECT_EQ(HexBytes(saved.substr(0, names.size())), HexBytes(names));
    EXPECT_NE(saved.find("(ToT)   合計1箇所違います。\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("3 バイト目"), std::string::npos) << saved;

    PostKeyTo(&program, IDC_RESULT, VK_ESCAPE);
    EXPECT_TRUE(WaitForControlText(&program, IDC_FILE1, ""));
    EXPECT_EQ(ReadControl(&program, IDC_FILE2), "");
    EXPECT_EQ(ReadControl(&program, IDC_RESULT), "");
    EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), "");
    EXPECT_EQ(ReadControl(&program, IDC_FACE), "(-_-)");

    // Nothing is stored until the program ends.
    EXPECT_EQ(StoredSetting("sudden"), -1);
    ASSERT_TRUE(WaitUntilIdle(&program));
    SetForegroundWindow(program.mainWindow);
    ASSERT_EQ(GetForegroundWindow(), program.mainWindow);
    PressCtrlKeyOnKeyboard('Q');
    EXPECT_EQ(WaitForExit(&program), 0);
    ExpectStoredSettings(DefaultSettings());
    DeleteFileA(target.c_str());
}

} // namespace
