// Placeholder until file selection lands: names go straight into the fields.
#include "app/app.h"

void TakeCommandLineNames(HWND panel, int argc, char **argv)
{
    if (argc > 1)
        SetDlgItemTextA(panel, IDC_FILE1, argv[1]);
    if (argc > 2)
        SetDlgItemTextA(panel, IDC_FILE2, argv[2]);
}

void TakeDroppedFiles(HWND, HDROP drop)
{
    DragFinish(drop);
}
