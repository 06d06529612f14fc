#include "sysdll.h"

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI* InternetQueryOptionAFn)(HINTERNET, DWORD, LPVOID, LPDWORD);
typedef BOOL(WINAPI* InitCommonControlsExFn)(const INITCOMMONCONTROLSEX*);

// The module stays loaded for the life of the process, as an imported DLL
// would; the handle is not kept, since a second LoadLibraryExA of a loaded
// module only returns it again.
static FARPROC GetSystemProc(const char* dll, const char* name)
{
    HMODULE module = LoadLibraryExA(dll, NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);

    if (module == NULL) {
        return NULL;
    }
    return GetProcAddress(module, name);
}

int RestrictDllSearch(void)
{
    // Looked up rather than imported, so that the program still starts where
    // kernel32 lacks it; kernel32 itself is always the system's.
    SetDefaultDllDirectoriesFn setDirs = (SetDefaultDllDirectoriesFn)(void (*)(void))
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");

    if (setDirs == NULL) {
        return 0;
    }
    return setDirs(LOAD_LIBRARY_SEARCH_SYSTEM32) ? 1 : 0;
}

BOOL SysInternetQueryOptionA(HINTERNET internet, DWORD option, LPVOID buffer, LPDWORD length)
{
    static InternetQueryOptionAFn query;

    if (query == NULL) {
        query = (InternetQueryOptionAFn)(void (*)(void))GetSystemProc("wininet.dll", "InternetQueryOptionA");
    }
    if (query == NULL) {
        return FALSE;
    }
    return query(internet, option, buffer, length);
}

BOOL SysInitCommonControlsEx(const INITCOMMONCONTROLSEX* init)
{
    static InitCommonControlsExFn initControls;

    if (initControls == NULL) {
        initControls = (InitCommonControlsExFn)(void (*)(void))GetSystemProc("comctl32.dll", "InitCommonControlsEx");
    }
    if (initControls == NULL) {
        return FALSE;
    }
    return initControls(init);
}
