// Tests of the verdict rules, their faces and the order in which the three
// result texts reach the panel.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "compare/compare.h"
#include "fake_platform.h"
#include "settings/settings.h"

namespace {

class VerdictTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_settings = DefaultSettings();
        ResetFakePlatform();
        std::strcpy(g_fileName1, "C:\\data\\a.bin");
        std::strcpy(g_fileName2, "C:\\data\\b.bin");
        std::strcpy(g_reportText, "report\r\n");
    }

    void Expect(int64_t differences, int64_t first, int64_t second, const std::string &line,
                const std::string &face)
    {
        SCOPED_TRACE(testing::Message() << differences << " differences, sizes " << first << " and " << second);
        ResetFakePlatform();
        FileSizes sizes = {first, second};
        ShowVerdict(FakePanel(), differences, sizes, g_settings);
        EXPECT_EQ(line, std::string(g_verdictLine));
        EXPECT_EQ(face, std::string(g_face));
    }
};

TEST_F(VerdictTest, CountIsToldWhenItIsExact)
{
    Expect(500, 10000, 10000, "合計500箇所違います。", "(ToT)");
    Expect(1, 1000, 1200, "合計1箇所違います。", "(ToT)");
    Expect(5000000000LL, 6000000000LL, 6000000000LL, "合計5000000000箇所違います。", "(ToT)");
    g_settings.compcancel = STOP_AT_MAX;
    Expect(30, 100, 100, "合計30箇所違います。", "(ToT)");
}

TEST_F(VerdictTest, ContentDiffersWhenTheCountIsCutShort)
{
    g_settings.compcancel = STOP_AT_MAX;
    Expect(31, 100, 100, "違う内容のファイルです。", "(ToT)");
    g_settings.maxdiffno = 1;
    Expect(2, 100, 300, "違う内容のファイルです。", "(ToT)");
    g_settings.compcancel = STOP_AT_FIRST;
    Expect(1, 100, 100, "違う内容のファイルです。", "(ToT)");
}

TEST_F(VerdictTest, EqualPrefixTellsTheShorterSizeAndTheExtra)
{
    Expect(0, 1000, 1200, "先頭から 1000バイトまでは等しく、200バイト余分です。", "(~_~)");
    Expect(0, 1200, 1000, "先頭から 1000バイトまでは等しく、200バイト余分です。", "(~_~)");
    Expect(0, 0, 10, "先頭から 0バイトまでは等しく、10バイト余分です。", "(~_~)");
    Expect(0, 5000000000LL, 9999999999LL, "先頭から 5000000000バイトまでは等しく、4999999999バイト余分です。",
           "(~_~)");
}

TEST_F(VerdictTest, EqualContentDependsOnSizeAndNames)
{
    Expect(0, 0, 0, "同じ内容のファイルです。両方とも空だけど・・・", "(^-^;");
    std::strcpy(g_fileName2, g_fileName1);
    Expect(0, 0, 0, "同じ内容のファイルです。両方とも空だけど・・・", "(^-^;");
    Expect(0, 7, 7, "本当に同一のファイルです。(当たり前)", "(^-^;");
    std::strcpy(g_fileName2, "c:\\data\\a.bin");
    Expect(0, 7, 7, "同じ内容のファイルです。", "(^-^)");
    Expect(0, 1, 1, "同じ内容のファイルです。", "(^-^)");
}

TEST_F(VerdictTest, TextsReachThePanelInOrder)
{
    FileSizes sizes = {3, 3};
    ShowVerdict(FakePanel(), 2, sizes, g_settings);
    ASSERT_EQ(3u, g_fake.calls.size());
    EXPECT_EQ(MESSAGE_LINE, g_fake.calls[0].id);
    EXPECT_EQ("合計2箇所違います。", g_fake.calls[0].text);
    EXPECT_EQ(FACE_FIELD, g_fake.calls[1].id);
    EXPECT_EQ("(ToT)", g_fake.calls[1].text);
    EXPECT_EQ(RESULT_FIELD, g_fake.calls[2].id);
    EXPECT_EQ("report\r\n", g_fake.calls[2].text);
    for (const PanelCall &call : g_fake.calls)
        EXPECT_EQ("SetText", call.op);
}

}  // namespace
