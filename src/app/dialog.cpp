#include "app.h"

#include "log/log.h"
#include "resource.h"
#include "settings/settings.h"

HWND g_hDlg;

int CenterOrigin(int screen, int size)
{
    return (int)(screen * 0.5 - size * 0.5);
}

int Proc_Wm_Initdialog(HWND hwnd)
{
    RECT rect;
    int w, h;

    g_hDlg = hwnd;
    GetWindowRect(hwnd, &rect);
    w = rect.right - rect.left;
    h = rect.bottom - rect.top;
    SetWindowPos(hwnd, HWND_TOPMOST, CenterOrigin(GetSystemMetrics(SM_CXSCREEN), w),
                 CenterOrigin(GetSystemMetrics(SM_CYSCREEN), h), w, h, SWP_SHOWWINDOW);

    if (!LoadProxyFile()) {
        WriteLog("Proc_Wm_Initdialog::err::LoadProxyFile\n");
        return 0;
    }
    ShowProxyInfo(&g_proxySetting);
    return 1;
}

INT_PTR CALLBACK DlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;

    switch (message) {
    case WM_INITDIALOG:
        if (!Proc_Wm_Initdialog(hwnd)) {
            // Owned by the dialog, the box stands above it although the
            // dialog is topmost, and the dialog takes no input meanwhile.
            MessageBoxA(hwnd, "アプリケーションの初期化に失敗しました。処理を中止いたします(PRC:000)。",
                        "報告", MB_OK | MB_ICONERROR);
            EndDialog(hwnd, 0);
        }
        return TRUE;
    case WM_COMMAND:
        // Esc and a close request arrive as IDCANCEL and are not acted on:
        // only OK and CANCEL end the dialog.
        if (LOWORD(wParam) == IDOK) {
            SaveProxyFile(g_settingPath);
            EndDialog(hwnd, 1);
        } else if (LOWORD(wParam) == IDC_BTN_CANCEL) {
            EndDialog(hwnd, 1);
        }
        return TRUE;
    default:
        return FALSE;
    }
}
