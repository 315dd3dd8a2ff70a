// The commands of the real tarnlight.exe as a new user meets them: names
// typed into the fields, Enter, Esc and the Ctrl keys from the keyboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "compare/report_file.h"
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

// Run again as commands_e2e_test_c_utf8, the whole run under LANG=C.UTF-8,
// where only the manifest gives the programs code page 932: the same texts
// on screen, read with the wide calls, and the same bytes in the files.
TEST_F(CommandsE2eTest, JapaneseNamesAndTextsAreTheSameWhateverTheLocale)
{
    // "表" ends in the byte 0x5C.
    std::string first = MakeTempFile("元の表.bin", "abcd");
    std::string second = MakeTempFile("新しい表.bin", "aBcd");
    std::string target = TempFolder() + "比較の結果.txt";
    std::string byTlcmp = TempFolder() + "tlcmpの結果.txt";
    DeleteFileA(target.c_str());
    DeleteFileA(byTlcmp.c_str());
    ASSERT_TRUE(StartTarnlightIdle(&program, {first, second}));
    EXPECT_EQ(WideText(GetDlgItem(program.panel, IDC_RESULTBOX)), L"結果");
    std::wstring shownName = WideText(GetDlgItem(program.panel, IDC_FILE2));
    EXPECT_EQ(shownName.substr(shownName.rfind(L'\\') + 1), L"新しい表.bin");
    RunCommand(&program, IDM_COMPARE);
    EXPECT_EQ(WideText(GetDlgItem(program.panel, IDC_MESSAGE)), L"合計1箇所違います。");

    HWND box = RunCommand(&program, IDM_HELP);
    ASSERT_NE(box, (HWND)NULL);
    EXPECT_EQ(WideText(box), L"Tarnlightのヘルプ");
    EXPECT_EQ(DialogTextWide(box), L"使い方はreadme.txtにありますので、そちらを読んでください。");
    ASSERT_TRUE(PressDialogButton(box, IDOK));

    HWND dialog = RunCommand(&program, IDM_SAVE);
    ASSERT_NE(dialog, (HWND)NULL);
    ASSERT_TRUE(TypeFileName(dialog, target));
    ASSERT_TRUE(PressDialogButton(dialog, IDOK));
    ASSERT_TRUE(WaitUntilIdle(&program));
    std::string expected = "ファイル1　" + first + "\r\nファイル2　" + second + "\r\n"
        "\r\n----- 結果 -----\r\n\r\n"
        "(ToT)   合計1箇所違います。\r\n\r\n"
        "　　　　　　　　　　<ファイル1>　　　　<ファイル2>\r\n\r\n"
        "　　　　　　　　        4 Bytes　　        4 Bytes\r\n\r\n"
        "         1 バイト目     98 (0x62) 　　　   66 (0x42)\r\n";
    EXPECT_EQ(HexBytes(FileBytes(target)), HexBytes(expected));

    std::string out, err;
    EXPECT_EQ(1, RunConsoleProgram(TlcmpExePath(), {"-o", byTlcmp, first, second}, &out, &err));
    EXPECT_EQ(HexBytes(out), HexBytes(expected));
    EXPECT_EQ(FileBytes(byTlcmp), expected);
    // -o never takes an input's place, by whatever spelling, and writes into
    // a device rather than replacing it.
    std::string sameFile = TempFolder() + ".\\新しい表.bin";
    std::string inputBefore = FileBytes(second);
    EXPECT_EQ(2, RunConsoleProgram(TlcmpExePath(), {"-o", sameFile, first, second}, &out, &err));
    EXPECT_EQ(FileBytes(second), inputBefore);
    EXPECT_EQ(1, RunConsoleProgram(TlcmpExePath(), {"-q", "-o", "NUL", first, second}, &out, &err)) << err;
    // A console shows the texts on any code page of its own.
    std::wstring screen = RunOnConsole(TlcmpExePath(), {first, second}, 437);
    EXPECT_NE(screen.find(L"(ToT)   合計1箇所違います。\n"), std::wstring::npos) << screen;
    screen = RunOnConsole(TlcmpExePath(), {first, TempFolder() + "無い.bin"}, 437);
    EXPECT_NE(screen.find(L"2番目のファイル\n"), std::wstring::npos) << screen;
    DeleteFileA(target.c_str());
    DeleteFileA(byTlcmp.c_str());
}

// A named pipe of this process, served on a thread of its own: it gives
// bytes to the program that opens it, or takes what that program writes.
struct ServedPipe {
    std::string name;
    bool takes;
    std::string bytes;
    HANDLE pipe, thread;
};

DWORD WINAPI ServePipe(void *context)
{
    ServedPipe *served = static_cast<ServedPipe *>(context);
    ConnectNamedPipe(served->pipe, NULL);
    char chunk[65536];
    DWORD done = 0;
    while (served->takes && ReadFile(served->pipe, chunk, sizeof chunk, &done, NULL) && done > 0)
        served->bytes.append(chunk, done);
    if (!served->takes) {
        WriteFile(served->pipe, served->bytes.data(), static_cast<DWORD>(served->bytes.size()), &done, NULL);
        FlushFileBuffers(served->pipe);     // until the reader has every byte
    }
    CloseHandle(served->pipe);
    return 0;
}

void StartServedPipe(ServedPipe *served, const char *name, bool takes, const std::string &bytes = "")
{
    *served = {std::string("\\\\.\\pipe\\tarnlight-") + name + std::to_string(GetCurrentProcessId()), takes, bytes,
               NULL, NULL};
    served->pipe = CreateNamedPipeA(served->name.c_str(), takes ? PIPE_ACCESS_INBOUND : PIPE_ACCESS_OUTBOUND,
                                    PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536, 65536, 0, NULL);
    served->thread = CreateThread(NULL, 0, ServePipe, served, 0, NULL);
}

// Once the program has ended: a pipe it never opened is opened here, so
// that its thread ends too.
void FinishServedPipe(ServedPipe *served)
{
    CloseHandle(CreateFileA(served->name.c_str(), served->takes ? GENERIC_WRITE : GENERIC_READ, 0, NULL,
                            OPEN_EXISTING, 0, NULL));
    WaitForSingleObject(served->thread, E2E_TIMEOUT_MS);
    CloseHandle(served->thread);
}

// Where tlcmp.exe -o saves: into the file a link names (the link stays),
// over a file that is no input, into a pipe that is read; never over a link
// to a folder or a FIFO that nobody may be reading. A closed standard output
// is named as such, under the report and under -l.
TEST_F(CommandsE2eTest, TlcmpReportFollowsLinksFillsPipesAndNeverTakesAFolder)
{
    std::string folder = MakeTempFolder("save targets") + "\\";
    CreateDirectoryA((folder + "proj").c_str(), NULL);
    CreateDirectoryA((folder + "keep").c_str(), NULL);
    std::string first = MakeTempFile("save targets\\first.bin", "abcdef");
    std::string second = MakeTempFile("save targets\\second.bin", "abXdef");
    std::string notes = MakeTempFile("save targets\\proj\\notes.txt", "notes\r\n");
    std::string inside = MakeTempFile("save targets\\keep\\inside.txt", "inside\r\n");
    std::string other = MakeTempFile("save targets\\other.txt", "other\r\n");
    ASSERT_TRUE(MakeSymbolicLink(folder + "link.txt", "proj/notes.txt"));
    ASSERT_TRUE(MakeSymbolicLink(folder + "keeplink", "keep"));
    ASSERT_TRUE(MakeUnixFifo(folder + "fifo"));
    std::string out, err, expected;
    ASSERT_EQ(1, RunConsoleProgram(TlcmpExePath(), {first, second}, &expected, &err));
    ServedPipe reader;
    StartServedPipe(&reader, "report", true);
    std::set<std::string> before = NamesIn(folder);

    const struct { std::string target; int status; } rows[] = {
        {other, 1}, {folder + "link.txt", 1}, {reader.name, 1}, {folder + "keeplink", 2}, {folder + "fifo", 2}};
    for (const auto &row : rows)
        EXPECT_EQ(row.status, RunConsoleProgram(TlcmpExePath(), {"-q", "-o", row.target, first, second}, &out, &err))
            << row.target << err;
    FinishServedPipe(&reader);
    EXPECT_EQ(expected, FileBytes(other));
    EXPECT_EQ(expected, FileBytes(notes));
    EXPECT_EQ(expected, reader.bytes);
    EXPECT_TRUE(ReportWouldReplace((folder + "link.txt").c_str(), notes.c_str())) << "the link stays";
    EXPECT_EQ(std::set<std::string>{"notes.txt"}, NamesIn(folder + "proj\\"));
    EXPECT_EQ(before, NamesIn(folder));
    EXPECT_EQ("inside\r\n", FileBytes(inside));
    for (const std::vector<std::string> &args : {std::vector<std::string>{first, second}, {"-l", first, second}}) {
        EXPECT_EQ(2, RunConsoleProgramIntoClosedPipe(TlcmpExePath(), args, &err)) << args[0];
        EXPECT_EQ("標準出力に書き込めません（Broken pipe）。\r\n", err);
    }

    for (const char *name : {"fifo", "link.txt", "keeplink", "proj\\notes.txt", "keep\\inside.txt", "other.txt",
                             "first.bin", "second.bin", "proj", "keep", ""}) {
        DeleteFileA((folder + name).c_str());
        RemoveDirectoryA((folder + name).c_str());
    }
}

// Inputs as cmp takes them: two pipes longer than one read give the verdict
// and listing of the same bytes in files, and a file that another program
// holds open for writing, as a log is, opens and compares.
TEST_F(CommandsE2eTest, TlcmpReadsPipesToTheirEndAndFilesBeingWritten)
{
    std::string bytes[2] = {std::string(400010, 'a'), std::string(400000, 'a')};
    for (size_t at : {5, 170000, 399999})
        bytes[0][at] = 'B';
    for (size_t at : {5, 300000})
        bytes[1][at] = 'B';
    std::string first = MakeTempFile("stream first.bin", bytes[0]);
    std::string second = MakeTempFile("stream second.bin", bytes[1]);
    std::string out, err, fromFiles;
    ASSERT_EQ(1, RunConsoleProgram(TlcmpExePath(), {first, second}, &fromFiles, &err));
    ServedPipe pipes[2];
    StartServedPipe(&pipes[0], "first", false, bytes[0]);
    StartServedPipe(&pipes[1], "second", false, bytes[1]);
    EXPECT_EQ(1, RunConsoleProgram(TlcmpExePath(), {pipes[0].name, pipes[1].name}, &out, &err)) << err;
    FinishServedPipe(&pipes[0]);
    FinishServedPipe(&pipes[1]);
    const char rule[] = "----- 結果 -----";     // what follows the names
    EXPECT_EQ(fromFiles.substr(fromFiles.find(rule)), out.substr(std::min(out.find(rule), out.size())));

    HANDLE log = CreateFileA(first.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_EQ(0, RunConsoleProgram(TlcmpExePath(), {"-q", first, first}, &out, &err)) << err;
    CloseHandle(log);
    DeleteFileA(first.c_str());
    DeleteFileA(second.c_str());
}

} // namespace
