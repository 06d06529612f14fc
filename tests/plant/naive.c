// A program that imports wininet and comctl32 the usual way, so that the
// loader looks for them in the program's folder first.
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

int main(void)
{
    INITCOMMONCONTROLSEX init;
    char buffer[4096];
    DWORD length = sizeof(buffer);

    init.dwSize = sizeof(init);
    init.dwICC = ICC_INTERNET_CLASSES;
    InitCommonControlsEx(&init);
    InternetQueryOptionA(NULL, INTERNET_OPTION_PROXY, buffer, &length);
    return 0;
}
