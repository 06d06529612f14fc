#ifndef KILN_APP_H
#define KILN_APP_H

#include <windows.h>

#include "settings/proxy_setting.h"

extern HWND g_hDlg;

INT_PTR CALLBACK DlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
int Proc_Wm_Initdialog(HWND hwnd);

// Where a window of size pixels goes to stand in the middle of a screen of
// screen pixels: half the difference, truncated toward zero.
int CenterOrigin(int screen, int size);

int ShowProxyInfo(const ProxySetting* setting);
int SaveProxyFile(const char* path);

#endif
