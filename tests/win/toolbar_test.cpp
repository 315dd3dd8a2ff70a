// The toolbar of the real main window: its buttons for given slot states, its
// style, clicks that reach the main window, and the resources it is drawn from.
#include <gtest/gtest.h>

#include "harness.h"

#include <commctrl.h>
#include <algorithm>
#include <cstdio>

#include "settings/settings.h"

namespace {

typedef int32_t SlotStates[TOOLBAR_SLOTS];

const SlotStates DEFAULT_STATES = {2, 1, 1, 1, 2, 0, 1, 1, 1, 0, 2, 1, 2, 1, 1};
const SlotStates ALL_HIDDEN = {2, 0, 0, 0, 2, 0, 0, 0, 0, 0, 2, 0, 2, 0, 0};

enum { ENABLED = TBSTATE_ENABLED, HIDDEN = TBSTATE_HIDDEN, BUTTON = TBSTYLE_BUTTON, SEP = TBSTYLE_SEP };

struct Record {
    int iBitmap;
    int idCommand;
    int fsState;
    int fsStyle;
};

bool operator==(const Record &a, const Record &b)
{
    return a.iBitmap == b.iBitmap && a.idCommand == b.idCommand &&
           a.fsState == b.fsState && a.fsStyle == b.fsStyle;
}

std::ostream &operator<<(std::ostream &out, const Record &r)
{
    return out << "{bitmap " << r.iBitmap << ", id " << r.idCommand
               << ", state 0x" << std::hex << r.fsState << ", style 0x" << r.fsStyle << std::dec << "}";
}

// Into the registry, which the window's creation loads, and into the record as
// well, so the toolbar sees these states however the record gets filled.
void UseToolbarSettings(const SlotStates &states, int32_t flat)
{
    g_settings = DefaultSettings();
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
        char name[16];
        snprintf(name, sizeof name, "toolon%2d", slot);
        StoreSetting(name, states[slot]);
        g_settings.toolon[slot] = states[slot];
    }
    StoreSetting("toolflat", flat);
    g_settings.toolflat = flat;
}

std::vector<Record> ToolbarRecords(HWND toolbar)
{
    std::vector<Record> records;
    int count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        records.push_back({button.iBitmap, button.idCommand, button.fsState, button.fsStyle});
    }
    return records;
}

RECT ItemRect(HWND toolbar, int index)
{
    RECT rect = {};
    SendMessageA(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

struct ToolbarTest : ::testing::Test {
    HWND mainWindow = NULL;
    HWND toolbar = NULL;

    void SetUp() override { RemoveTarnlightRegistry(); }
    void TearDown() override
    {
        if (mainWindow != NULL)
            CloseMainWindow(mainWindow);
        RemoveTarnlightRegistry();
        g_settings = DefaultSettings();
    }

    void Start(const SlotStates &states, int32_t flat)
    {
        UseToolbarSettings(states, flat);
        mainWindow = StartMainWindow();
        ASSERT_NE(mainWindow, (HWND)NULL);
        toolbar = GetDlgItem(mainWindow, IDC_TOOLBAR);
        ASSERT_NE(toolbar, (HWND)NULL);
        ASSERT_EQ(toolbar, g_toolbar);
    }
};

TEST_F(ToolbarTest, DefaultSettingsGiveTheFifteenSlotsInOrder)
{
    Start(DEFAULT_STATES, 1);
    const std::vector<Record> expected = {
        {0, 1200, ENABLED, SEP},     {1, 1201, ENABLED, BUTTON},  {2, 1202, ENABLED, BUTTON},
        {3, 1203, ENABLED, BUTTON},  {4, 1200, ENABLED, SEP},     {5, 1205, HIDDEN, BUTTON},
        {6, 1206, ENABLED, BUTTON},  {7, 1207, ENABLED, BUTTON},  {8, 1208, ENABLED, BUTTON},
        {9, 1209, HIDDEN, BUTTON},   {10, 1200, ENABLED, SEP},    {11, 1211, ENABLED, BUTTON},
        {12, 1200, ENABLED, SEP},    {13, 1213, ENABLED, BUTTON}, {14, 1214, ENABLED, BUTTON},
    };
    EXPECT_EQ(ToolbarRecords(toolbar), expected);
}

// The bits the program chooses; the control adds WS_CHILD and may add others.
const DWORD CHOSEN_BITS = WS_VISIBLE | WS_BORDER | CCS_TOP | CCS_NOMOVEY | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS;

TEST_F(ToolbarTest, SlotStatesAndFlatFlagGiveTheButtonsWidthsAndStyle)
{
    struct Case {
        const char *name;
        std::vector<std::pair<int, int32_t>> changed;   // slot, state over the defaults
        int32_t flat;
    };
    const Case cases[] = {
        {"defaults", {}, 1},
        {"all buttons hidden, raised", {{1, 0}, {2, 0}, {3, 0}, {6, 0}, {7, 0}, {8, 0}, {11, 0}, {13, 0}, {14, 0}}, 0},
        {"Undo and Copy stored as 2", {{5, 2}, {7, 2}}, -1},
        {"any other state shows the button", {{9, 7}, {3, -3}}, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SlotStates states;
        std::copy(DEFAULT_STATES, DEFAULT_STATES + TOOLBAR_SLOTS, states);
        for (const auto &change : c.changed)
            states[change.first] = change.second;
        Start(states, c.flat);
        DWORD style = static_cast<DWORD>(GetWindowLongA(toolbar, GWL_STYLE));
        EXPECT_EQ(style & CHOSEN_BITS, c.flat ? 0x10800801u : 0x10800001u) << std::hex << style;
        EXPECT_NE(style & WS_CHILD, 0u);

        std::vector<Record> records = ToolbarRecords(toolbar);
        ASSERT_EQ(records.size(), 15u);
        int right = 0;
        int buttonWidth = -1;
        for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
            SCOPED_TRACE(slot);
            bool separator = IsSeparatorSlot(slot) || states[slot] == 2;
            Record expected = separator ? Record{slot, 1200, ENABLED, SEP}
                                        : Record{slot, 1200 + slot, states[slot] == 0 ? HIDDEN : ENABLED, BUTTON};
            EXPECT_EQ(records[slot], expected);
            if (expected.fsState == HIDDEN)
                continue;
            // Shown items follow one another from the left; a separator is
            // as wide as its index, slot 0 takes the control's default width.
            RECT r = ItemRect(toolbar, slot);
            EXPECT_EQ(r.left, right);
            right = r.right;
            int width = r.right - r.left;
            if (!separator && buttonWidth < 0)
                buttonWidth = width;
            EXPECT_EQ(width, separator ? (slot > 0 ? slot : width) : buttonWidth) << "a separator as wide as its index, buttons all alike";
            EXPECT_GT(width, 0);
        }
        CloseMainWindow(mainWindow);
        mainWindow = NULL;
        RemoveTarnlightRegistry();
    }
}

// Clicks: the main window's procedure is wrapped to record the commands it gets.
WNDPROC g_programProc;
std::vector<int> g_commands;

LRESULT CALLBACK RecordCommands(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND)
        g_commands.push_back(LOWORD(wParam));
    return CallWindowProcA(g_programProc, hwnd, msg, wParam, lParam);
}

// The five texts a command may change, in one string for comparing.
std::string ReadPanel()
{
    std::string texts;
    for (int id : {IDC_FILE1, IDC_FILE2, IDC_RESULT, IDC_FACE, IDC_MESSAGE})
        texts += ControlText(g_panel, id) + " | ";
    return texts;
}

struct ToolbarClickTest : ToolbarTest {
    std::string file1, file2;

    void SetUp() override
    {
        ToolbarTest::SetUp();
        SlotStates states;
        std::copy(DEFAULT_STATES, DEFAULT_STATES + TOOLBAR_SLOTS, states);
        states[9] = 1;  // Clear shown, so it can be clicked
        Start(states, 1);
        g_programProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordCommands)));
        g_commands.clear();
        file1 = MakeTempFile("click-a.bin", std::string("same bytes\0one", 14));
        file2 = MakeTempFile("click-b.bin", std::string("same bytes\0two", 14));
    }

    void TearDown() override
    {
        if (mainWindow != NULL && g_programProc != NULL)
            SetWindowLongPtrA(mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_programProc));
        ToolbarTest::TearDown();
    }

    void FillPanel()
    {
        SetDlgItemTextA(g_panel, IDC_FILE1, file1.c_str());
        SetDlgItemTextA(g_panel, IDC_FILE2, file2.c_str());
        SetDlgItemTextA(g_panel, IDC_RESULT, "earlier result");
        SetDlgItemTextA(g_panel, IDC_FACE, "(^_^)");
        SetDlgItemTextA(g_panel, IDC_MESSAGE, "earlier message");
    }

    void ClickSlot(int slot)
    {
        RECT r = ItemRect(toolbar, slot);
        LPARAM centre = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, centre);
        SendMessageA(toolbar, WM_LBUTTONUP, 0, centre);
        PumpMessages();
    }

    // The click and the menu command, each from the same panel, end alike.
    void ExpectClickActsAsMenu(int slot, int menuId)
    {
        FillPanel();
        ClickSlot(slot);
        std::string afterClick = ReadPanel();
        EXPECT_EQ(g_commands, std::vector<int>{1200 + slot});

        FillPanel();
        SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(menuId, 0), 0);
        PumpMessages();
        EXPECT_EQ(ReadPanel(), afterClick);
    }
};

TEST_F(ToolbarClickTest, CompareAndClearButtonsActAsTheirMenuCommands)
{
    ExpectClickActsAsMenu(11, IDM_COMPARE);
    g_commands.clear();
    ExpectClickActsAsMenu(9, IDM_CLEAR);
}

TEST_F(ToolbarClickTest, ClickOnASeparatorSendsNothing)
{
    ClickSlot(10);
    EXPECT_TRUE(g_commands.empty()) << g_commands.size() << " commands";
}

// The resources, read back from the module the toolbar loads them from.
const BYTE *ResourceBytes(LPCSTR type, int id, DWORD *size)
{
    HRSRC found = FindResourceA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), type);
    if (found == NULL)
        return NULL;
    *size = SizeofResource(GetModuleHandleA(NULL), found);
    return static_cast<const BYTE *>(LockResource(LoadResource(GetModuleHandleA(NULL), found)));
}

struct Strip {
    const BITMAPINFOHEADER *header;
    const RGBQUAD *palette;
    const BYTE *pixels;
};

// Palette index of pixel (x, y), y counted from the top of the bottom-up rows.
int PixelIndex(const Strip &strip, int x, int y)
{
    int stride = (strip.header->biWidth * strip.header->biBitCount + 31) / 32 * 4;
    BYTE pair = strip.pixels[(strip.header->biHeight - 1 - y) * stride + x / 2];
    return x % 2 == 0 ? pair >> 4 : pair & 0x0f;
}

int ForeignPixels(const Strip &strip, int image, int background)
{
    int count = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 16 * image; x < 16 * image + 16; ++x)
            count += PixelIndex(strip, x, y) != background;
    return count;
}

TEST(ToolbarResources, StripIs256By16InSixteenColoursOnLightGrey)
{
    DWORD size = 0;
    const BYTE *bytes = ResourceBytes(RT_BITMAP, IDB_TOOLBAR, &size);
    ASSERT_NE(bytes, (const BYTE *)NULL);
    Strip strip;
    strip.header = reinterpret_cast<const BITMAPINFOHEADER *>(bytes);
    EXPECT_EQ(strip.header->biWidth, 256);
    EXPECT_EQ(strip.header->biHeight, 16);
    EXPECT_EQ(strip.header->biBitCount, 4);
    EXPECT_EQ(strip.header->biCompression, static_cast<DWORD>(BI_RGB));
    ASSERT_GE(size, strip.header->biSize + 16 * sizeof(RGBQUAD) + 128u * 16u);
    strip.palette = reinterpret_cast<const RGBQUAD *>(bytes + strip.header->biSize);
    strip.pixels = reinterpret_cast<const BYTE *>(strip.palette + 16);

    int background = PixelIndex(strip, 0, 0);
    const RGBQUAD &grey = strip.palette[background];
    EXPECT_EQ(grey.rgbRed, 192);
    EXPECT_EQ(grey.rgbGreen, 192);
    EXPECT_EQ(grey.rgbBlue, 192);

    for (int image : {0, 4, 10, 12})
        EXPECT_EQ(ForeignPixels(strip, image, background), 0) << "blank image " << image;
    for (int image : {1, 2, 3, 5, 6, 7, 8, 9, 11, 13, 14})
        EXPECT_GT(ForeignPixels(strip, image, background), 20) << "image " << image << " is drawn";
    EXPECT_EQ(ForeignPixels(strip, 15, background), 1);
}

TEST(ToolbarResources, DescriptionAndButtonNamesFollowTheSlots)
{
    DWORD size = 0;
    const BYTE *bytes = ResourceBytes(MAKEINTRESOURCEA(241), IDB_TOOLBAR, &size);
    ASSERT_NE(bytes, (const BYTE *)NULL);
    ASSERT_EQ(size, 19u * 2u);
    const WORD *words = reinterpret_cast<const WORD *>(bytes);
    const std::vector<WORD> expected = {1, 16, 16, 15, 1200, 1201, 1202, 1203, 1200, 1205,
                                        1206, 1207, 1208, 1209, 1200, 1211, 1200, 1213, 1214};
    EXPECT_EQ(std::vector<WORD>(words, words + 19), expected);

    const char *names[TOOLBAR_SLOTS] = {
        "", "ﾌｧｲﾙ1を開く", "ﾌｧｲﾙ2を開く", "結果を出力", "　", "元に戻す", "切り取り", "コピー",
        "貼り付け", "クリア", "　", "ファイル比較", "　", "オプション", "ヘルプ",
    };
    char text[64];
    EXPECT_EQ(LoadStringA(GetModuleHandleA(NULL), 0, text, sizeof text), 0);
    for (int slot = 1; slot < TOOLBAR_SLOTS; ++slot) {
        text[0] = '\0';
        LoadStringA(GetModuleHandleA(NULL), slot, text, sizeof text);
        EXPECT_EQ(HexBytes(text), HexBytes(names[slot])) << "string " << slot;
    }
}

} // namespace
