// Tests of the comparison against real files in a temporary folder: the
// engine itself (report bytes, the handling of each differing byte, progress,
// files over 4 GiB, a cross-check with cmp -l), and the run on the recording
// fake panel (order of visible effects, boxes, what a failed run leaves).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "compare/compare.h"
#include "compare/engine.h"
#include "source_faults.h"
#include "cmp_listing.h"
#include "fake_platform.h"
#include "test_files.h"
#include "settings/settings.h"

namespace {

typedef std::vector<unsigned char> Bytes;

const char MORE_LINE[] = "さらに違う箇所あり・・・\r\n";
const char DIFFERENCE_MARK[] = " バイト目  ";

int OpenDescriptorCount()
{
    int count = 0;
    DIR *dir = opendir("/proc/self/fd");
    while (dirent *entry = readdir(dir))
        count += entry->d_name[0] != '.';
    closedir(dir);
    return count;
}

// Golden report texts are Shift-JIS with CR LF, compared as bytes. Setting
// TARNLIGHT_WRITE_GOLDEN=1 rewrites them; the diff is then the review.
void ExpectGolden(const std::string &name, const std::string &actual)
{
    std::string path = std::string(TARNLIGHT_EXPECTED_DIR) + "/" + name;
    if (std::getenv("TARNLIGHT_WRITE_GOLDEN")) {
        FILE *file = std::fopen(path.c_str(), "wb");
        std::fwrite(actual.data(), 1, actual.size(), file);
        std::fclose(file);
    }
    std::string expected = ReadWhole(path);
    ASSERT_FALSE(expected.empty()) << "missing golden file " << path;
    EXPECT_EQ(expected, actual) << "report differs from " << name;
}

int CountOf(const std::string &text, const std::string &part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::vector<std::string> FacePercentages()
{
    std::vector<std::string> shown;
    for (const PanelCall &call : CallsOf("SetText"))
        if (call.id == FACE_FIELD && call.text.find('%') != std::string::npos)
            shown.push_back(call.text);
    return shown;
}

// Every percentage the engine reported; the reads are only counted.
int g_readsReported;
void RecordPercent(void *context, int percent)
{
    if (percent != PROGRESS_READ)
        static_cast<std::vector<int> *>(context)->push_back(percent);
    else
        ++g_readsReported;
}

// Another program presses OK on the Options sheet while a run reads.
int g_readsSeen;
bool RaiseListingLimitAfterFirstChunk()
{
    if (++g_readsSeen == 3)
        g_settings.maxdiffno = 100;
    return true;
}

// What the fault hook does, set per test: after some reads it fails the next
// one, or changes a file (cut or grown, with or without its old write time
// put back, or rewritten in place at the same size a second later).
enum Change { RESIZE, RESIZE_KEEPING_TIME, REWRITE_IN_PLACE };
int g_readsBeforeFault;
bool g_failRead;
std::string g_pathToChange;
Change g_change;
off_t g_newLength;

void ChangeFile()
{
    struct stat before;
    ASSERT_EQ(0, stat(g_pathToChange.c_str(), &before));
    timespec times[2] = {before.st_atim, before.st_mtim};
    if (g_change == REWRITE_IN_PLACE) {
        int fd = open(g_pathToChange.c_str(), O_RDWR);
        unsigned char byte = 0;
        EXPECT_EQ(1, pread(fd, &byte, 1, 0));
        EXPECT_EQ(1, pwrite(fd, &byte, 1, 0));
        times[1].tv_sec += 1;
        EXPECT_EQ(0, futimens(fd, times));
        close(fd);
        return;
    }
    EXPECT_EQ(0, truncate(g_pathToChange.c_str(), g_newLength));
    if (g_change == RESIZE_KEEPING_TIME) {
        EXPECT_EQ(0, utimensat(AT_FDCWD, g_pathToChange.c_str(), times, 0));
    }
}

bool FaultBeforeRead()
{
    if (g_readsBeforeFault-- != 0)
        return true;
    if (!g_pathToChange.empty())
        ChangeFile();
    return !g_failRead;
}

class EngineTest : public ::testing::Test {
protected:
    std::string dir;
    std::string memoryDir;
    int descriptorsBefore = 0;

    void SetUp() override
    {
        dir = MakeTempFolder("tarnlight-engine");
        ASSERT_FALSE(dir.empty());
        g_settings = DefaultSettings();
        g_sourceFaults = SourceFaults();
        g_pathToChange.clear();
        g_failRead = false;
        g_readsBeforeFault = -1;
        ResetFakePlatform();
        descriptorsBefore = OpenDescriptorCount();
    }

    void TearDown() override
    {
        g_sourceFaults = SourceFaults();
        EXPECT_EQ(descriptorsBefore, OpenDescriptorCount()) << "a file was left open";
        EXPECT_TRUE(RemoveFolder(dir));
        if (!memoryDir.empty()) {
            EXPECT_TRUE(RemoveFolder(memoryDir));
        }
    }

    std::string PathOf(const std::string &name) { return dir + "/" + name; }

    // A hole in a file on a memory file system reads as zeros at once; on a
    // disk each of its pages is first zeroed into the page cache.
    std::string FolderForHoles()
    {
        char pattern[] = "/dev/shm/tarnlight-engine-XXXXXX";
        if (!mkdtemp(pattern))
            return dir;
        memoryDir = pattern;
        return memoryDir;
    }

    std::string Write(const std::string &name, const Bytes &bytes)
    {
        std::string path = PathOf(name);
        EXPECT_TRUE(WriteWhole(path, bytes.data(), bytes.size()));
        return path;
    }

    Comparison run;
    std::vector<int> percents;      // as the engine reported them
    char verdict[VERDICT_SIZE];
    char face[FACE_SIZE];

    // The engine alone, as every caller uses it.
    void Run(const std::string &first, const std::string &second)
    {
        percents.clear();
        g_readsReported = 0;
        ProgressSink sink = {RecordPercent, &percents};
        CompareFiles(first.c_str(), second.c_str(), g_settings, sink, &run);
        verdict[0] = face[0] = '\0';
        if (run.end == COMPARISON_COMPLETE)
            ChooseVerdict(run.differences, run.sizes, first.c_str(), second.c_str(), g_settings, verdict, face);
    }

    // The run on the panel, names typed into its fields.
    void RunInPanel(const std::string &first, const std::string &second)
    {
        ResetFakePlatform();
        g_fake.texts[FILE1_FIELD] = first;
        g_fake.texts[FILE2_FIELD] = second;
        RunComparison(FakePanel());
    }

    // The percentages from 2 up that the engine reported.
    std::vector<int> Steps()
    {
        std::vector<int> steps;
        for (int percent : percents)
            if (percent != PROGRESS_STARTED)
                steps.push_back(percent);
        return steps;
    }

    // Two files of the given size that differ at the given offsets.
    void RunPair(size_t size, const std::vector<size_t> &offsets)
    {
        Bytes first(size), second(size);
        for (size_t i = 0; i < size; ++i)
            first[i] = second[i] = static_cast<unsigned char>(i * 7);
        for (size_t offset : offsets)
            second[offset] ^= 0x5A;
        Run(Write("a", first), Write("b", second));
    }

    // Three differences in the first block, then more in later blocks.
    void RunWithDifferencesInManyBlocks(int count)
    {
        std::vector<size_t> offsets;
        for (int i = 0; i < count; ++i)
            offsets.push_back(static_cast<size_t>(i) * 9973);
        RunPair(static_cast<size_t>(count) * 9973 + 5, offsets);
    }

    std::string Report() { return run.report; }
    std::string Verdict() { return verdict; }
};

TEST_F(EngineTest, ReportListsOffsetZeroAndPadsHexWithSpaces)
{
    Bytes first(20, 0x41), second(21, 0x41);
    first[0] = 5;
    second[0] = 10;
    first[9] = 255;
    second[9] = 0;
    first[19] = 0x10;
    second[19] = 0xab;
    Run(Write("one", first), Write("two", second));
    ExpectGolden("differ_at_offset_0_hex_spacing.txt", Report());
    EXPECT_EQ("合計3箇所違います。", Verdict());
}

TEST_F(EngineTest, SizeLineMarksPluralFromTwoBytes)
{
    Run(Write("empty", {}), Write("single", {7}));
    ExpectGolden("sizes_0_and_1.txt", Report());
    Run(Write("pair", {7, 8}), Write("single", {7}));
    ExpectGolden("sizes_2_and_1.txt", Report());
    EXPECT_EQ("先頭から 1バイトまでは等しく、1バイト余分です。", Verdict());
}

TEST_F(EngineTest, MoreLineFollowsTheListingLimit)
{
    g_settings.maxdiffno = 1;
    RunPair(100, {3, 50, 99});
    ExpectGolden("more_line_after_1.txt", Report());
    EXPECT_EQ("合計3箇所違います。", Verdict());
}

// Big pairs with holes: a hundred ten-digit offsets fit the report; and
// bytes spread over more than half a gigabyte are listed where they are
// while the run reads ahead on a thread, then as it goes, and back, or all
// the way as it goes when no spare buffers can be had for the thread.
TEST_F(EngineTest, HundredTenDigitOffsetsBeyond4GiBFitTheReport)
{
    const off_t spread = (10 << 20) + 997;
    const struct { off_t size, first, step; int count, buffers; const char *golden, *verdict; } cases[] = {
        {(off_t(1) << 32) + 1000, off_t(1) << 32, 9, 101, -1, "ten_digit_offsets_beyond_4gib.txt",
         "合計101箇所違います。"},
        {off_t(560) << 20, spread, spread, 55, -1, "spread_over_half_a_gigabyte.txt", "合計55箇所違います。"},
        {off_t(560) << 20, spread, spread, 55, 2, "spread_over_half_a_gigabyte.txt", "合計55箇所違います。"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.golden << ", buffers " << c.buffers);
        g_sourceFaults.grantedBlockBuffers = c.buffers;
        std::string first = FolderForHoles() + "/big1", second = first + "-2";
        for (const std::string &path : {first, second}) {
            int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(0, ftruncate(fd, path == second ? c.size + 3 : c.size));
            if (path == second)
                for (int i = 0; i < c.count; ++i) {
                    unsigned char value = static_cast<unsigned char>(i + 1);
                    ASSERT_EQ(1, pwrite(fd, &value, 1, c.first + i * c.step));
                }
            close(fd);
        }
        g_settings.maxdiffno = 100;
        Run(first, second);
        ExpectGolden(c.golden, Report());
        EXPECT_EQ(c.verdict, Verdict());
        EXPECT_EQ(PROGRESS_LAST, run.percent);
    }
}

TEST_F(EngineTest, EachRowOfTheHandlingTable)
{
    struct Case {
        int stop, max, differences;
        int lines;
        bool more;
        const char *verdict;
    };
    const Case cases[] = {
        {STOP_AT_FIRST, 30, 5, 0, false, "違う内容のファイルです。"},
        {STOP_AT_END, 1, 3, 1, true, "合計3箇所違います。"},
        {STOP_AT_MAX, 1, 3, 1, true, "違う内容のファイルです。"},
        {STOP_AT_MAX, 1, 1, 1, false, "合計1箇所違います。"},
        {STOP_AT_END, 30, 30, 30, false, "合計30箇所違います。"},
        {STOP_AT_END, 30, 31, 30, true, "合計31箇所違います。"},
        {STOP_AT_END, 30, 500, 30, true, "合計500箇所違います。"},
        {STOP_AT_MAX, 30, 30, 30, false, "合計30箇所違います。"},
        {STOP_AT_MAX, 30, 31, 30, true, "違う内容のファイルです。"},
        {STOP_AT_MAX, 30, 500, 30, true, "違う内容のファイルです。"},
        {STOP_AT_FIRST, 1, 1, 0, false, "違う内容のファイルです。"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "stop " << c.stop << " max " << c.max << " differences " << c.differences);
        g_settings.compcancel = c.stop;
        g_settings.maxdiffno = c.max;
        RunWithDifferencesInManyBlocks(c.differences);
        EXPECT_EQ(c.lines, CountOf(Report(), DIFFERENCE_MARK));
        EXPECT_EQ(c.more ? 1 : 0, CountOf(Report(), MORE_LINE));
        EXPECT_EQ(c.verdict, Verdict());
    }
}

// The run keeps the limit it started with: 20 lines and the more line, not
// a listing that grows when the limit does.
TEST_F(EngineTest, SettingsChangedDuringARunCountFromTheNextRun)
{
    g_settings.maxdiffno = 20;
    RunWithDifferencesInManyBlocks(50);
    g_readsSeen = 0;
    g_sourceFaults.beforeRead = RaiseListingLimitAfterFirstChunk;
    RunInPanel(PathOf("a"), PathOf("b"));
    EXPECT_EQ(100, g_settings.maxdiffno) << "the limit was raised during the run";
    EXPECT_EQ(20, CountOf(g_reportText, DIFFERENCE_MARK));
    EXPECT_EQ(1, CountOf(g_reportText, MORE_LINE));
    EXPECT_EQ("合計50箇所違います。", std::string(g_verdictLine));
    RunInPanel(PathOf("a"), PathOf("b"));
    EXPECT_EQ(50, CountOf(g_reportText, DIFFERENCE_MARK)) << "the next run lists by the new limit";
}

TEST_F(EngineTest, StoppingEndsTheRunWithoutFurtherProgress)
{
    // All differences in the first block: a stop leaves no percentage shown.
    g_settings.maxdiffno = 1;
    g_settings.compcancel = STOP_AT_MAX;
    RunPair(200000, {0, 1, 2});
    EXPECT_TRUE(Steps().empty());
    g_settings.compcancel = STOP_AT_FIRST;
    RunPair(200000, {0});
    EXPECT_TRUE(Steps().empty());
    g_settings.compcancel = STOP_AT_END;
    RunPair(200000, {0, 1, 2});
    ASSERT_FALSE(Steps().empty());
    EXPECT_EQ(95, Steps().back()) << "before the last block at 190000";
}

TEST_F(EngineTest, CountingPastTheLimitSeesEveryDifferingByte)
{
    // Differences around block, read and 64-byte group edges, and whole
    // stretches that differ, all after the listing is full.
    g_settings.maxdiffno = 1;
    std::vector<size_t> offsets = {0, 1, 63, 64, 9999, 10000, 159999, 160000, 160001, 319999,
                                   639999, 640000, 640001};
    for (size_t offset = 200000; offset < 200300; ++offset)
        offsets.push_back(offset);
    offsets.push_back(799999);
    RunPair(800000, offsets);
    EXPECT_EQ("合計314箇所違います。", Verdict());
}

TEST_F(EngineTest, BlockSizeTurnsLargeAt50000Bytes)
{
    // A difference at 5000 stops the first 10000-byte block before any
    // percentage, but the sixth 1000-byte block only after 11 %.
    g_settings.compcancel = STOP_AT_FIRST;
    Bytes first(50000, 1), second(50000, 1);
    second[5000] = 2;
    Run(Write("a", first), Write("b", second));
    EXPECT_TRUE(Steps().empty());

    first.resize(49999);
    second.resize(60000, 1);
    Run(Write("a", first), Write("b", second));
    ASSERT_FALSE(Steps().empty());
    EXPECT_EQ(11, Steps().back());
}

// Before each block the smallest whole percentage not below the share of the
// shorter size compared, at most 99; a difference in that block stops the
// run there. Sizes not divisible by 100: 2 small blocks, 110 large ones.
TEST_F(EngineTest, ProgressBeforeEachBlockIsTheShareRoundedUpUnder100)
{
    g_settings.compcancel = STOP_AT_FIRST;
    for (int64_t size : {1099, 1099999}) {
        int64_t block = size < 50000 ? 1000 : 10000;
        std::string first = Write("a", Bytes(size, 1));
        Bytes second(size, 1);
        for (int64_t position = 0; position < size; position += block) {
            SCOPED_TRACE(testing::Message() << "size " << size << " block at " << position);
            second[position] = 2;
            Run(first, Write("b", second));
            second[position] = 1;
            int64_t shown = std::min<int64_t>(99, (100 * position + size - 1) / size);
            std::vector<int> expected;
            for (int percent = 2; percent <= shown; ++percent)
                expected.push_back(percent);
            EXPECT_EQ(expected, Steps());
        }
    }
}

TEST_F(EngineTest, ProgressStepsNinetyNineTimesAndShowsEachPercentage)
{
    std::string a = PathOf("a"), b = PathOf("b");
    RunPair(100000, {});
    RunInPanel(a, b);
    EXPECT_EQ(99u, CallsOf("StepProgress").size());
    std::vector<std::string> shown = FacePercentages();
    ASSERT_EQ(89u, shown.size());  // 2 % to 90 % before the tenth block
    for (size_t i = 0; i < shown.size(); ++i) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "%3d%%", static_cast<int>(i) + 2);
        EXPECT_EQ(expected, shown[i]);
    }

    // The bar is shown first, hidden and reset after the last step, and
    // the focus comes after the verdict.
    const char *const fieldNames[] = {"file1", "file2", "message", "face", "result"};
    std::vector<std::string> order;
    for (const PanelCall &call : g_fake.calls)
        if (call.op != "StepProgress" && call.op != "KeepPainted" && !(call.op == "SetText" && call.id == FACE_FIELD))
            order.push_back(call.op + (call.op.find("Progress") == std::string::npos ? std::string(" ") + fieldNames[call.id] : ""));
    const std::vector<std::string> expected = {
        "SetText message", "SetText result", "GetText file1", "GetText file2", "ShowProgress",
        "HideProgress", "ResetProgress", "SetText message", "SetText result", "Focus result"};
    EXPECT_EQ(expected, order);
    EXPECT_EQ(std::string(g_reportText), g_fake.texts[RESULT_FIELD]);
    size_t lastFace = 0, lastStep = 0;
    for (size_t i = 0; i < g_fake.calls.size(); ++i) {
        if (g_fake.calls[i].op == "StepProgress")
            lastStep = i;
        if (g_fake.calls[i].text == " 90%")
            lastFace = i;
    }
    EXPECT_EQ(lastFace + 2 + 10, lastStep + 1) << "ten fill steps after 90 %";

    // Each new percentage gets a repaint; reads let the window breathe too.
    EXPECT_EQ(89u, CallsOf("KeepPainted").size());
    for (const PanelCall &call : CallsOf("KeepPainted"))
        EXPECT_EQ(1, call.id);
    ResetFakePlatform();
    g_fake.recordKeepPainted = true;
    g_fake.texts[FILE1_FIELD] = a;
    g_fake.texts[FILE2_FIELD] = b;
    RunComparison(FakePanel());
    size_t betweenReads = 0;
    for (const PanelCall &call : CallsOf("KeepPainted"))
        betweenReads += call.id == 0;
    EXPECT_EQ(1u, betweenReads) << "100000 bytes of each file come in one read";

    // Runs that stop early or compare nothing still step the bar 99 times.
    g_settings.compcancel = STOP_AT_FIRST;
    RunPair(100000, {10});
    RunInPanel(a, b);
    EXPECT_EQ(99u, CallsOf("StepProgress").size());
    RunInPanel(Write("empty", {}), Write("other", {}));
    EXPECT_EQ(99u, CallsOf("StepProgress").size());
    EXPECT_EQ("(^-^;", g_fake.texts[FACE_FIELD]);
}

// The run goes on a thread of its own and the panel's thread shows what it
// reported, looking between waits: every percentage once and in order, a
// repaint for every read, and the last reports before the end too (a run of
// one read may end before the first look).
TEST_F(EngineTest, PanelShowsEveryReportOfTheRunThreadOnceInOrder)
{
    const struct { size_t size; std::vector<size_t> differences; int stop; } cases[] = {
        {100000, {}, STOP_AT_END}, {8000000, {}, STOP_AT_END}, {8000000, {5123456}, STOP_AT_FIRST}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " bytes, stop " << c.stop);
        g_settings.compcancel = c.stop;
        RunPair(c.size, c.differences);
        int reads = g_readsReported;
        std::vector<std::string> expected;
        for (int percent : Steps()) {
            char text[16];
            std::snprintf(text, sizeof text, "%3d%%", percent);
            expected.push_back(text);
        }
        ResetFakePlatform();
        g_fake.recordKeepPainted = true;
        g_fake.texts[FILE1_FIELD] = PathOf("a");
        g_fake.texts[FILE2_FIELD] = PathOf("b");
        RunComparison(FakePanel());
        EXPECT_EQ(expected, FacePercentages());
        EXPECT_EQ(1u, CallsOf("ShowProgress").size());
        size_t readsShown = 0, percentsPainted = 0;
        for (const PanelCall &call : CallsOf("KeepPainted"))
            ++(call.id == 0 ? readsShown : percentsPainted);
        EXPECT_EQ(static_cast<size_t>(reads), readsShown);
        EXPECT_EQ(expected.size(), percentsPainted);
        EXPECT_EQ(99u, CallsOf("StepProgress").size());
    }
}

TEST_F(EngineTest, EmptyAndPrefixFilesCompareNothing)
{
    std::string empty = Write("empty", {}), other = Write("other", {});
    Run(empty, other);
    EXPECT_TRUE(Steps().empty());
    EXPECT_EQ("同じ内容のファイルです。両方とも空だけど・・・", Verdict());

    std::string ten = Write("ten", Bytes(10, 3));
    Run(empty, ten);
    EXPECT_EQ("先頭から 0バイトまでは等しく、10バイト余分です。", Verdict());
    Run(ten, empty);
    EXPECT_EQ("先頭から 0バイトまでは等しく、10バイト余分です。", Verdict());

    Bytes longer(123456, 9);
    Bytes prefix(longer.begin(), longer.begin() + 100000);
    Run(Write("prefix", prefix), Write("longer", longer));
    EXPECT_EQ(0, CountOf(Report(), DIFFERENCE_MARK));
    EXPECT_EQ("先頭から 100000バイトまでは等しく、23456バイト余分です。", Verdict());
    EXPECT_EQ("(~_~)", std::string(face));
}

TEST_F(EngineTest, SamePathTwiceIsTrulyTheSameFile)
{
    std::string path = Write("same", Bytes(5000, 1));
    Run(path, path);
    EXPECT_EQ("本当に同一のファイルです。(当たり前)", Verdict());
    Run(path, dir + "/./same");
    EXPECT_EQ("同じ内容のファイルです。", Verdict());
    EXPECT_EQ("(^-^)", std::string(face));
}

TEST_F(EngineTest, EmptyFieldAsksForTwoFilesUnlessAutoCompareIsOn)
{
    std::string path = Write("one", {1});
    for (int sudden : {0, 1}) {
        g_settings.sudden = sudden;
        RunInPanel(path, "");
        EXPECT_EQ(sudden ? "" : "２つのファイルを指定してください。", g_fake.texts[MESSAGE_LINE]);
        EXPECT_EQ("(-_-)", g_fake.texts[FACE_FIELD]);
        EXPECT_EQ("", g_fake.texts[RESULT_FIELD]);
        EXPECT_TRUE(CallsOf("ShowProgress").empty());
        EXPECT_EQ("", std::string(g_verdictLine));
        EXPECT_EQ(path, std::string(g_fileName1));
    }
}

// A cut name could open some other file: the run stops with a box instead.
TEST_F(EngineTest, NamesOver255BytesAreRefusedAndKeptCut)
{
    std::string present = Write("present", {1, 2});
    RunInPanel(present, std::string(300, 'x'));
    EXPECT_EQ(std::string(255, 'x'), std::string(g_fileName2));
    std::vector<PanelCall> boxes = CallsOf("ErrorBox");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("2番目のファイル\r\n\"" + std::string(255, 'x') + "\"は名前が長すぎます（255バイトまで）。",
              boxes[0].text);
    EXPECT_TRUE(CallsOf("ShowProgress").empty());
    EXPECT_EQ("", std::string(g_verdictLine));

    RunInPanel(std::string(255, 'y'), present);   // exactly 255 fits: only the open fails
    boxes = CallsOf("ErrorBox");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("が開けません。"));

    RunInPanel(std::string(256, 'y'), present);   // one more does not, in either field
    boxes = CallsOf("ErrorBox");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("1番目のファイル\r\n\"" + std::string(255, 'y') + "\"は名前が長すぎます（255バイトまで）。",
              boxes[0].text);

    // A double-byte character across the boundary is left out whole.
    RunInPanel(std::string(254, 'z') + "表", present);
    EXPECT_EQ(std::string(254, 'z'), std::string(g_fileName1));
    boxes = CallsOf("ErrorBox");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("1番目のファイル\r\n\"" + std::string(254, 'z') + "\"は名前が長すぎます（255バイトまで）。",
              boxes[0].text);
}

TEST_F(EngineTest, MissingFileIsReportedOnceByItsNumber)
{
    std::string present = Write("present", {1, 2});
    std::string missing = PathOf("missing");
    RunInPanel(missing, PathOf("also-missing"));
    std::vector<PanelCall> boxes = CallsOf("ErrorBox");
    ASSERT_EQ(1u, boxes.size()) << "the second file is not tried";
    EXPECT_EQ("1番目のファイル\r\n\"" + missing + "\"が開けません。", boxes[0].text);

    RunInPanel(present, missing);
    boxes = CallsOf("ErrorBox");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("2番目のファイル\r\n\"" + missing + "\"が開けません。", boxes[0].text);
    EXPECT_EQ("", std::string(g_reportText));
    EXPECT_EQ("(-_-)", g_fake.texts[FACE_FIELD]);
    EXPECT_TRUE(CallsOf("ShowProgress").empty());

    RunInPanel(present, dir);
    boxes = CallsOf("ErrorBox");
    ASSERT_EQ(1u, boxes.size()) << "a folder cannot be compared";
    EXPECT_EQ("2番目のファイル\r\n\"" + dir + "\"が開けません。", boxes[0].text);
}

class EngineFaultTest : public EngineTest {
protected:
    std::string first, second;

    // Both files span more than one read of 64 blocks.
    void SetUp() override
    {
        EngineTest::SetUp();
        first = Write("first", Bytes(1000000, 4));
        second = Write("second", Bytes(1200000, 4));
        g_sourceFaults.beforeRead = FaultBeforeRead;
    }

    void ExpectEndedWithoutVerdict(const std::string &box)
    {
        std::vector<PanelCall> boxes = CallsOf("ErrorBox");
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(box, boxes[0].text);
        EXPECT_EQ("", std::string(g_verdictLine));
        EXPECT_EQ("", std::string(g_face));
        EXPECT_EQ("", std::string(g_reportText)) << "no partial listing is left to save";
        EXPECT_EQ("", g_fake.texts[MESSAGE_LINE]);
        EXPECT_EQ("", g_fake.texts[RESULT_FIELD]);
        EXPECT_EQ("(-_-)", g_fake.texts[FACE_FIELD]);
        EXPECT_FALSE(g_fake.progressVisible);
        EXPECT_EQ(0, g_fake.progressPosition);
        EXPECT_LT(CallsOf("StepProgress").size(), 99u);
        EXPECT_TRUE(CallsOf("Focus").empty());
    }
};

TEST_F(EngineFaultTest, ReadFailureShortenedOrChangedFileEndsTheRunWithoutVerdict)
{
    g_readsBeforeFault = 3;  // the second file's second read fails
    g_failRead = true;
    RunInPanel(first, second);
    ExpectEndedWithoutVerdict("2番目のファイル\r\n\"" + second + "\"が読めません。");
    g_readsBeforeFault = 3;  // nor does the comparison hand any other caller a listing
    Run(first, second);
    EXPECT_EQ(COMPARISON_UNREADABLE, run.end);
    EXPECT_EQ("", Report());

    // The read past the common size, which each file of that size gets:
    // seven reads of each, then file 1's, then file 2's.
    std::string equal = Write("equal", Bytes(1000000, 4));
    for (int file : {1, 2}) {
        g_readsBeforeFault = 13 + file;
        RunInPanel(first, equal);
        ExpectEndedWithoutVerdict(std::to_string(file) + "番目のファイル\r\n\"" + (file == 1 ? first : equal) +
                                  "\"が読めません。");
    }

    // A stream read that fails: 60000 bytes in a pipe against 40000 in a
    // file, 16000 a read; the pipe's second read, as file 1 or as file 2.
    std::string small = Write("small", Bytes(40000, 4));
    for (int file : {1, 2}) {
        int ends[2];
        ASSERT_EQ(0, pipe(ends));
        Bytes streamed(60000, 4);
        ASSERT_EQ(60000, write(ends[1], streamed.data(), streamed.size()));
        close(ends[1]);
        std::string pipeName = "/proc/self/fd/" + std::to_string(ends[0]);
        g_readsBeforeFault = file + 1;
        RunInPanel(file == 1 ? pipeName : small, file == 1 ? small : pipeName);
        close(ends[0]);
        ExpectEndedWithoutVerdict(std::to_string(file) + "番目のファイル\r\n\"" + pipeName + "\"が読めません。");
    }

    // After two reads: cut below the compared length (the second time inside
    // the last read, which no later read can show up), or changed beyond it:
    // size and write time, the size alone, the write time alone.
    const char UNREADABLE[] = "が読めません。", CHANGED[] = "が比較中に変更されました。";
    const struct { int file; Change change; off_t length; const char *ending; } changes[] = {
        {1, RESIZE, 400000, UNREADABLE}, {1, RESIZE, 975000, UNREADABLE},
        {2, RESIZE, 1100000, CHANGED}, {1, RESIZE_KEEPING_TIME, 1000500, CHANGED},
        {2, REWRITE_IN_PLACE, 0, CHANGED}};
    g_failRead = false;
    for (const auto &c : changes) {
        SCOPED_TRACE(testing::Message() << "change " << c.change << " of file " << c.file << " to " << c.length);
        first = Write("first", Bytes(1000000, 4));
        second = Write("second", Bytes(1200000, 4));
        g_readsBeforeFault = 2;
        g_pathToChange = c.file == 1 ? first : second;
        g_change = c.change;
        g_newLength = c.length;
        RunInPanel(first, second);
        ExpectEndedWithoutVerdict(std::to_string(c.file) + "番目のファイル\r\n\"" + g_pathToChange + "\"" + c.ending);
    }
}

TEST_F(EngineFaultTest, MissingBlockBuffersEndTheRunWithABox)
{
    // Neither buffer, or only the first, which must then be given back.
    g_sourceFaults.beforeRead = [] {
        ADD_FAILURE() << "a read without both buffers";
        return false;
    };
    for (int granted : {0, 1}) {
        SCOPED_TRACE(testing::Message() << granted << " buffers granted");
        g_sourceFaults.grantedBlockBuffers = granted;
        RunInPanel(first, second);
        ExpectEndedWithoutVerdict("比較に使うメモリーが確保できません。");
        EXPECT_TRUE(CallsOf("ShowProgress").empty());
    }
}

TEST_F(EngineTest, AgreesWithCmpOnGeneratedPairs)
{
    std::mt19937 random(20240611);
    g_settings.maxdiffno = 100;
    for (int round = 0; round < 40; ++round) {
        size_t size = random() % 300000;
        Bytes first(size);
        for (unsigned char &byte : first)
            byte = static_cast<unsigned char>(random());
        Bytes second = first;
        int changes = static_cast<int>(random() % 150);
        for (int i = 0; i < changes && size > 0; ++i) {
            size_t at = random() % size;
            size_t run = random() % 4 == 0 ? random() % 100 : 1;
            for (size_t k = at; k < at + run && k < size; ++k)
                second[k] = static_cast<unsigned char>(random());
        }
        second.resize(random() % 3 == 0 ? size + random() % 50000 : size);
        std::string a = Write("a", first), b = Write("b", second);
        SCOPED_TRACE(testing::Message() << "round " << round << " size " << size);
        Run(a, b);
        std::vector<std::string> expected = ListWithCmp(a, b);
        size_t count = expected.size();
        expected.resize(std::min<size_t>(count, 100));
        EXPECT_EQ(expected, ListedByReport(Report()));
        EXPECT_EQ(count > 100 ? 1 : 0, CountOf(Report(), MORE_LINE));
        if (count > 0)
            EXPECT_EQ("合計" + std::to_string(count) + "箇所違います。", Verdict());
        else
            EXPECT_EQ(0, CountOf(Verdict(), "違"));
    }
}

}  // namespace
