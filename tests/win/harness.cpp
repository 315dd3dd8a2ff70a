// Helpers for the tests under Wine (see harness.h).
#include "harness.h"

#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
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

int CharacterCount(const std::string &shiftJis)
{
    return MultiByteToWideChar(932, 0, shiftJis.data(), static_cast<int>(shiftJis.size()), NULL, 0);
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

std::string FileBytes(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, NULL) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

HANDLE HoldWithoutSharing(const std::string &path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
}

std::string MakeTempFolder(const std::string &name)
{
    std::string path = TempFolder() + name;
    CreateDirectoryA(path.c_str(), NULL);
    return path;
}

// Wine starts a Unix program without a process handle to wait for: done
// once path is there.
static bool MakeWithUnixTool(const std::string &path, const std::string &command)
{
    size_t slash = path.find_last_of('\\');
    std::string line = command + " " + path.substr(slash + 1);
    std::vector<char> commandLine(line.c_str(), line.c_str() + line.size() + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(NULL, commandLine.data(), NULL, NULL, FALSE, 0, NULL, path.substr(0, slash).c_str(),
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    for (int tries = 0; tries < 1000; ++tries, Sleep(10)) {
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA(path.c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE)
            return FindClose(find) != FALSE;
    }
    return false;
}

bool MakeSymbolicLink(const std::string &path, const std::string &target)
{
    return MakeWithUnixTool(path, "/bin/ln -s " + target);
}

bool MakeUnixFifo(const std::string &path)
{
    return MakeWithUnixTool(path, "/usr/bin/mkfifo");
}

std::set<std::string> NamesIn(const std::string &folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.insert(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string MakeSparseFile(const std::string &name, LONGLONG size, const std::vector<LONGLONG> &xAt)
{
    std::string path = MakeTempFile(name, "");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    LARGE_INTEGER at;
    at.QuadPart = size;
    SetFilePointerEx(file, at, NULL, FILE_BEGIN);
    SetEndOfFile(file);
    for (LONGLONG offset : xAt) {
        at.QuadPart = offset;
        SetFilePointerEx(file, at, NULL, FILE_BEGIN);
        DWORD written = 0;
        WriteFile(file, "x", 1, &written, NULL);
    }
    CloseHandle(file);
    return path;
}

LimitNames MakeLimitNames(const std::string &content)
{
    // Short components: the Unix side takes 255 bytes of UTF-8 per component.
    std::string folder = MakeTempFolder("limit") + "\\" + std::string(100, 'd');
    CreateDirectoryA(folder.c_str(), NULL);
    folder += "\\";
    LimitNames names;
    names.file255 = folder + std::string(255 - folder.size(), 'f');
    MakeTempFile(names.file255.substr(TempFolder().size()), content);
    names.folder256 = folder + std::string(256 - 2 - folder.size(), 'g') + "表";
    // The ANSI call stops short of MAX_PATH for folders; the wide one with
    // its \\?\ prefix does not.
    wchar_t wide[2 * MAX_PATH] = L"\\\\?\\";
    MultiByteToWideChar(CP_ACP, 0, names.folder256.c_str(), -1, wide + 4, MAX_PATH);
    CreateDirectoryW(wide, NULL);
    names.name300 = names.file255 + std::string(300 - 255, 'h');
    return names;
}

std::map<std::string, RegistryValue> RegistryValues(const char *path)
{
    std::map<std::string, RegistryValue> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[1024];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, index, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        values[name] = RegistryValue{type, std::string(reinterpret_cast<char *>(data), dataSize)};
    }
    RegCloseKey(key);
    return values;
}

void PutRegistryValue(const char *path, const char *name, DWORD type, const std::string &bytes)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

namespace {

struct TemplateReader {
    const BYTE *start;
    const BYTE *at;

    WORD Word() { WORD w; memcpy(&w, at, 2); at += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, at, 4); at += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    void AlignToDword() { at = start + ((at - start + 3) & ~3); }

    // A text, or an ordinal: standard control classes by name, others "#n".
    std::string TextOrOrdinal()
    {
        static const char *const CLASSES[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
        WORD first = Word();
        if (first == 0xffff) {
            WORD ordinal = Word();
            if (ordinal >= 0x80 && ordinal <= 0x85)
                return CLASSES[ordinal - 0x80];
            return "#" + std::to_string(ordinal);
        }
        std::wstring wide;
        for (WORD c = first; c != 0; c = Word())
            wide.push_back(static_cast<wchar_t>(c));
        char bytes[1024] = "";
        WideCharToMultiByte(932, 0, wide.c_str(), static_cast<int>(wide.size()), bytes, sizeof bytes - 1, NULL, NULL);
        return bytes;
    }
};

std::string Upper(std::string text)
{
    for (char &c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return text;
}

} // namespace

bool ReadDialogTemplate(const char *name, WORD language, DialogTemplate *d)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceExA(module, RT_DIALOG, name, language);
    if (found == NULL)
        return false;
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(module, found)));
    TemplateReader r = {data, data};
    if (r.Word() != 1 || r.Word() != 0xffff)
        return false;
    *d = DialogTemplate();
    r.Dword();  // help id
    d->exStyle = r.Dword();
    d->style = r.Dword();
    WORD count = r.Word();
    d->x = r.Short();
    d->y = r.Short();
    d->cx = r.Short();
    d->cy = r.Short();
    d->menu = r.TextOrOrdinal();
    d->windowClass = r.TextOrOrdinal();
    d->caption = r.TextOrOrdinal();
    if (d->style & DS_SETFONT) {
        d->pointSize = r.Word();
        d->weight = r.Word();
        d->italic = *r.at++;
        d->charset = *r.at++;
        d->fontName = r.TextOrOrdinal();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignToDword();
        TemplateControl c = {};
        r.Dword();  // help id
        c.exStyle = r.Dword();
        c.style = r.Dword();
        c.x = r.Short();
        c.y = r.Short();
        c.cx = r.Short();
        c.cy = r.Short();
        c.id = static_cast<int>(r.Dword());
        c.className = Upper(r.TextOrOrdinal());
        c.text = r.TextOrOrdinal();
        r.at += r.Word();  // creation data
        d->controls.push_back(c);
    }
    return true;
}

void ExpectTemplateControls(const DialogTemplate &got, const std::vector<TemplateControl> &expected)
{
    ASSERT_EQ(got.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const TemplateControl &g = got.controls[i];
        const TemplateControl &w = expected[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " (" << w.id << ")");
        EXPECT_EQ(static_cast<short>(g.id), w.id);
        EXPECT_EQ(g.className, w.className);
        EXPECT_EQ(g.style, w.style) << std::hex << g.style << " " << w.style;
        EXPECT_EQ(g.exStyle, w.exStyle) << std::hex << g.exStyle << " " << w.exStyle;
        EXPECT_EQ(g.x, w.x);
        EXPECT_EQ(g.y, w.y);
        EXPECT_EQ(g.cx, w.cx);
        EXPECT_EQ(g.cy, w.cy);
        EXPECT_EQ(HexBytes(g.text), HexBytes(w.text));
    }
}

HDROP MakeDrop(const std::vector<std::string> &names, bool wide)
{
    std::vector<char> list;
    for (const std::string &name : names) {
        if (wide) {
            wchar_t converted[1024] = L"";
            int length = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, converted, 1024);
            const char *bytes = reinterpret_cast<const char *>(converted);
            list.insert(list.end(), bytes, bytes + length * sizeof(wchar_t));
        } else {
            list.insert(list.end(), name.c_str(), name.c_str() + name.size() + 1);
        }
    }
    list.insert(list.end(), wide ? sizeof(wchar_t) : 1, '\0');
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    DROPFILES *header = static_cast<DROPFILES *>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = wide;
    memcpy(reinterpret_cast<char *>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}
