// The programs of the release zip, started from the folder a user unpacks it
// into (release_test.sh unpacks it first): the window starts and compares,
// and tlcmp.exe prints and saves the very report that the window's Save
// result writes for the same pair.
#include <gtest/gtest.h>

#include "compare/compare.h"
#include "e2e.h"
#include "harness.h"
#include "res/resource.h"
#include "settings/settings.h"

namespace {

// "表" ends in the byte 0x5C: the name must pass the command line whole.
const char SECOND_NAME[] = "表示.bin";

// What Save result writes after the window compared the pair, listing one
// difference at most.
std::string WindowReport(const std::string &first, const std::string &second)
{
    HWND mainWindow = StartMainWindow();
    g_settings.maxdiffno = 1;
    SetDlgItemTextA(g_panel, IDC_FILE1, first.c_str());
    SetDlgItemTextA(g_panel, IDC_FILE2, second.c_str());
    RunComparison(g_panel);
    ReportFileParts parts;
    FormatLastResult(&parts);
    std::string bytes;
    for (int index = 0; index < REPORT_FILE_PARTS; ++index) {
        int length = 0;
        const char *part = ReportFilePart(&parts, index, &length);
        bytes.append(part, length);
    }
    CloseMainWindow(mainWindow);
    return bytes;
}

struct ReleaseTest : ::testing::Test {
    TarnlightProcess program = {};
    void SetUp() override { RemoveTarnlightRegistry(); }
    void TearDown() override { EndTarnlight(&program); RemoveTarnlightRegistry(); }
};

TEST_F(ReleaseTest, ProgramStartsFromTheUnpackedFolderAndCompares)
{
    std::string first = MakeTempFile("release one.bin", "abcd");
    std::string second = MakeTempFile(SECOND_NAME, "aBcDE");
    ASSERT_TRUE(StartTarnlightIdle(&program, {first, second})) << TarnlightExePath();
    EXPECT_EQ(DialogCaption(program.mainWindow), "Tarnlight");
    EXPECT_EQ(ReadControl(&program, IDC_FILE2), second);
    RunCommand(&program, IDM_COMPARE);
    EXPECT_TRUE(WaitForControlText(&program, IDC_MESSAGE, "合計2箇所違います。"))
        << ReadControl(&program, IDC_MESSAGE);
    EXPECT_EQ(CloseTarnlight(&program), 0);
}

TEST_F(ReleaseTest, TlcmpPrintsAndSavesTheReportTheWindowSaves)
{
    std::string first = MakeTempFile("release one.bin", "abcd");
    std::string second = MakeTempFile(SECOND_NAME, "aBcDE");
    std::string expected = WindowReport(first, second);
    ASSERT_NE(std::string::npos, expected.find("合計2箇所違います。")) << expected;

    std::string report = TempFolder() + "tlcmp report.txt";
    DeleteFileA(report.c_str());
    std::string out, err;
    EXPECT_EQ(1, RunConsoleProgram(TlcmpExePath(), {"-m", "1", "-o", report, first, second}, &out, &err))
        << TlcmpExePath();
    EXPECT_EQ(expected, out) << HexBytes(out);
    EXPECT_EQ(expected, FileBytes(report));
    EXPECT_EQ("", err);

    std::string missing = TempFolder() + "missing.bin";
    EXPECT_EQ(2, RunConsoleProgram(TlcmpExePath(), {first, missing}, &out, &err));
    EXPECT_EQ("", out);
    EXPECT_EQ("2番目のファイル\r\n\"" + missing + "\"が開けません。\r\n", err);
    EXPECT_EQ(0, RunConsoleProgram(TlcmpExePath(), {"-q", first, first}, &out, &err));
    EXPECT_EQ("", out + err);
    DeleteFileA(report.c_str());
}

} // namespace
