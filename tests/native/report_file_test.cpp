// The report file's bytes, formatted from the result buffers as a real run
// (with the recording fake panel) leaves them, and the safe save of those
// bytes over an existing file.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "compare/compare.h"
#include "fake_platform.h"
#include "test_files.h"
#include "settings/settings.h"

namespace {

const char RULE[] = "\r\n----- 結果 -----\r\n\r\n";
const char OLD_CONTENT[] = "the user's old file\r\n";

const ReportFileParts &LastResult()
{
    static ReportFileParts parts;
    FormatLastResult(&parts);
    return parts;
}

std::string WholeFile()
{
    const ReportFileParts &parts = LastResult();
    std::string bytes;
    for (int index = 0; index < REPORT_FILE_PARTS; ++index) {
        int length = -1;
        const char *part = ReportFilePart(&parts, index, &length);
        bytes.append(part, length);
    }
    return bytes;
}

std::string NameLines(const std::string &first, const std::string &second)
{
    return "ファイル1　" + first + "\r\nファイル2　" + second + "\r\n";
}

class ReportFileTest : public ::testing::Test {
protected:
    std::string dir;

    void SetUp() override
    {
        dir = MakeTempFolder("tarnlight-report");
        ASSERT_FALSE(dir.empty());
        g_settings = DefaultSettings();
        ResetFakePlatform();
        g_fileName1[0] = g_fileName2[0] = '\0';
        g_reportText[0] = g_verdictLine[0] = g_face[0] = '\0';
    }

    void TearDown() override { EXPECT_TRUE(RemoveFolder(dir)); }

    std::set<std::string> NamesInDir()
    {
        std::set<std::string> names;
        DIR *folder = opendir(dir.c_str());
        while (dirent *entry = readdir(folder))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.insert(entry->d_name);
        closedir(folder);
        return names;
    }

    std::string MakeFile(const char *name, const std::string &bytes)
    {
        std::string path = dir + "/" + name;
        FILE *file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    }

    void Compare(const std::string &first, const std::string &second)
    {
        g_fake.texts[FILE1_FIELD] = first;
        g_fake.texts[FILE2_FIELD] = second;
        RunComparison(FakePanel());
    }

    // A full run with three differing bytes listed up to one: the Report
    // text ends with the more line.
    void RunWithMoreLine(std::string *first, std::string *second)
    {
        *first = MakeFile("one.bin", "abcd");
        *second = MakeFile("two.bin", "aBcDE");
        g_settings.maxdiffno = 1;
        g_settings.compcancel = STOP_AT_END;
        Compare(*first, *second);
    }
};

TEST_F(ReportFileTest, BeforeAnyComparisonHoldsLabelsRuleAndEmptyResult)
{
    std::string expected = NameLines("", "") + RULE + "   \r\n\r\n";
    EXPECT_EQ(expected, WholeFile());
    EXPECT_EQ("\x83\x74\x83\x40\x83\x43\x83\x8b\x31\x81\x40\r\n", WholeFile().substr(0, 13))
        << "label, one ideographic space, no name";
}

TEST_F(ReportFileTest, FullRunEndsWithTheMoreLineAndItsLineEnd)
{
    std::string first, second;
    RunWithMoreLine(&first, &second);
    std::string expected = NameLines(first, second) + RULE +
        "(ToT)   合計2箇所違います。\r\n\r\n"
        "　　　　　　　　　　<ファイル1>　　　　<ファイル2>\r\n\r\n"
        "　　　　　　　　        4 Bytes　　        5 Bytes\r\n\r\n"
        "         1 バイト目     98 (0x62) 　　　   66 (0x42)\r\n"
        "さらに違う箇所あり・・・\r\n";
    EXPECT_EQ(expected, WholeFile());
}

TEST_F(ReportFileTest, EarlyStopsKeepTheNamesAsTypedAndNoResult)
{
    std::string first, second;
    RunWithMoreLine(&first, &second);
    ASSERT_NE('\0', g_reportText[0]);

    Compare("only one name.txt", "");
    EXPECT_EQ(NameLines("only one name.txt", "") + RULE + "   \r\n\r\n", WholeFile());

    std::string missing = dir + "/missing.bin";
    Compare(missing, first);
    ASSERT_EQ(1u, CallsOf("ErrorBox").size());
    EXPECT_EQ(NameLines(missing, first) + RULE + "   \r\n\r\n", WholeFile());
}

TEST_F(ReportFileTest, FullBuffersFitWithoutLoss)
{
    std::memset(g_fileName1, 'a', NAME_SIZE - 1);
    g_fileName1[NAME_SIZE - 1] = '\0';
    std::memset(g_fileName2, 'b', NAME_SIZE - 1);
    g_fileName2[NAME_SIZE - 1] = '\0';
    std::snprintf(g_face, FACE_SIZE, "(ToT)");
    std::memset(g_verdictLine, 'v', VERDICT_SIZE - 1);
    g_verdictLine[VERDICT_SIZE - 1] = '\0';
    std::memset(g_reportText, 'r', REPORT_SIZE - 1);
    g_reportText[REPORT_SIZE - 1] = '\0';

    std::string expected = NameLines(g_fileName1, g_fileName2) + RULE + "(ToT)   " +
                           g_verdictLine + "\r\n\r\n" + g_reportText;
    EXPECT_EQ(expected, WholeFile());
}

TEST_F(ReportFileTest, SaveReplacesTheFileWholeKeepingItsPermissions)
{
    std::string first, second;
    RunWithMoreLine(&first, &second);
    std::string target = MakeFile("report.txt", OLD_CONTENT);
    ASSERT_EQ(0, chmod(target.c_str(), 0640));
    // Run as root, the file is another user's, and stays so.
    bool root = geteuid() == 0;
    uid_t owner = root ? 65534 : geteuid();
    gid_t group = root ? 65534 : getegid();
    ASSERT_EQ(0, chown(target.c_str(), owner, group));
    ASSERT_TRUE(WriteReportFile(target.c_str(), LastResult()));
    EXPECT_EQ(WholeFile(), ReadWhole(target));
    struct stat info;
    ASSERT_EQ(0, stat(target.c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 07777u);
    EXPECT_EQ(owner, info.st_uid);
    EXPECT_EQ(group, info.st_gid);
    EXPECT_EQ((std::set<std::string>{"one.bin", "two.bin", "report.txt"}), NamesInDir());
    // Permission bits only: a set-id bit would make the report a program's.
    ASSERT_EQ(0, chmod(target.c_str(), 06750));
    ASSERT_TRUE(WriteReportFile(target.c_str(), LastResult()));
    ASSERT_EQ(0, stat(target.c_str(), &info));
    EXPECT_EQ(0750u, info.st_mode & 07777u);

    // A new file gets what the umask leaves of 0666.
    mode_t mask = umask(027);
    std::string created = dir + "/new.txt";
    bool saved = WriteReportFile(created.c_str(), LastResult());
    umask(mask);
    ASSERT_TRUE(saved);
    ASSERT_EQ(0, stat(created.c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 07777u);
}

// Every way a save can fail leaves the old file as it was and no new file
// beside it. A write that stops part-way is a file size limit: the kernel
// refuses the bytes past it, root or not.
TEST_F(ReportFileTest, FailedSavesLeaveTheOldFileAndNoStrayFile)
{
    std::string first, second;
    RunWithMoreLine(&first, &second);
    std::string target = MakeFile("report.txt", OLD_CONTENT);
    std::string readOnly = MakeFile("read only.txt", OLD_CONTENT);
    ASSERT_EQ(0, chmod(readOnly.c_str(), 0444));
    std::string folderTarget = dir + "/a folder";
    ASSERT_EQ(0, mkdir(folderTarget.c_str(), 0755));
    const std::set<std::string> before = NamesInDir();

    struct rlimit limit, small;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &limit));
    small = limit;
    small.rlim_cur = 100;
    ASSERT_LT(small.rlim_cur, WholeFile().size());
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    bool savedPastTheLimit = WriteReportFile(target.c_str(), LastResult());
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(savedPastTheLimit);

    EXPECT_FALSE(WriteReportFile(readOnly.c_str(), LastResult()));
    EXPECT_FALSE(WriteReportFile(folderTarget.c_str(), LastResult()));
    EXPECT_FALSE(WriteReportFile((dir + "/no such folder/report.txt").c_str(), LastResult()));

    EXPECT_EQ(OLD_CONTENT, ReadWhole(target));
    EXPECT_EQ(OLD_CONTENT, ReadWhole(readOnly));
    EXPECT_EQ(before, NamesInDir());
}

} // namespace
