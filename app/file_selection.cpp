// File names that arrive from the command line or from the shell's drag and
// drop: a folder (or a file that may not be read) is turned into a choice in
// the open dialog, and each name is placed into one of the two file fields.
#include "app/app.h"

#include <cstdio>
#include <cstring>
#include <vector>

enum { NAMES_TAKEN_AT_MOST = 2 };

// Filled once at start-up; a start-up browse rewrites them in place.
static char s_commandLineName1[NAME_SIZE];
static char s_commandLineName2[NAME_SIZE];

// The dialog record keeps pointing at the last browsed folder long after the
// name it came from (a drop's buffer, a rewritten slot) has gone or changed.
static char s_browsedFolder[NAME_SIZE];

static void CopyName(char *target, const char *name)
{
    std::snprintf(target, NAME_SIZE, "%s", name);
}

// A name that does not fit is never cut: cut, it could name another file or
// a folder, or end in half a character. It goes to its field whole, and the
// comparison refuses it by name.
static bool FitsNameBuffer(const char *name)
{
    return std::strlen(name) < NAME_SIZE;
}

static bool IsAccessDenied(DWORD error)
{
    // A folder, a file without read permission, and a file that another
    // program holds locked all answer this way.
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION
        || error == ERROR_LOCK_VIOLATION;
}

// Returns ERROR_SUCCESS when the file opens for reading, else the error.
static DWORD TryOpenForReading(const char *name)
{
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(file);
    return ERROR_SUCCESS;
}

// Replaces the name with the file chosen in the open dialog, started in the
// named folder, or with the empty text when the dialog is cancelled.
static void BrowseFromFolder(char *name)
{
    CopyName(s_browsedFolder, name);
    g_fileDialog.lpstrInitialDir = s_browsedFolder;
    if (GetOpenFileNameA(&g_fileDialog))
        CopyName(name, g_dialogFileName);
    else
        name[0] = '\0';
}

// name is a 256-byte buffer, rewritten in place when it names a folder.
static void OpenOrBrowse(char *name)
{
    if (name[0] == '\0')
        return;
    if (IsAccessDenied(TryOpenForReading(name)))
        BrowseFromFolder(name);
}

static bool IsFieldEmpty(HWND panel, int id)
{
    char text[NAME_SIZE] = "";
    GetDlgItemTextA(panel, id, text, sizeof text);
    return text[0] == '\0';
}

// A single name fills the gap when exactly one field is filled, and starts a
// new pair in the file 1 field when both or neither are.
static int FieldForSingleName(HWND panel)
{
    bool file1Empty = IsFieldEmpty(panel, IDC_FILE1);
    bool file2Empty = IsFieldEmpty(panel, IDC_FILE2);
    if (!file1Empty && file2Empty)
        return IDC_FILE2;
    if (file1Empty == file2Empty)
        SetDlgItemTextA(panel, IDC_FILE2, "");
    return IDC_FILE1;
}

static int FieldForIndex(int index)
{
    return index == 1 ? IDC_FILE2 : IDC_FILE1;
}

// Returns the id of the field written.
static int ChooseField(HWND panel, const char *name, int index, int count)
{
    int field = count == 1 ? FieldForSingleName(panel) : FieldForIndex(index);
    SetDlgItemTextA(panel, field, name);
    return field;
}

// Returns the argument when it is too long for its slot, which stays empty.
static const char *FillCommandLineSlot(char *slot, int argc, char **argv, int k)
{
    slot[0] = '\0';
    if (argc <= k)
        return NULL;
    if (!FitsNameBuffer(argv[k]))
        return argv[k];
    CopyName(slot, argv[k]);
    return NULL;
}

static void PlaceCommandLineName(HWND panel, char *slot, const char *tooLong, int index, int count)
{
    if (tooLong != NULL) {
        ChooseField(panel, tooLong, index, count);
        return;
    }
    OpenOrBrowse(slot);
    ChooseField(panel, slot, index, count);
}

void TakeCommandLineNames(HWND panel, int argc, char **argv)
{
    g_dialogFileName[0] = '\0';
    const char *tooLong1 = FillCommandLineSlot(s_commandLineName1, argc, argv, 1);
    const char *tooLong2 = FillCommandLineSlot(s_commandLineName2, argc, argv, 2);
    int count = argc - 1;
    PlaceCommandLineName(panel, s_commandLineName1, tooLong1, 0, count);
    PlaceCommandLineName(panel, s_commandLineName2, tooLong2, 1, count);
}

// The end of a long path is what tells two names apart. A key press, not
// EM_SETSEL, so the field scrolls to show that end.
static void PutCaretAtEnd(HWND panel, int id)
{
    HWND field = GetDlgItem(panel, id);
    SetFocus(field);
    SendMessageA(field, WM_KEYDOWN, VK_END, 0);
}

// Returns the id of the field written.
static int PlaceDroppedName(HWND panel, HDROP drop, UINT i, UINT count)
{
    // The length asked for counts characters of the list, which may be
    // UTF-16: in Shift-JIS each one takes at most two bytes.
    UINT length = DragQueryFileA(drop, i, NULL, 0);
    std::vector<char> whole(2 * static_cast<size_t>(length) + 1, '\0');
    DragQueryFileA(drop, i, whole.data(), static_cast<UINT>(whole.size()));
    if (!FitsNameBuffer(whole.data()))
        return ChooseField(panel, whole.data(), static_cast<int>(i), static_cast<int>(count));
    char name[NAME_SIZE];
    CopyName(name, whole.data());
    OpenOrBrowse(name);
    return ChooseField(panel, name, static_cast<int>(i), static_cast<int>(count));
}

void ReleaseDrop(HDROP drop)
{
    // A handle sent from another process is not ours to free; a drop held
    // over a run is our own copy of it.
    if (!InSendMessage() || IsHeldDropOfOurOwn(drop))
        DragFinish(drop);
}

void TakeDroppedFiles(HWND panel, HDROP drop)
{
    SetForegroundWindow(GetParent(panel));
    ResetResultControls(panel);
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, NULL, 0);
    int lastField = 0;
    for (UINT i = 0; i < count && i < NAMES_TAKEN_AT_MOST; ++i)
        lastField = PlaceDroppedName(panel, drop, i, count);
    ReleaseDrop(drop);
    if (lastField != 0)
        PutCaretAtEnd(panel, lastField);
}
