// The layout pass in the real window: the six controls that follow the
// window's size, and the warnings of a window narrower than 420 pixels.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

// In the order of the layout pass.
const int LAYOUT_IDS[] = {IDC_FILE1, IDC_FILE2, IDC_RESULTBOX, IDC_MESSAGE, IDC_PROGRESS, IDC_RESULT};

struct Sizes {
    int width[6];
    int height[6];
};

const Sizes AT_420_BY_290 = {{340, 340, 404, 342, 342, 387}, {20, 20, 160, 20, 20, 114}};

struct LayoutTest : MainWindowFixture {
    void Resize(int width, int height)
    {
        SetWindowPos(mainWindow, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpMessages();
        RECT frame;
        GetWindowRect(mainWindow, &frame);
        ASSERT_EQ(frame.right - frame.left, width) << "the window system refused the width";
        ASSERT_EQ(frame.bottom - frame.top, height);
    }

    void ExpectSizes(const Sizes &expected)
    {
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(LAYOUT_IDS[i]);
            RECT r;
            GetWindowRect(GetDlgItem(g_panel, LAYOUT_IDS[i]), &r);
            EXPECT_EQ(r.right - r.left, expected.width[i]);
            EXPECT_EQ(r.bottom - r.top, expected.height[i]);
        }
    }

    void FillFaceAndMessage()
    {
        SetDlgItemTextA(g_panel, IDC_FACE, "(^-^)");
        SetDlgItemTextA(g_panel, IDC_MESSAGE, "verdict");
    }
};

TEST_F(LayoutTest, ControlsFollowTheWindowSizeAndPositionsStay)
{
    RECT before;
    GetWindowRect(GetDlgItem(g_panel, IDC_RESULT), &before);
    ExpectSizes(AT_420_BY_290);
    // A low window gives the growing controls no height rather than less than none.
    struct Case { int width, height; Sizes sizes; };
    const Case cases[] = {
        {600, 400, {{520, 520, 584, 522, 522, 567}, {20, 20, 270, 20, 20, 224}}},
        {420, 150, {{340, 340, 404, 342, 342, 387}, {20, 20, 20, 20, 20, 0}}},
        {420, 125, {{340, 340, 404, 342, 342, 387}, {20, 20, 0, 20, 20, 0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        Resize(c.width, c.height);
        ExpectSizes(c.sizes);
        RECT after;
        GetWindowRect(GetDlgItem(g_panel, IDC_RESULT), &after);
        EXPECT_EQ(after.left, before.left);
        EXPECT_EQ(after.top, before.top);
    }
}

struct BandEdge {
    int width;
    const char *face;
    const char *message;    // Shift-JIS bytes
};

// Visited in this order so that every step changes the size.
const BandEdge BAND_EDGES[] = {
    {419, "(=_=)", "\x92\x8d\x88\xd3\x81\x40\x89\xa1\x95\x9d\x82\xaa\x95\x57\x8f\x80\x82\xe6\x82\xe8\x8f\xac"
                   "\x82\xb3\x82\xad\x82\xc8\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7"},
    {420, "", ""},
    {301, "(=_=)", "\x92\x8d\x88\xd3\x81\x40\x89\xa1\x95\x9d\x82\xaa\x95\x57\x8f\x80\x82\xe6\x82\xe8\x8f\xac"
                   "\x82\xb3\x82\xad\x82\xc8\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7"},
    {300, "(=o=)", "\x8c\x78\x8d\x90\x81\x49\x81\x40\x89\xa1\x95\x9d\x82\xaa\x8b\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7"},
    {121, "(=o=)", "\x8c\x78\x8d\x90\x81\x49\x81\x40\x89\xa1\x95\x9d\x82\xaa\x8b\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7"},
    {120, "(ToT)", "\x8b\xb7\x82\xb7\x82\xac\x21\x21"},
};

TEST_F(LayoutTest, BandEdgesShowTheirWarningAndKeepTheWidthsOf420)
{
    for (const BandEdge &edge : BAND_EDGES) {
        SCOPED_TRACE(edge.width);
        Resize(edge.width, 290);
        EXPECT_EQ(HexBytes(ControlText(g_panel, IDC_FACE)), HexBytes(edge.face));
        EXPECT_EQ(HexBytes(ControlText(g_panel, IDC_MESSAGE)), HexBytes(edge.message));
        ExpectSizes(AT_420_BY_290);
    }
}

TEST_F(LayoutTest, ResizeEmptiesFaceAndMessageButKeepsTheReport)
{
    FillFaceAndMessage();
    SetDlgItemTextA(g_panel, IDC_RESULT, "report");
    RECT faceBefore, faceAfter;
    GetWindowRect(GetDlgItem(g_panel, IDC_FACE), &faceBefore);
    Resize(500, 300);
    GetWindowRect(GetDlgItem(g_panel, IDC_FACE), &faceAfter);
    EXPECT_TRUE(EqualRect(&faceBefore, &faceAfter)) << "the face field keeps its size";
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "");
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "");
    EXPECT_EQ(ControlText(g_panel, IDC_RESULT), "report");
}

TEST_F(LayoutTest, SizeMessageAtAnUnchangedSizeKeepsTheTexts)
{
    // As the one that follows creation: it must not wipe a start-up verdict.
    FillFaceAndMessage();
    SendMessageA(mainWindow, WM_SIZE, SIZE_RESTORED, 0);
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "(^-^)");
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "verdict");
    ExpectSizes(AT_420_BY_290);
}

TEST_F(LayoutTest, MinimisingRestoringAndMaximisingEachRunThePass)
{
    // Minimised, the window measures as narrow as its icon: the pass warns.
    FillFaceAndMessage();
    ShowWindow(mainWindow, SW_MINIMIZE);
    PumpMessages();
    ASSERT_TRUE(IsIconic(mainWindow));
    RECT frame;
    GetWindowRect(mainWindow, &frame);
    ASSERT_LT(frame.right - frame.left, 420);
    EXPECT_NE(ControlText(g_panel, IDC_FACE), "(^-^)");
    EXPECT_NE(ControlText(g_panel, IDC_FACE), "");
    EXPECT_NE(ControlText(g_panel, IDC_MESSAGE), "verdict");

    ShowWindow(mainWindow, SW_RESTORE);
    PumpMessages();
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "");
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "");
    ExpectSizes(AT_420_BY_290);

    FillFaceAndMessage();
    ShowWindow(mainWindow, SW_MAXIMIZE);
    PumpMessages();
    ASSERT_TRUE(IsZoomed(mainWindow));
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "");
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "");
    GetWindowRect(mainWindow, &frame);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    ASSERT_GT(width, 420);
    ExpectSizes({{width - 80, width - 80, width - 16, width - 78, width - 78, width - 33},
                 {20, 20, height - 130, 20, 20, height - 176}});
}

TEST_F(LayoutTest, PassLeavesTheResultFieldOnTopThenTheOthersInReverseOrder)
{
    Resize(450, 300);
    HWND child = GetWindow(g_panel, GW_CHILD);
    for (int i = 5; i >= 0; --i) {
        ASSERT_NE(child, (HWND)NULL);
        EXPECT_EQ(GetDlgCtrlID(child), LAYOUT_IDS[i]);
        child = GetWindow(child, GW_HWNDNEXT);
    }
}

} // namespace
