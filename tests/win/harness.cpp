// Helpers for the tests under Wine (see harness.h).
#include "harness.h"

#include <commctrl.h>
#include <cstdio>
#include <set>

namespace {

std::vector<std::string> g_args;
std::vector<char *> g_argPointers;

std::vector<DialogHandler> g_handlers;
size_t g_nextHandler;
std::set<HWND> g_handledDialogs;
std::vector<SeenDialog> g_seenDialogs;
UINT_PTR g_dialogTimer;

bool g_quitSeen;
int g_quitCode;

enum {
    DIALOG_POLL_MS = 30,
    FILE_NAME_COMBO = 0x047c,   // cmb13 of the explorer-style file dialogs
    FILE_NAME_EDIT = 0x0480,    // edt1
    FILE_TYPE_COMBO = 0x0470,   // cmb1
    MESSAGE_TEXT = 0xffff
};

HACCEL ProgramAccelerators()
{
    return LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCEL));
}

void RegisterOnce()
{
    static bool registered;
    if (registered)
        return;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterMainWindowClass(GetModuleHandleA(NULL));
    registered = true;
}

std::string ClassName(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK FindLongestStatic(HWND child, LPARAM result)
{
    std::string *text = reinterpret_cast<std::string *>(result);
    if (ClassName(child) == "Static") {
        std::string candidate = WindowText(child);
        if (candidate.size() > text->size())
            *text = candidate;
    }
    return TRUE;
}

SeenDialog DescribeDialog(HWND dialog)
{
    SeenDialog seen;
    seen.caption = WindowText(dialog);
    HWND nameField = GetDlgItem(dialog, FILE_NAME_COMBO);
    if (nameField == NULL)
        nameField = GetDlgItem(dialog, FILE_NAME_EDIT);
    if (nameField != NULL) {
        seen.text = WindowText(nameField);
        char folder[MAX_PATH] = "";
        SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
        seen.folder = folder;
        seen.filterLabel = WindowText(GetDlgItem(dialog, FILE_TYPE_COMBO));
    } else {
        HWND text = GetDlgItem(dialog, MESSAGE_TEXT);
        seen.text = text ? WindowText(text) : "";
        if (seen.text.empty())
            EnumChildWindows(dialog, FindLongestStatic, reinterpret_cast<LPARAM>(&seen.text));
    }
    return seen;
}

BOOL CALLBACK AnswerNewDialog(HWND window, LPARAM)
{
    if (!IsWindowVisible(window) || ClassName(window) != "#32770")
        return TRUE;
    if (g_handledDialogs.count(window) != 0)
        return TRUE;
    if (g_nextHandler >= g_handlers.size())
        return TRUE;
    g_handledDialogs.insert(window);
    g_seenDialogs.push_back(DescribeDialog(window));
    DialogHandler handler = g_handlers[g_nextHandler++];
    handler(window);
    return FALSE;
}

void CALLBACK PollForDialogs(HWND, UINT, UINT_PTR, DWORD)
{
    for (auto it = g_handledDialogs.begin(); it != g_handledDialogs.end();)
        it = IsWindow(*it) ? std::next(it) : g_handledDialogs.erase(it);
    EnumThreadWindows(GetCurrentThreadId(), AnswerNewDialog, 0);
}

void ClickButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

} // namespace

HWND StartMainWindow(const std::vector<std::string> &args)
{
    RegisterOnce();
    g_instance = GetModuleHandleA(NULL);
    g_args.assign(1, "tarnlight.exe");
    g_args.insert(g_args.end(), args.begin(), args.end());
    g_argPointers.clear();
    for (std::string &arg : g_args)
        g_argPointers.push_back(&arg[0]);
    g_argPointers.push_back(NULL);
    g_argc = static_cast<int>(g_args.size());
    g_argv = g_argPointers.data();
    g_quitSeen = false;

    HWND mainWindow = CreateMainWindow(g_instance);
    if (mainWindow != NULL) {
        ShowWindow(mainWindow, SW_SHOWNORMAL);
        UpdateWindow(mainWindow);
        PumpMessages();
    }
    return mainWindow;
}

void PumpMessages()
{
    HACCEL accelerators = ProgramAccelerators();
    HWND mainWindow = g_panel ? GetParent(g_panel) : NULL;
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            g_quitSeen = true;
            g_quitCode = static_cast<int>(msg.wParam);
            continue;
        }
        if (mainWindow == NULL || TranslateAcceleratorA(mainWindow, accelerators, &msg) == 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

int CloseMainWindow(HWND mainWindow)
{
    if (IsWindow(mainWindow))
        DestroyWindow(mainWindow);
    PumpMessages();
    g_panel = NULL;
    g_toolbar = NULL;
    int code = g_quitSeen ? g_quitCode : -1;
    g_quitSeen = false;
    return code;
}

int RunLoopUntilQuit(HWND mainWindow, int timeoutMs)
{
    HACCEL accelerators = ProgramAccelerators();
    DWORD start = GetTickCount();
    while (!g_quitSeen && GetTickCount() - start < static_cast<DWORD>(timeoutMs)) {
        MSG msg;
        if (!PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            Sleep(5);
            continue;
        }
        if (msg.message == WM_QUIT) {
            g_quitSeen = true;
            g_quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (TranslateAcceleratorA(mainWindow, accelerators, &msg) == 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (!g_quitSeen)
        return -1;
    g_quitSeen = false;
    return g_quitCode;
}

std::string WindowText(HWND window)
{
    char text[4096] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ControlText(HWND panel, int id)
{
    char text[16384] = "";
    GetDlgItemTextA(panel, id, text, sizeof text);
    return text;
}

bool IsControlVisible(HWND panel, int id)
{
    return IsWindowVisible(GetDlgItem(panel, id)) != FALSE;
}

std::string HexBytes(const std::string &text)
{
    std::string hex;
    char pair[4];
    for (unsigned char c : text) {
        snprintf(pair, sizeof pair, "%02x ", c);
        hex += pair;
    }
    return hex;
}

void ExpectDialogs(const std::vector<DialogHandler> &handlers)
{
    g_handlers = handlers;
    g_nextHandler = 0;
    g_seenDialogs.clear();
    g_handledDialogs.clear();
    if (g_dialogTimer == 0)
        g_dialogTimer = SetTimer(NULL, 0, DIALOG_POLL_MS, PollForDialogs);
}

std::vector<SeenDialog> SeenDialogs()
{
    return g_seenDialogs;
}

int UnansweredDialogs()
{
    return static_cast<int>(g_handlers.size() - g_nextHandler);
}

DialogHandler PressButton(int id)
{
    return [id](HWND dialog) { ClickButton(dialog, id); };
}

DialogHandler ChooseFile(const std::string &fullName)
{
    return [fullName](HWND dialog) {
        if (!SetDlgItemTextA(dialog, FILE_NAME_COMBO, fullName.c_str()))
            SetDlgItemTextA(dialog, FILE_NAME_EDIT, fullName.c_str());
        ClickButton(dialog, IDOK);
    };
}

DialogHandler CancelDialog()
{
    return [](HWND dialog) { ClickButton(dialog, IDCANCEL); };
}

void RemoveTarnlightRegistry()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvale Tools\\Tarnlight");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvale Tools");
}

std::string TempFolder()
{
    static std::string folder;
    if (folder.empty()) {
        char base[MAX_PATH] = "";
        GetTempPathA(sizeof base, base);
        char name[MAX_PATH];
        snprintf(name, sizeof name, "%starnlight-test-%lu\\", base, GetCurrentProcessId());
        CreateDirectoryA(name, NULL);
        folder = name;
    }
    return folder;
}

std::string MakeTempFile(const std::string &name, const std::string &bytes)
{
    std::string path = TempFolder() + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
        CloseHandle(file);
    }
    return path;
}

static const char PROGRAM_KEY_PATH[] = "Software\\Corvale Tools\\Tarnlight";

void StoreSetting(const char *name, DWORD value)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, PROGRAM_KEY_PATH, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof value);
    RegCloseKey(key);
}

long long StoredSetting(const char *name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PROGRAM_KEY_PATH, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD value = 0, size = sizeof value, type = 0;
    LONG status = RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long long>(value) : -1;
}

bool KeyExists(const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
