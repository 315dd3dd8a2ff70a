// The options sheet: the Comparison and Toolbar pages that copy the user's
// choices into the settings record on OK. Nothing is saved here; the record
// goes to the registry at exit.
#include "settings/settings_ui.h"

#include <commctrl.h>
#include <cstddef>

#include "res/resource.h"
#include "settings/settings.h"
#include "settings/toolbar_slots.h"

// The page record up to its header titles and the full sheet header with the
// watermark and header bitmap (48 and 52 bytes on 32-bit Windows); the
// headers' own size macros for these do not compile.
static const DWORD PAGE_RECORD_SIZE = offsetof(PROPSHEETPAGEA, pszHeaderSubTitle) + sizeof(LPCSTR);
static const DWORD SHEET_HEADER_SIZE = offsetof(PROPSHEETHEADERA, hbmHeader) + sizeof(HBITMAP);
static_assert(sizeof(void *) != 4 || PAGE_RECORD_SIZE == 48, "page record size");
static_assert(sizeof(void *) != 4 || SHEET_HEADER_SIZE == 52, "sheet header size");

// The stop-at-first button's own window procedure, from before our hook.
static WNDPROC s_stopButtonPrevProc;

enum { MAXIMUM_CHOICES = 11, TYPED_MAXIMUM_SIZE = 16 };

static const char *const MAXIMUM_CHOICE_TEXTS[MAXIMUM_CHOICES] = {
    "1", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"};

static int MaximumOfPosition(int position)
{
    int maximum = position * 10;
    return maximum == 0 ? 1 : maximum;
}

// A whole number from 1 to 100 in the typed text, blanks around it allowed;
// 0 when the text is anything else.
static int ParseTypedMaximum(const char *text)
{
    while (*text == ' ')
        ++text;
    int value = 0;
    int digits = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (++digits > 3)
            return 0;
    }
    while (*text == ' ')
        ++text;
    if (digits == 0 || *text != '\0' || value < 1 || value > MAX_LISTED_LIMIT)
        return 0;
    return value;
}

static int ChosenMaximum(HWND page, int previous)
{
    LRESULT position = SendDlgItemMessageA(page, IDC_MAXDIFF, CB_GETCURSEL, 0, 0);
    if (position != CB_ERR)
        return MaximumOfPosition(static_cast<int>(position));
    // The box is editable: after typing no list position is selected.
    char typed[TYPED_MAXIMUM_SIZE] = "";
    GetDlgItemTextA(page, IDC_MAXDIFF, typed, sizeof typed);
    int value = ParseTypedMaximum(typed);
    return value != 0 ? value : previous;
}

static LRESULT CALLBACK StopButtonHook(HWND button, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND combo = GetDlgItem(GetParent(button), IDC_MAXDIFF);
    if (msg == BM_SETCHECK) {
        // No maximum applies when the comparison stops at the first difference.
        if (wParam == BST_CHECKED)
            EnableWindow(combo, FALSE);
        else if (wParam == BST_UNCHECKED)
            EnableWindow(combo, TRUE);
    }
    return CallWindowProcA(s_stopButtonPrevProc, button, msg, wParam, lParam);
}

static void InstallStopButtonHook(HWND page)
{
    HWND button = GetDlgItem(page, IDC_STOP_AT_FIRST);
    s_stopButtonPrevProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(button, GWLP_WNDPROC));
    SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StopButtonHook));
}

static INT_PTR ComparePage_OnInitDialog(HWND page)
{
    InstallStopButtonHook(page);
    int position = g_settings.maxdiffno / 10;
    int radio[3] = {0, 0, 0};
    if (g_settings.compcancel >= STOP_AT_END && g_settings.compcancel <= STOP_AT_FIRST)
        radio[g_settings.compcancel] = 1;
    SendDlgItemMessageA(page, IDC_AUTOCOMPARE, BM_SETCHECK, g_settings.sudden, 0);
    SendDlgItemMessageA(page, IDC_STOP_AT_END, BM_SETCHECK, radio[0], 0);
    SendDlgItemMessageA(page, IDC_STOP_AT_MAX, BM_SETCHECK, radio[1], 0);
    SendDlgItemMessageA(page, IDC_STOP_AT_FIRST, BM_SETCHECK, radio[2], 0);
    for (int i = 0; i < MAXIMUM_CHOICES; ++i)
        SendDlgItemMessageA(page, IDC_MAXDIFF, CB_INSERTSTRING, i,
                            reinterpret_cast<LPARAM>(MAXIMUM_CHOICE_TEXTS[i]));
    SendDlgItemMessageA(page, IDC_MAXDIFF, CB_SETCURSEL, position, 0);
    return TRUE;
}

static INT_PTR ComparePage_OnApply(HWND page)
{
    g_settings.maxdiffno = ChosenMaximum(page, g_settings.maxdiffno);
    // Tested in order so that a later checked button wins.
    if (IsDlgButtonChecked(page, IDC_STOP_AT_END) == BST_CHECKED)
        g_settings.compcancel = STOP_AT_END;
    if (IsDlgButtonChecked(page, IDC_STOP_AT_MAX) == BST_CHECKED)
        g_settings.compcancel = STOP_AT_MAX;
    if (IsDlgButtonChecked(page, IDC_STOP_AT_FIRST) == BST_CHECKED)
        g_settings.compcancel = STOP_AT_FIRST;
    g_settings.sudden = static_cast<int32_t>(SendDlgItemMessageA(page, IDC_AUTOCOMPARE, BM_GETCHECK, 0, 0));
    SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
}

static INT_PTR CALLBACK ComparePageProc(HWND page, UINT msg, WPARAM, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return ComparePage_OnInitDialog(page);
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR *>(lParam)->code == static_cast<UINT>(PSN_APPLY))
            return ComparePage_OnApply(page);
        return FALSE;
    }
    return FALSE;
}

static INT_PTR ToolbarPage_OnInitDialog(HWND page)
{
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
        if (!IsSeparatorSlot(slot))
            SendDlgItemMessageA(page, TOOLBAR_SLOT_TABLE[slot].checkBox, BM_SETCHECK, g_settings.toolon[slot], 0);
    }
    SendDlgItemMessageA(page, IDC_TOOLFLAT, BM_SETCHECK, g_settings.toolflat, 0);
    return TRUE;
}

static INT_PTR ToolbarPage_OnApply(HWND page)
{
    for (int slot = 0; slot < TOOLBAR_SLOTS; ++slot) {
        if (IsSeparatorSlot(slot))
            continue;
        LRESULT checked = SendDlgItemMessageA(page, TOOLBAR_SLOT_TABLE[slot].checkBox, BM_GETCHECK, 0, 0);
        g_settings.toolon[slot] = checked != 0 ? TOOLSLOT_SHOWN : TOOLSLOT_HIDDEN;
    }
    g_settings.toolflat = static_cast<int32_t>(SendDlgItemMessageA(page, IDC_TOOLFLAT, BM_GETCHECK, 0, 0));
    return TRUE;
}

static INT_PTR CALLBACK ToolbarPageProc(HWND page, UINT msg, WPARAM, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return ToolbarPage_OnInitDialog(page);
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR *>(lParam)->code == static_cast<UINT>(PSN_APPLY))
            return ToolbarPage_OnApply(page);
        return FALSE;
    }
    return FALSE;
}

static HPROPSHEETPAGE CreatePage(HINSTANCE instance, const char *templateName, DLGPROC procedure)
{
    PROPSHEETPAGEA page = {};
    page.dwSize = PAGE_RECORD_SIZE;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = instance;
    page.pszTemplate = templateName;
    page.pfnDlgProc = procedure;
    page.lParam = 0;
    return CreatePropertySheetPageA(&page);
}

void ShowOptionsSheet(HWND owner)
{
    // The pages are resources of the program that owns the window.
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    HPROPSHEETPAGE pages[2];
    pages[0] = CreatePage(instance, "IDPAGE1", ComparePageProc);
    pages[1] = CreatePage(instance, "IDPAGE2", ToolbarPageProc);

    PROPSHEETHEADERA header = {};
    header.dwSize = SHEET_HEADER_SIZE;
    header.dwFlags = PSH_NOAPPLYNOW;
    header.hwndParent = owner;
    header.hInstance = instance;
    header.pszCaption = "設定";
    header.nPages = 2;
    header.nStartPage = 0;
    header.phpage = pages;
    PropertySheetA(&header);
}
