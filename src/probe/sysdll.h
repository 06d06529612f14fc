// comctl32 and wininet are not on the system's known-DLL list, so Windows
// would look for them in the program's own folder first. An elevated program
// must not take a DLL planted there: these are loaded from the system
// directory only, and their few functions are reached through this layer.
#ifndef KILN_SYSDLL_H
#define KILN_SYSDLL_H

#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

// Makes the system directory the only place from which DLLs that the
// process loads later, and the DLLs those load in turn, are taken.
int RestrictDllSearch(void);

BOOL SysInternetQueryOptionA(HINTERNET internet, DWORD option, LPVOID buffer, LPDWORD length);
BOOL SysInitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

#endif
