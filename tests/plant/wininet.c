// A stand-in for the system's wininet.dll, planted in a program's folder.
#include <windows.h>

#include "marker.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        WriteMarker(instance, "planted_wininet.txt");
    }
    return TRUE;
}

// Declared here, not from wininet.h, which declares it as imported.
BOOL WINAPI InternetQueryOptionA(LPVOID internet, DWORD option, LPVOID buffer, LPDWORD length)
{
    (void)internet;
    (void)option;
    (void)buffer;
    (void)length;
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}
