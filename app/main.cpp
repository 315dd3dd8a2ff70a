// Entry point of tarnlight.exe.
#include <cstdlib>

#include "app/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    // Names come from the argument list as the runtime split the command line.
    g_argc = __argc;
    g_argv = __argv;
    return RunTarnlight(instance, showCommand);
}
