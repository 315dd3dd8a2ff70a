// The real tlcmp binary, run as a script runs it: its listing and exit status
// against GNU cmp on generated pairs, its saved report against the golden
// report texts, its output in UTF-8 and in Shift-JIS, and its refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

#include "cmp_listing.h"
#include "test_files.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// Literals are Shift-JIS in this build; u8 literals are UTF-8.
const char RULE[] = "\r\n----- 結果 -----\r\n\r\n";
const char MORE_LINE[] = "さらに違う箇所あり・・・\r\n";
const char VERDICT_DIFFERENT[] = "違う内容のファイルです。";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string NameLines(const std::string &first, const std::string &second)
{
    return "ファイル1　" + first + "\r\nファイル2　" + second + "\r\n";
}

int CmpStatus(const std::string &first, const std::string &second, const std::vector<std::string> &options = {})
{
    std::string command = "cmp -s";
    for (const std::string &option : options)
        command += " '" + option + "'";
    command += " '" + first + "' '" + second + "'";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The Verdict line of a Shift-JIS report: after the Face and three spaces.
std::string VerdictOf(const std::string &report)
{
    size_t start = report.find(RULE);
    if (start == std::string::npos)
        return "";
    start += std::strlen(RULE) + 5 + 3;
    return report.substr(start, report.find("\r\n", start) - start);
}

// The two numbers of the report's size line.
std::vector<long long> SizesOf(const std::string &report)
{
    std::vector<long long> sizes;
    const std::string header = "<ファイル2>";
    size_t at = report.find(header);
    for (int index = 0; index < 2 && at != std::string::npos; ++index) {
        at += index == 0 ? header.size() : 0;
        at = report.find_first_of("0123456789", at);
        if (at == std::string::npos)
            break;
        sizes.push_back(std::atoll(report.c_str() + at));
        at = report.find("Byte", at);
    }
    return sizes;
}

// What remains of a file of size bytes after skip, up to limit.
long long PartSize(size_t size, long long skip, long long limit)
{
    return std::min(std::max(static_cast<long long>(size) - skip, 0LL), limit);
}

std::string AsTlcmpMessage(std::string cmpError)
{
    for (size_t at = cmpError.find("cmp: "); at != std::string::npos; at = cmpError.find("cmp: ", at + 7))
        cmpError.insert(at, "tl");
    return cmpError;
}

class TlcmpTest : public ::testing::Test {
protected:
    std::string dir;

    void SetUp() override
    {
        dir = MakeTempFolder("tarnlight-tlcmp");
        ASSERT_FALSE(dir.empty());
    }

    void TearDown() override { EXPECT_TRUE(RemoveFolder(dir)); }

    std::string Write(const std::string &name, const Bytes &bytes)
    {
        std::string path = dir + "/" + name;
        EXPECT_TRUE(WriteWhole(path, bytes.data(), bytes.size()));
        return path;
    }

    // Runs tlcmp (or, with program "bash", a command line that runs it as
    // "$0") with args under the locale; standard output and error are files,
    // so neither is a terminal.
    Outcome Run(const std::vector<std::string> &args, const char *locale = "C.UTF-8",
                const std::string &stdoutPath = "", const char *program = TLCMP_BINARY)
    {
        std::string outPath = stdoutPath.empty() ? dir + "/stdout" : stdoutPath, errPath = dir + "/stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        bool viaShell = std::strcmp(program, TLCMP_BINARY) != 0;
        std::vector<char *> argv = {const_cast<char *>(program)};
        if (viaShell)
            argv.insert(argv.end(), {const_cast<char *>("-c"), const_cast<char *>(args[0].c_str()),
                                     const_cast<char *>(TLCMP_BINARY)});
        for (size_t at = viaShell ? 1 : 0; at < args.size(); ++at)
            argv.push_back(const_cast<char *>(args[at].c_str()));
        argv.push_back(nullptr);
        std::string localeSetting = std::string("LC_ALL=") + locale;
        std::vector<char *> env;
        for (char **entry = environ; *entry; ++entry)
            if (std::strncmp(*entry, "LC_", 3) != 0 && std::strncmp(*entry, "LANG", 4) != 0)
                env.push_back(*entry);
        env.push_back(const_cast<char *>(localeSetting.c_str()));
        env.push_back(nullptr);
        pid_t child = 0;
        Outcome outcome = {-1, "", ""};
        int spawned = posix_spawnp(&child, program, &actions, nullptr, argv.data(), env.data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(0, spawned) << TLCMP_BINARY;
        int status = 0;
        if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
            outcome.status = WEXITSTATUS(status);
        outcome.out = stdoutPath.empty() ? ReadWhole(outPath) : "";
        outcome.err = ReadWhole(errPath);
        return outcome;
    }
};

// Random pairs, some identical, some where one is a prefix of the other,
// some with more differences than any listing holds; each under the three
// stop conditions and the listing limits 1, 30 (the default) and 100, and on
// parts of the files (-i, -n, as cmp takes them). With -l, the very bytes,
// messages and status of cmp -l, on files and on streams.
TEST_F(TlcmpTest, AgreesWithCmpOnGeneratedPairsUnderEveryStopCondition)
{
    struct Row {
        std::vector<std::string> options;
        int limit;
        int stop;
        std::vector<std::string> part;      // given to cmp as well
        long long skip1, skip2, bytes;
    };
    const long long all = 1LL << 62;
    const std::vector<Row> rows = {
        {{}, 30, 0, {}, 0, 0, all}, {{"-m", "1"}, 1, 0, {}, 0, 0, all}, {{"-m100"}, 100, 0, {}, 0, 0, all},
        {{"-s", "1", "-m", "1"}, 1, 1, {}, 0, 0, all}, {{"-s1"}, 30, 1, {}, 0, 0, all},
        {{"-m", "100", "-s", "1"}, 100, 1, {}, 0, 0, all},
        {{"-s", "2"}, 30, 2, {}, 0, 0, all}, {{"-m", "1", "-s", "2"}, 1, 2, {}, 0, 0, all},
        {{"-m", "100"}, 100, 0, {"-i", "1000:999"}, 1000, 999, all},
        {{}, 30, 0, {"-i", "0x11:1KiB", "-n", "20kB"}, 17, 1024, 20000},
        {{"-s", "1"}, 30, 1, {"-n", "1M"}, 0, 0, 1 << 20},
    };
    const std::vector<std::string> listings = {
        "CMD -l \"$1\" \"$2\"",
        "CMD -l -i 2K:2000 \"$1\" \"$2\"",
        "CMD -l -i 010 -n 5KiB \"$1\" \"$2\"",
        "CMD -l -n 1MB \"$1\" \"$2\"",
        "CMD -l -i 3000 -i 1:2K -n 5000 -n 40000 \"$1\" \"$2\"",
        "CMD -l -i ' +7:+0x20' -n +1KD \"$1\" \"$2\"",
        "CMD -l -i 3000:7 -n 50000 <(cat \"$1\") - < \"$2\"",
        "CMD -l /proc/version \"$2\"",
        "CMD -l \"$(ln -sf \"$1\" \"$1\xc3\xa4\"; echo \"$1\xc3\xa4\")\" \"$2\"",
    };
    std::mt19937 random(20250115);
    for (int round = 0; round < 10; ++round) {
        // Rounds 7 and 8 span several reads of a stream; in round 8 the
        // second file goes on well past the read in which the first ends,
        // and the files past the short first reads into those read ahead.
        size_t size = round == 0 ? 0 : round == 7 ? 1300000 : round == 8 ? 3000000 : random() % 120000;
        Bytes first(size);
        for (unsigned char &byte : first)
            byte = static_cast<unsigned char>(random());
        Bytes second = first;
        int changes = round % 4 == 1 ? 0 : static_cast<int>(random() % 300);
        for (int i = 0; i < changes && size > 0; ++i)
            second[random() % size] ^= static_cast<unsigned char>(1 + random() % 255);
        // Every byte differs: -l's offsets then pass every carry of their digits.
        if (round == 7)
            for (unsigned char &byte : second)
                byte = static_cast<unsigned char>(~byte);
        if (round % 3 == 2)
            second.resize(size + 1 + (round == 8 ? 700000 : random() % 5000));
        std::string a = Write("a", first), b = Write("b", second);
        for (const Row &row : rows) {
            const std::vector<std::string> all = ListWithCmp(a, b, row.part);
            const long long count = static_cast<long long>(all.size());
            SCOPED_TRACE(testing::Message() << "round " << round << " size " << size << " differences "
                                            << count << " limit " << row.limit << " stop " << row.stop << " "
                                            << (row.part.empty() ? "" : row.part.back()));
            std::vector<std::string> args = row.options;
            args.insert(args.end(), row.part.begin(), row.part.end());
            args.insert(args.end(), {"--sjis", a, b});
            Outcome run = Run(args);
            EXPECT_EQ(CmpStatus(a, b, row.part), run.status);
            EXPECT_EQ("", run.err);
            EXPECT_EQ(std::vector<long long>({PartSize(first.size(), row.skip1, row.bytes),
                                              PartSize(second.size(), row.skip2, row.bytes)}),
                      SizesOf(run.out));
            size_t listed = row.stop == 2 ? 0 : std::min<size_t>(all.size(), row.limit);
            EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + listed), ListedByReport(run.out));
            bool more = row.stop != 2 && count > row.limit;
            EXPECT_EQ(more, run.out.find(MORE_LINE) != std::string::npos);
            bool exact = row.stop == 0 || (row.stop == 1 && count <= row.limit);
            if (count == 0)
                EXPECT_EQ(std::string::npos, VerdictOf(run.out).find("違")) << VerdictOf(run.out);
            else if (exact)
                EXPECT_EQ("合計" + std::to_string(count) + "箇所違います。", VerdictOf(run.out));
            else
                EXPECT_EQ(VERDICT_DIFFERENT, VerdictOf(run.out));
        }
        for (const std::string &listing : listings) {
            SCOPED_TRACE(listing);
            auto command = [&listing](const char *program) {
                std::string line = listing;
                return line.replace(0, 3, program);
            };
            Outcome cmp = Run({command("cmp"), a, b}, "C.UTF-8", "", "bash");
            Outcome run = Run({command("\"$0\""), a, b}, "C.UTF-8", "", "bash");
            EXPECT_EQ(cmp.status, run.status);
            EXPECT_TRUE(cmp.out == run.out) << "listing differs from cmp -l's";
            EXPECT_EQ(AsTlcmpMessage(cmp.err), run.err);
        }
        const std::vector<std::string> all = ListWithCmp(a, b);
        const int cmpStatus = CmpStatus(a, b);
        Outcome quiet = Run({"-q", a, b});
        EXPECT_EQ(cmpStatus, quiet.status);
        EXPECT_EQ("", quiet.out + quiet.err);
        // The same pair as a pipe against standard input (a file) or another
        // pipe: read to the end, the same sizes, listing and count, - as -.
        std::string secondInput = round % 2 ? "<(cat \"$2\")" : "- < \"$2\"";
        Outcome streams = Run({"\"$0\" --sjis -m 100 <(cat \"$1\") " + secondInput, a, b}, "C.UTF-8", "", "bash");
        EXPECT_EQ(cmpStatus, streams.status);
        std::string files = Run({"--sjis", "-m", "100", a, b}).out;
        ASSERT_NE(std::string::npos, streams.out.find(RULE));
        EXPECT_EQ(files.substr(files.find(RULE)), streams.out.substr(streams.out.find(RULE)));
        EXPECT_EQ(round % 2 == 0, streams.out.find("\r\nファイル2　-\r\n") != std::string::npos);
    }
    // Devices and files of /proc say 0 bytes, and are neither.
    std::string empty = Write("empty", {}), version = Write("version", {});
    ASSERT_EQ(0, std::system(("cp /proc/version '" + version + "'").c_str()));
    EXPECT_EQ(0, Run({"-q", "/proc/version", version}).status);
    EXPECT_EQ(1, Run({"-q", "/dev/zero", empty}).status);
    // So do those of /sys and of the control groups, which are no /proc.
    std::string group;
    for (const char *candidate : {"/sys/fs/cgroup/cgroup.controllers", "/sys/fs/cgroup/cgroup.max.depth",
                                  "/sys/fs/cgroup/cpu/cpu.shares"})
        if (group.empty() && !ReadWhole(candidate).empty())
            group = candidate;
    ASSERT_FALSE(group.empty()) << "no control group file to read";
    for (const std::string &pseudo : {std::string("/sys/devices/system/cpu/possible"), group}) {
        ASSERT_EQ(0, std::system(("cp " + pseudo + " '" + version + "'").c_str()));
        EXPECT_EQ(0, Run({"-q", pseudo, version}).status) << pseudo;
    }
    // Against an endless stream a stop condition ends the run.
    for (const char *stop : {"-s1", "-s2"})
        EXPECT_EQ(1, Run({"timeout 20 \"$0\" -q -m 1 " + std::string(stop) + " /dev/zero <(yes)"}, "C.UTF-8", "",
                         "bash").status) << stop;
    // Standard input as it stands: a file read in part, a socket.
    std::string tail = Write("tail", {1, 2, 3, 4}), whole = Write("whole", {9, 9, 9, 1, 2, 3, 4});
    Outcome rest = Run({"{ dd bs=1 count=3 status=none of=/dev/null; \"$0\" - \"$2\"; } < \"$1\"", whole, tail},
                       "C.UTF-8", "", "bash");
    EXPECT_EQ(0, rest.status) << rest.err;
    int ends[2];
    ASSERT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM, 0, ends));
    ASSERT_EQ(4, write(ends[1], "\1\2\3\4", 4));
    shutdown(ends[1], SHUT_WR);
    Outcome socket = Run({"\"$0\" - \"$2\" <&\"$1\"", std::to_string(ends[0]), tail}, "C.UTF-8", "", "bash");
    close(ends[0]);
    close(ends[1]);
    EXPECT_EQ(0, socket.status) << socket.err;
    // Progress, here after the second's wait, goes to a terminal only.
    const std::string slow = " /dev/zero <(sleep 0.7; echo)";
    Outcome unseen = Run({"\"$0\"" + slow}, "C.UTF-8", "", "bash");
    EXPECT_EQ(1, unseen.status);
    EXPECT_EQ("", unseen.err);
    Outcome seen = Run({"TL=\"$0\" SHELL=/bin/bash script -qec '\"$TL\"" + slow + "' /dev/null"}, "C.UTF-8", "",
                       "bash");
    EXPECT_NE(std::string::npos, seen.out.find(u8"\r160000 バイト")) << seen.out.substr(0, 40);
}

// Shift-JIS bytes as a UTF-8 terminal shows them, every CR LF an LF.
std::string AsUtf8Lines(const std::string &shiftJis, const std::string &dir)
{
    std::string path = dir + "/sjis";
    EXPECT_TRUE(WriteWhole(path, shiftJis.data(), shiftJis.size()));
    std::string command = "iconv -f CP932 -t UTF-8 '" + path + "' | tr -d '\\r'";
    std::string text;
    FILE *pipe = popen(command.c_str(), "r");
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        text.append(chunk, got);
    pclose(pipe);
    return text;
}

// The pairs behind the engine's golden report texts; -o must give the bytes
// Save result gives, --sjis the same on standard output, and a UTF-8 locale
// the same text in UTF-8 with LF line ends. One name is Japanese.
TEST_F(TlcmpTest, SavedReportIsTheWindowsReportFileAndOutputFollowsTheLocale)
{
    Bytes hexFirst(20, 0x41), hexSecond(21, 0x41);
    hexFirst[0] = 5, hexSecond[0] = 10, hexFirst[9] = 255, hexSecond[9] = 0, hexFirst[19] = 0x10,
    hexSecond[19] = 0xab;
    Bytes moreFirst(100), moreSecond(100);
    for (size_t i = 0; i < 100; ++i)
        moreFirst[i] = moreSecond[i] = static_cast<unsigned char>(i * 7);
    for (size_t offset : {3, 50, 99})
        moreSecond[offset] ^= 0x5A;
    struct Row {
        const char *golden;
        Bytes first, second;
        std::vector<std::string> options;
        const char *faceAndVerdict;
        int status;
    };
    const std::vector<Row> rows = {
        {"differ_at_offset_0_hex_spacing.txt", hexFirst, hexSecond, {}, "(ToT)   合計3箇所違います。", 1},
        {"more_line_after_1.txt", moreFirst, moreSecond, {"-m", "1"}, "(ToT)   合計3箇所違います。", 1},
        {"sizes_2_and_1.txt", {7, 8}, {7}, {}, "(~_~)   先頭から 1バイトまでは等しく、1バイト余分です。", 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.golden);
        std::string golden = ReadWhole(std::string(TARNLIGHT_EXPECTED_DIR) + "/" + row.golden);
        ASSERT_FALSE(golden.empty());
        std::string first = Write("one.bin", row.first);
        std::string second = Write(u8"表示 データ.bin", row.second);
        std::string expected = NameLines(first, dir + "/表示 データ.bin") + RULE + row.faceAndVerdict +
                               "\r\n\r\n" + golden;
        std::string report = dir + "/report.txt";
        Write("report.txt", {'o', 'l', 'd'});

        std::vector<std::string> args = row.options;
        args.insert(args.end(), {"-o", report, first, second});
        Outcome converted = Run(args);
        EXPECT_EQ(row.status, converted.status);
        EXPECT_EQ(expected, ReadWhole(report));
        EXPECT_EQ(AsUtf8Lines(expected, dir), converted.out);
        EXPECT_NE(std::string::npos, converted.out.find(u8"ファイル2　" + dir + u8"/表示 データ.bin\n"));
        EXPECT_EQ("", converted.err);

        args.insert(args.begin(), "--sjis");
        Outcome raw = Run(args, "C.UTF-8");
        EXPECT_EQ(row.status, raw.status);
        EXPECT_EQ(expected, raw.out);
        EXPECT_EQ(expected, ReadWhole(report));
    }
    Outcome same = Run({"-o", dir + "/report.txt", dir + "/one.bin", dir + "/one.bin"});
    EXPECT_EQ(0, same.status);
    EXPECT_NE(std::string::npos, same.out.find(u8"(^-^;   本当に同一のファイルです。(当たり前)\n"));
    // One file from two places is two parts that happen to be equal.
    std::string repeated = Write("repeated.bin", Bytes(10, 'A'));
    Outcome shifted = Run({"-i", "1:2", "-n", "5", repeated, repeated});
    EXPECT_EQ(0, shifted.status);
    EXPECT_NE(std::string::npos, shifted.out.find(u8"(^-^)   同じ内容のファイルです。\n")) << shifted.out;
}

// Trouble and wrong command lines: exit status 2, nothing on standard
// output, and the program's own words on standard error.
TEST_F(TlcmpTest, TroubleAndWrongArgumentsExitWith2AndSayWhy)
{
    std::string a = Write("a", {1, 2, 3}), b = Write("b", {1, 2, 4});
    std::string missing = dir + "/missing";
    std::string unsaved = dir + "/no folder/report.txt";
    std::string linkToB = dir + "/link", relativeToB = dir + "/sub/rel", absoluteToB = dir + "/sub/abs";
    ASSERT_EQ(0, symlink(b.c_str(), linkToB.c_str()));
    ASSERT_EQ(0, mkdir((dir + "/sub").c_str(), 0755));
    ASSERT_EQ(0, symlink("../b", relativeToB.c_str()));
    ASSERT_EQ(0, symlink(b.c_str(), absoluteToB.c_str()));
    std::string longMissing = dir + "/" + std::string(300, 'm');
    const std::string overInput = u8"結果の保存先\n\"";
    const std::string overInputEnd = u8"\"は比較するファイルです。上書きしません。\n";
    const std::string usage = u8"使い方: tlcmp [-m N] [-s 0|1|2] [-o REPORT] [-q] [--sjis] [-i SKIP[:SKIP2]] "
                              u8"[-n LIMIT] [-l]\n             ファイル1 ファイル2\n";
    const std::string skipFault = u8"-i には飛ばすバイト数を SKIP か SKIP1:SKIP2 の形で指定してください"
                                  u8"（0 から 9223372036854775807 まで）。\n";
    const std::string bytesFault = u8"-n には比較するバイト数を 0 から 9223372036854775807 までで"
                                   u8"指定してください。\n";
    struct Row {
        std::vector<std::string> args;
        std::string firstLines;     // UTF-8
        bool usage;
    };
    const std::vector<Row> rows = {
        {{missing, b}, u8"1番目のファイル\n\"" + missing + u8"\"が開けません。\n", false},
        {{a, dir}, u8"2番目のファイル\n\"" + dir + u8"\"が開けません。\n", false},
        {{"-o", b, a, b}, overInput + b + overInputEnd, false},
        {{"-o", dir + "/./b", a, b}, overInput + dir + "/./b" + overInputEnd, false},
        {{"-q", "-o", linkToB, a, b}, overInput + linkToB + overInputEnd, false},
        {{"-o", relativeToB, a, b}, overInput + relativeToB + overInputEnd, false},
        {{"-o", absoluteToB, a, b}, overInput + absoluteToB + overInputEnd, false},
        {{a, longMissing}, u8"2番目のファイル\n\"" + longMissing + u8"\"が開けません。\n", false},
        {{"-o", "/dev/full", a, b}, u8"ファイル\n\"/dev/full\"が保存できません（No space left on device）。\n", false},
        {{"-", "-"}, u8"標準入力（-）は片方のファイルにしか指定できません。\n", true},
        {{"-o", unsaved, a, b}, u8"ファイル\n\"" + unsaved + u8"\"が保存できません（No such file or directory）。\n", false},
        {{"-m", "0", a, b}, u8"-m には 1 から 100 までの数を指定してください。\n", true},
        {{"-m", "101", a, b}, u8"-m には 1 から 100 までの数を指定してください。\n", true},
        {{"-m", "+5", a, b}, u8"-m には 1 から 100 までの数を指定してください。\n", true},
        {{"-m", "0", "-q", a, b}, u8"-m には 1 から 100 までの数を指定してください。\n", true},
        {{"-s", " 1", a, b}, u8"-s には 0、1、2 のどれかを指定してください。\n", true},
        {{"-o", "", a, b}, u8"-o には保存するファイルの名前を指定してください。\n", true},
        {{a, b, "-m"}, u8"-m には 1 から 100 までの数を指定してください。\n", true},
        {{"-s", "3", a, b}, u8"-s には 0、1、2 のどれかを指定してください。\n", true},
        {{"-s", "1x", a, b}, u8"-s には 0、1、2 のどれかを指定してください。\n", true},
        {{a, b, "-o"}, u8"-o には保存するファイルの名前を指定してください。\n", true},
        {{"-x", a, b}, u8"-x というオプションはありません。\n", true},
        {{"-sjis", a, b}, u8"-sjis というオプションはありません。\n", true},
        {{"-i", "1:2:3", a, b}, skipFault, true},
        {{"-i", "-1", a, b}, skipFault, true},
        {{"-i", "1Z", a, b}, skipFault, true},
        {{"-n", "9223372036854775808", a, b}, bytesFault, true},
        {{"-n", "8E", a, b}, bytesFault, true},
        {{"-n5x", a, b}, bytesFault, true},
        {{"-n", "1Ki", a, b}, bytesFault, true},
        {{"-n", "0Q", a, b}, bytesFault, true},
        {{"-l", "-q", a, b}, u8"-l は -m、-s、-o、-q と一緒には指定できません。\n", true},
        {{a}, u8"２つのファイルを指定してください。\n", true},
        {{a, b, a}, u8"２つのファイルを指定してください。\n", true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.args.size() > 1 ? row.args[0] + " " + row.args[1] : row.args[0]);
        Outcome run = Run(row.args);
        EXPECT_EQ(2, run.status);
        EXPECT_EQ("", run.out);
        EXPECT_EQ(row.firstLines + (row.usage ? usage + u8"詳しくは tlcmp --help を見てください。\n" : ""),
                  run.err);
    }
    EXPECT_EQ("", ReadWhole(unsaved));
    EXPECT_EQ(std::string("\1\2\4", 3), ReadWhole(b)) << "an input is never overwritten";

    // A file this user may not write is kept, though its folder lets anyone
    // replace it: root's file, run as nobody; run by a user, its own file
    // that only its group may write.
    bool root = geteuid() == 0;
    ASSERT_EQ(0, chmod(dir.c_str(), 0755));
    ASSERT_EQ(0, chmod((dir + "/sub").c_str(), 0777));
    std::string kept = Write("sub/kept.txt", {'o', 'l', 'd'});
    ASSERT_EQ(0, chmod(kept.c_str(), root ? 0644 : 0464));
    std::string asUser = root ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    Outcome refused = Run({asUser + "\"$0\" -o \"$1\" \"$2\" \"$3\"", kept, a, b}, "C.UTF-8", "", "bash");
    EXPECT_EQ(2, refused.status);
    EXPECT_EQ(u8"ファイル\n\"" + kept + u8"\"が保存できません（Permission denied）。\n", refused.err);
    EXPECT_EQ("old", ReadWhole(kept));

    // Output that cannot be written says why.
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{a, b}, {"--sjis", a, b}, {"--help"}, {"-l", a, b}}) {
        Outcome full = Run(args, "C.UTF-8", "/dev/full");
        EXPECT_EQ(2, full.status);
        EXPECT_EQ(0u, full.err.find(args[0] == "--sjis" ? "標準出力に書き込めません（" : u8"標準出力に書き込めません（"));
    }

    Outcome raw = Run({"--sjis", missing, b}, "C.UTF-8");
    EXPECT_EQ(2, raw.status);
    EXPECT_EQ("1番目のファイル\r\n\"" + missing + "\"が開けません。\r\n", raw.err);

    Outcome ended = Run({"--", "-x", b});
    EXPECT_EQ(u8"1番目のファイル\n\"-x\"が開けません。\n", ended.err) << "after -- a name, not an option";

    // A file of 3 bytes grows while -l reads it against a stream: every line
    // stays whole though its offset outgrows the one-digit column.
    std::string fifo = dir + "/fifo", growing = Write("growing", {1, 2, 3});
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    Outcome grown = Run({"\"$0\" -l \"$1\" \"$2\" & exec 3>\"$1\"; sleep 0.5; "
                         "head -c 297 /dev/zero | tr '\\0' x >>\"$2\"; head -c 300 /dev/zero | tr '\\0' y >&3; "
                         "exec 3>&-; wait $!", fifo, growing}, "C.UTF-8", "", "bash");
    std::string lines;
    for (int offset = 1; offset <= 300; ++offset) {
        char line[40];
        std::snprintf(line, sizeof line, "%d 171 %3o\n", offset, offset <= 3 ? offset : 'x');
        lines += line;
    }
    EXPECT_EQ(2, grown.status);
    EXPECT_TRUE(lines == grown.out) << grown.out.substr(0, 200);
    EXPECT_EQ(u8"2番目のファイル\n\"" + growing + u8"\"が比較中に変更されました。\n", grown.err);
}

// -o follows a link and keeps it, writes into a pipe rather than replacing
// it; names keep their own bytes when they are Shift-JIS, show '?' for what
// the charset lacks, and may be as long as the system allows.
TEST_F(TlcmpTest, ReportGoesWhereTheNameLeadsAndNamesStayTrue)
{
    std::string a = Write("a", {1}), b = Write("b", {2});
    std::string target = dir + "/target.txt", link = dir + "/link.txt", farLink = dir + "/sub/far.txt";
    ASSERT_EQ(0, symlink("target.txt", link.c_str()));
    ASSERT_EQ(0, mkdir((dir + "/sub").c_str(), 0755));
    ASSERT_EQ(0, symlink(target.c_str(), farLink.c_str()));
    struct stat info;
    for (const std::string &name : {link, farLink}) {
        Write("target.txt", {'o', 'l', 'd'});
        ASSERT_EQ(1, Run({"-o", name, a, b}).status);
        ASSERT_EQ(0, lstat(name.c_str(), &info));
        EXPECT_TRUE(S_ISLNK(info.st_mode));
        EXPECT_EQ(Run({"--sjis", a, b}).out, ReadWhole(target)) << name;
    }

    // Standard output or error by another name is written into, never
    // renamed over.
    const std::string report = Run({"--sjis", a, b}).out;
    const struct { const char *redirect; std::string logged; } streams[] = {
        {"/dev/stdout \"$2\" \"$3\" >>", report + report}, {"/dev/stderr \"$2\" \"$3\" 2>>", report}};
    for (const auto &stream : streams) {
        std::string log = Write("log", {'L', 'O', 'G', '\n'});
        Run({"\"$0\" --sjis -o " + std::string(stream.redirect) + " \"$1\"", log, a, b}, "C.UTF-8", "", "bash");
        EXPECT_EQ("LOG\n" + stream.logged, ReadWhole(log)) << stream.redirect;
    }

    std::string fifo = dir + "/fifo";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(1, Run({"-q", "-o", fifo, a, b}).status);
    char got[4096];
    ssize_t length = read(reader, got, sizeof got);
    close(reader);
    EXPECT_EQ(Run({"--sjis", a, b}).out, std::string(got, length > 0 ? length : 0));
    ASSERT_EQ(0, lstat(fifo.c_str(), &info));
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    std::string shiftJisName = Write("\x95\x5c.bin", {1}), foreign = Write(u8"café½€.bin", {1});
    EXPECT_NE(std::string::npos, Run({"--sjis", shiftJisName, a}).out.find("ファイル1　" + shiftJisName + "\r\n"));
    EXPECT_NE(std::string::npos, Run({foreign, a}).out.find(u8"ファイル1　" + dir + u8"/caf???.bin\n"));

    std::string deep = dir + "/" + std::string(200, 'd');
    ASSERT_EQ(0, mkdir(deep.c_str(), 0755));
    std::string longPath = Write(std::string(200, 'd') + "/" + std::string(200, 'f'), {1});
    Outcome far = Run({longPath, a});
    EXPECT_EQ(0, far.status) << far.err;
    EXPECT_NE(std::string::npos, far.out.find(u8"ファイル1　" + longPath + "\n"));
    EXPECT_NE(std::string::npos, Run({a, longPath}).out.find(u8"ファイル2　" + longPath + "\n"));
}

// The Debian package as a user installs it: tlcmp and its manual page, and
// nothing else; the tlcmp inside it runs.
TEST_F(TlcmpTest, DebianPackageHoldsAWorkingTlcmpAndItsManualPage)
{
    std::string package = dir + "/package", root = package + "/root";
    Outcome packed = Run({"cpack --config \"$1\" -G DEB -B \"$2\" >/dev/null && "
                          "dpkg-deb -x \"$2\"/tlcmp_*.deb \"$2/root\" && find \"$2/root\" -type f | sort",
                          TLCMP_PACKAGE_CONFIG, package}, "C.UTF-8", "", "bash");
    ASSERT_EQ(0, packed.status) << packed.err;
    EXPECT_EQ(root + "/usr/bin/tlcmp\n" + root + "/usr/share/man/man1/tlcmp.1\n", packed.out);
    EXPECT_EQ(ReadWhole(TLCMP_MANUAL_PAGE), ReadWhole(root + "/usr/share/man/man1/tlcmp.1"));
    std::string a = Write("a", {'a', 'b', 'c'}), b = Write("b", {'a', 'X'});
    Outcome listed = Run({"\"$1\" -l \"$2\" \"$3\"", root + "/usr/bin/tlcmp", a, b}, "C.UTF-8", "", "bash");
    EXPECT_EQ(1, listed.status);
    EXPECT_EQ("2 142 130\n", listed.out);
    EXPECT_EQ("tlcmp: EOF on " + b + " after byte 2\n", listed.err);
}

TEST_F(TlcmpTest, HelpExplainsEveryOptionAndVersionNamesTheProgramsVersion)
{
    Outcome help = Run({"--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_EQ(0u, help.out.find(u8"使い方: tlcmp "));
    for (const char *option : {"-m N", "-s 0|1|2", "-o REPORT", "-q ", "--sjis", "-i SKIP ", "-i SKIP1:SKIP2",
                               "-n LIMIT", "-l ", "--version"})
        EXPECT_NE(std::string::npos, help.out.find(std::string("\n  ") + option)) << option;
    EXPECT_NE(std::string::npos, help.out.find(u8"どちらか一方のファイルが終端に達するまで比較する"));
    EXPECT_EQ(std::string::npos, help.out.find('\r'));

    Outcome version = Run({"--version"});
    EXPECT_EQ(0, version.status);
    EXPECT_EQ("tlcmp (Tarnlight) ver1.0\n", version.out);
}

} // namespace
