// What the end-to-end tests cannot see from X: the Windows side of the
// running program's windows. It only reads; it never sends input.
//
//   probe windows [DESKTOP]  every visible top-level window, top of the
//                            z-order first
//   probe dialog [DESKTOP]   the proxy settings dialog, each of its controls,
//                            and the control that has the keyboard focus
//
// DESKTOP names the desktop to look at, such as the one that Wine's
// "explorer /desktop=NAME,WxH" makes; without it, the probe's own.
//
// Texts are printed as hex of their ANSI bytes, so that no console code page
// stands between the program and the test.
#include <windows.h>

#include <stdio.h>
#include <string.h>

static void PrintHex(const char* text)
{
    const unsigned char* p;

    for (p = (const unsigned char*)text; *p != '\0'; p++) {
        printf("%02X", *p);
    }
}

static void PrintRect(HWND hwnd)
{
    RECT rect;

    GetWindowRect(hwnd, &rect);
    printf(" rect=%ld,%ld,%ld,%ld", rect.left, rect.top, rect.right, rect.bottom);
}

static void PrintWindow(HWND hwnd)
{
    char text[1024];
    DWORD pid = 0;

    GetWindowThreadProcessId(hwnd, &pid);
    GetWindowTextA(hwnd, text, sizeof(text));
    printf("window hwnd=%p pid=%lu style=%08lX ex=%08lX owner=%p enabled=%d", (void*)hwnd, pid,
           (unsigned long)GetWindowLongA(hwnd, GWL_STYLE), (unsigned long)GetWindowLongA(hwnd, GWL_EXSTYLE),
           (void*)GetWindow(hwnd, GW_OWNER), IsWindowEnabled(hwnd) ? 1 : 0);
    PrintRect(hwnd);
    printf(" text=");
    PrintHex(text);
    printf("\n");
}

static BOOL CALLBACK PrintVisibleTop(HWND hwnd, LPARAM unused)
{
    (void)unused;
    if (IsWindowVisible(hwnd)) {
        PrintWindow(hwnd);
    }
    return TRUE;
}

static BOOL CALLBACK PrintControl(HWND hwnd, LPARAM dialog)
{
    char text[1024];
    char cls[64];
    int check = -1;

    // Only the dialog's own controls: the fields inside the IP address
    // control are its business.
    if (GetParent(hwnd) != (HWND)dialog) {
        return TRUE;
    }
    GetClassNameA(hwnd, cls, sizeof(cls));
    GetWindowTextA(hwnd, text, sizeof(text));
    if (lstrcmpiA(cls, "Button") == 0) {
        check = (int)SendMessageA(hwnd, BM_GETCHECK, 0, 0);
    }
    printf("control id=%d class=%s style=%08lX enabled=%d check=%d", GetDlgCtrlID(hwnd), cls,
           (unsigned long)GetWindowLongA(hwnd, GWL_STYLE), IsWindowEnabled(hwnd) ? 1 : 0, check);
    PrintRect(hwnd);
    printf(" text=");
    PrintHex(text);
    printf("\n");
    return TRUE;
}

// The dialog-level control that holds the focus, also when the focus is in
// one of the fields of the IP address control.
static int FocusedControl(HWND dialog)
{
    GUITHREADINFO info;
    HWND focus;

    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &info) || info.hwndFocus == NULL) {
        return 0;
    }
    focus = info.hwndFocus;
    while (focus != NULL && GetParent(focus) != dialog) {
        focus = GetParent(focus);
    }
    return focus != NULL ? GetDlgCtrlID(focus) : 0;
}

static int ProbeDialog(void)
{
    HWND dialog = FindWindowA("#32770", "プロキシ設定");

    if (dialog == NULL) {
        printf("nodialog\n");
        return 1;
    }
    PrintWindow(dialog);
    EnumChildWindows(dialog, PrintControl, (LPARAM)dialog);
    printf("focus id=%d\n", FocusedControl(dialog));
    return 0;
}

static int Probe(const char* command)
{
    if (strcmp(command, "windows") == 0) {
        EnumWindows(PrintVisibleTop, 0);
        return 0;
    }
    if (strcmp(command, "dialog") == 0) {
        return ProbeDialog();
    }
    fprintf(stderr, "usage: probe windows|dialog [DESKTOP]\n");
    return 2;
}

// The probe's thread has no window yet, so it may move to another desktop.
static int ProbeOnDesktop(const char* command, const char* name)
{
    HDESK desktop = OpenDesktopA(name, 0, FALSE, GENERIC_ALL);
    int result = 3;

    if (desktop == NULL) {
        fprintf(stderr, "no desktop %s\n", name);
        return result;
    }
    if (SetThreadDesktop(desktop)) {
        result = Probe(command);
    } else {
        fprintf(stderr, "cannot move to desktop %s\n", name);
    }
    CloseDesktop(desktop);
    return result;
}

int main(int argc, char** argv)
{
    int result = 2;

    if (argc == 2) {
        result = Probe(argv[1]);
    } else if (argc == 3) {
        result = ProbeOnDesktop(argv[1], argv[2]);
    } else {
        fprintf(stderr, "usage: probe windows|dialog [DESKTOP]\n");
    }
    fflush(stdout);
    return result;
}
