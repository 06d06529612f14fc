#include <windows.h>
#include <commctrl.h>

#include "app.h"
#include "probe/sysdll.h"
#include "resource.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    INITCOMMONCONTROLSEX init;

    (void)hPrevInstance;
    (void)lpCmdLine;
    (void)nCmdShow;

    // Before any DLL that is not the system's own could be looked for.
    RestrictDllSearch();

    init.dwSize = sizeof(init);
    init.dwICC = ICC_INTERNET_CLASSES;
    SysInitCommonControlsEx(&init);

    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_PROXY), NULL, DlgProc, 0);
    return 0;
}
