// Pins the Shift-JIS bytes of the program's texts, so a build whose
// execution charset is not code page 932 cannot pass.
#include <gtest/gtest.h>

#include <string>

#include "compare/compare.h"
#include "fake_platform.h"
#include "settings/settings.h"

namespace {

std::string Hex(const std::string &text)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : text) {
        if (!hex.empty())
            hex += ' ';
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

TEST(CharsetTest, TrailByte5CSurvivesInLiterals)
{
    // The second byte of 表 is a backslash; a wrong charset or a lost
    // escape shows here first.
    EXPECT_EQ("95 5c 8e a6", Hex("表示"));
}

TEST(CharsetTest, EngineTextsAreShiftJis)
{
    g_settings = DefaultSettings();
    ResetFakePlatform();
    RunComparison(FakePanel());
    EXPECT_EQ("82 51 82 c2 82 cc 83 74 83 40 83 43 83 8b 82 f0 8e 77 92 e8 82 b5 82 c4 82 ad 82 be 82 b3 82 a2 81 42",
              Hex(g_fake.texts[MESSAGE_LINE]));

    ResetFakePlatform();
    g_fake.texts[FILE1_FIELD] = "/dev/null";
    g_fake.texts[FILE2_FIELD] = "/dev/null";
    RunComparison(FakePanel());
    std::string ideographicSpace = "81 40 ";
    std::string header;
    for (int i = 0; i < 10; ++i)
        header += ideographicSpace;
    header += "3c 83 74 83 40 83 43 83 8b 31 3e ";
    for (int i = 0; i < 4; ++i)
        header += ideographicSpace;
    header += "3c 83 74 83 40 83 43 83 8b 32 3e 0d 0a 0d 0a";
    EXPECT_EQ(header, Hex(std::string(g_reportText).substr(0, 54)));
    EXPECT_EQ("(^-^;", std::string(g_face));
}

}  // namespace
