// The main panel as the user meets it after start-up, and dialog template 100
// as the build stored it, read back from this executable's own resources.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "harness.h"

#include <commctrl.h>

namespace {

const DWORD CHILD = WS_CHILD | WS_VISIBLE;

// In template order.
const std::vector<TemplateControl> PANEL_CONTROLS = {
    {1000, "EDIT", CHILD | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 43, 1, 226, 13, ""},
    {1001, "EDIT", CHILD | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 43, 17, 226, 13, ""},
    {1002, "EDIT", CHILD | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL,
     WS_EX_STATICEDGE | WS_EX_TRANSPARENT, 39, 41, 227, 12, ""},
    {1005, "EDIT",
     CHILD | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
     WS_EX_CLIENTEDGE, 9, 57, 258, 75, ""},
    {-1, "STATIC", CHILD | SS_LEFT, 0, 3, 3, 37, 10, "\x83\x74\x83\x40\x83\x43\x83\x8b\x31"},
    {-1, "STATIC", CHILD | SS_LEFT, 0, 3, 19, 37, 10, "\x83\x74\x83\x40\x83\x43\x83\x8b\x32"},
    {1004, "BUTTON", CHILD | BS_GROUPBOX, 0, 3, 31, 270, 107, "\x8c\x8b\x89\xca"},
    {1010, "STATIC", CHILD | SS_CENTER, WS_EX_CLIENTEDGE, 10, 41, 25, 11, "(-_-)"},
    {1007, "MSCTLS_PROGRESS32", CHILD, WS_EX_CLIENTEDGE, 40, 41, 227, 12, "Progress1"},
};

// In capitals, as the template names the standard classes.
std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return CharUpperA(name);
}

typedef MainWindowFixture PanelTest;

TEST_F(PanelTest, IsAVisibleChildDialogAtZero32InTheMainWindowsClientArea)
{
    ASSERT_NE(g_panel, (HWND)NULL);
    EXPECT_EQ(GetParent(g_panel), mainWindow);
    EXPECT_EQ(ClassOf(g_panel), "#32770");
    EXPECT_TRUE(IsWindowVisible(g_panel));
    LONG style = GetWindowLongA(g_panel, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_EQ(style & WS_CAPTION, 0);

    RECT frame;
    GetWindowRect(g_panel, &frame);
    POINT corner = {frame.left, frame.top};
    ScreenToClient(mainWindow, &corner);
    EXPECT_EQ(corner.x, 0);
    EXPECT_EQ(corner.y, 32);

    // The panel keeps its template size; the layout pass never resizes it.
    RECT units = {0, 0, 706, 856};
    MapDialogRect(g_panel, &units);
    RECT client;
    GetClientRect(g_panel, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
}

TEST_F(PanelTest, ShowsEveryControlWithItsClassAndStartText)
{
    std::vector<HWND> labels;
    for (HWND child = GetWindow(g_panel, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) == -1 || GetDlgCtrlID(child) == 0xffff)
            labels.push_back(child);
    }
    ASSERT_EQ(labels.size(), 2u);
    std::vector<std::string> labelTexts = {WindowText(labels[0]), WindowText(labels[1])};
    std::sort(labelTexts.begin(), labelTexts.end());
    EXPECT_EQ(labelTexts[0], PANEL_CONTROLS[4].text);
    EXPECT_EQ(labelTexts[1], PANEL_CONTROLS[5].text);

    for (const TemplateControl &expected : PANEL_CONTROLS) {
        if (expected.id == -1)
            continue;
        SCOPED_TRACE(expected.id);
        HWND control = GetDlgItem(g_panel, expected.id);
        ASSERT_NE(control, (HWND)NULL);
        EXPECT_EQ(ClassOf(control), expected.className);
        EXPECT_EQ(IsWindowVisible(control) != FALSE, expected.id != IDC_PROGRESS);
    }
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), "");
    EXPECT_EQ(ControlText(g_panel, IDC_FILE2), "");
    EXPECT_EQ(ControlText(g_panel, IDC_RESULT), "");
    EXPECT_EQ(ControlText(g_panel, IDC_RESULTBOX), "\x8c\x8b\x89\xca");
    // The template's "(-_-)" is gone: the first layout pass empties the face.
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "");
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "");
}

TEST_F(PanelTest, ProgressBarCountsZeroToHundredInSingleSteps)
{
    HWND bar = GetDlgItem(g_panel, IDC_PROGRESS);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 1);
}

TEST_F(PanelTest, SharedFileDialogRecordIsFilledForThePanel)
{
    EXPECT_EQ(g_fileDialog.hwndOwner, g_panel);
    // Label, pattern and the empty string that ends the list.
    static const char filter[] = "\x91\x53\x82\xc4\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\x20\x28\x2a\x2e\x2a\x29"
                                 "\0*.*\0";
    ASSERT_NE(g_fileDialog.lpstrFilter, (const char *)NULL);
    EXPECT_EQ(std::memcmp(g_fileDialog.lpstrFilter, filter, sizeof filter), 0)
        << HexBytes(std::string(g_fileDialog.lpstrFilter, sizeof filter));
    EXPECT_EQ(g_fileDialog.nFilterIndex, 1u);
    EXPECT_EQ(g_fileDialog.lpstrFile, g_dialogFileName);
    EXPECT_EQ(g_fileDialog.nMaxFile, 256u);
    EXPECT_EQ(g_fileDialog.lpstrInitialDir, (const char *)NULL);
    EXPECT_EQ(g_fileDialog.Flags, 0x81006u);
    EXPECT_STREQ(g_fileDialog.lpstrDefExt, "txt");
}

TEST(PanelTemplate, IsAnExtendedJapaneseChildDialogHoldingTheListedControls)
{
    DialogTemplate d;
    ASSERT_TRUE(ReadDialogTemplate(MAKEINTRESOURCEA(IDD_PANEL), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), &d));
    EXPECT_EQ(d.style, static_cast<DWORD>(WS_CHILD | DS_SETFONT));
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, 706);
    EXPECT_EQ(d.cy, 856);
    EXPECT_EQ(d.menu + d.windowClass + d.caption, "");
    EXPECT_EQ(d.pointSize, 9);
    EXPECT_EQ(d.weight, 0);
    EXPECT_EQ(d.italic, 0);
    EXPECT_EQ(d.charset, DEFAULT_CHARSET);
    // "ＭＳ ゴシック": two full-width letters, an ASCII space, katakana.
    EXPECT_EQ(HexBytes(d.fontName), HexBytes("\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e"));
    ExpectTemplateControls(d, PANEL_CONTROLS);
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(ProgramIcon, HoldsA32And16PixelImageOf16ColoursWithMask)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDI_APP), RT_GROUP_ICON);
    ASSERT_NE(group, (HRSRC)NULL);
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(module, group)));
    WORD count;
    std::memcpy(&count, data + 4, sizeof count);
    ASSERT_EQ(count, 2);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        IconGroupEntry entry;
        std::memcpy(&entry, data + 6 + i * sizeof entry, sizeof entry);
        sizes.push_back(entry.width);
        EXPECT_EQ(entry.height, entry.width);
        EXPECT_EQ(entry.colourCount, 16);
        HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(entry.id), RT_ICON);
        ASSERT_NE(image, (HRSRC)NULL);
        BITMAPINFOHEADER header;
        std::memcpy(&header, LockResource(LoadResource(module, image)), sizeof header);
        EXPECT_EQ(header.biBitCount, 4);
        EXPECT_EQ(header.biWidth, entry.width);
        // Colour image and transparency mask are stacked: twice the height.
        EXPECT_EQ(header.biHeight, 2 * entry.width);
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32}));
}

} // namespace
