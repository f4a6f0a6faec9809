// The library entry: remembers the module instance for the GUI's bitmaps and window class.
#include <windows.h>

#include "host/ModuleInstance.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID)
{
    kelp::moduleInstance = instance;
    return TRUE;
}
