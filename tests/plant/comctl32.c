// A stand-in for the system's comctl32.dll, planted in a program's folder.
#include <windows.h>
// Declares the functions as this DLL's own rather than imported.
#define _COMCTL32_
#include <commctrl.h>

#include "marker.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        WriteMarker(instance, "planted_comctl32.txt");
    }
    return TRUE;
}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* init)
{
    (void)init;
    return TRUE;
}
