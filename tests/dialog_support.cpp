#include "dialog_support.h"

#include <commctrl.h>

#include <algorithm>

#include "app.h"
#include "probe/sysdll.h"
#include "resource.h"

static const int kOptions[4] = {IDC_RADIO_NONE, IDC_RADIO_AUTO, IDC_RADIO_IP, IDC_RADIO_DOMAIN};

bool InitIpAddressClass()
{
    INITCOMMONCONTROLSEX init;

    init.dwSize = sizeof(init);
    init.dwICC = ICC_INTERNET_CLASSES;
    return SysInitCommonControlsEx(&init) != FALSE;
}

static INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

PlainDialog::PlainDialog()
{
    hwnd = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_PROXY), NULL, PlainProc, 0);
    g_hDlg = hwnd;
}

PlainDialog::~PlainDialog()
{
    if (hwnd != NULL) {
        DestroyWindow(hwnd);
    }
    g_hDlg = NULL;
}

std::string WindowText(HWND window)
{
    char text[4096];
    int length = GetWindowTextA(window, text, sizeof(text));

    return std::string(text, length);
}

std::string ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

std::string CheckStates(HWND dialog)
{
    std::string states;

    for (int id : kOptions) {
        states += (char)('0' + SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0));
    }
    return states;
}

void SetCheckStates(HWND dialog, const std::string& states)
{
    for (size_t i = 0; i < 4 && i < states.size(); i++) {
        SendMessageA(GetDlgItem(dialog, kOptions[i]), BM_SETCHECK, states[i] == '1' ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

int GetIpAddress(HWND dialog, DWORD* address)
{
    *address = 0;
    return (int)SendMessageA(GetDlgItem(dialog, IDC_IPADDR), IPM_GETADDRESS, 0, (LPARAM)address);
}

std::string DottedAddress(DWORD address)
{
    char text[32];

    wsprintfA(text, "%u.%u.%u.%u", (unsigned)FIRST_IPADDRESS(address), (unsigned)SECOND_IPADDRESS(address),
              (unsigned)THIRD_IPADDRESS(address), (unsigned)FOURTH_IPADDRESS(address));
    return text;
}

std::vector<HWND> IpFieldEdits(HWND dialog)
{
    std::vector<std::pair<LONG, HWND>> found;
    HWND ip = GetDlgItem(dialog, IDC_IPADDR);
    std::vector<HWND> edits;

    for (HWND child = GetWindow(ip, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        found.push_back(std::make_pair(rect.left, child));
    }
    std::sort(found.begin(), found.end());
    for (const auto& f : found) {
        edits.push_back(f.second);
    }
    return edits;
}

static struct {
    const std::function<void(int)>* step;
    int tick;
    DWORD start, limit;
    bool timedOut, busy;
} g_run;

static BOOL CALLBACK EndBox(HWND window, LPARAM)
{
    char name[16];

    if (window != g_hDlg && GetClassNameA(window, name, sizeof(name)) && lstrcmpA(name, "#32770") == 0) {
        EndDialog(window, IDOK);
    }
    return TRUE;
}

static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_run.busy) {
        return;
    }
    g_run.busy = true;
    if (GetTickCount() - g_run.start > g_run.limit) {
        // A box runs its own loop: the dialog can end only once the boxes have.
        g_run.timedOut = true;
        EnumThreadWindows(GetCurrentThreadId(), EndBox, 0);
        if (g_hDlg != NULL) {
            EndDialog(g_hDlg, -2);
        }
    } else if (g_hDlg != NULL) {
        (*g_run.step)(g_run.tick++);
    }
    g_run.busy = false;
}

ProgramRun RunProgramDialog(const std::function<void(int tick)>& step, DWORD limitMs)
{
    ProgramRun run;

    g_hDlg = NULL;
    g_run.step = &step;
    g_run.tick = 0;
    g_run.start = GetTickCount();
    g_run.limit = limitMs;
    g_run.timedOut = false;
    g_run.busy = false;
    UINT_PTR timer = SetTimer(NULL, 0, 20, OnTick);
    run.result = DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_PROXY), NULL, DlgProc, 0);
    KillTimer(NULL, timer);
    run.timedOut = g_run.timedOut;
    g_run.step = NULL;
    return run;
}

struct BoxSearch {
    const char* caption;
    HWND found;
};

static BOOL CALLBACK MatchBox(HWND window, LPARAM param)
{
    BoxSearch* search = (BoxSearch*)param;
    char name[16];

    if (window != g_hDlg && GetClassNameA(window, name, sizeof(name)) && lstrcmpA(name, "#32770") == 0
        && (search->caption == NULL || WindowText(window) == search->caption)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindThreadBox(const char* caption)
{
    BoxSearch search = {caption, NULL};

    EnumThreadWindows(GetCurrentThreadId(), MatchBox, (LPARAM)&search);
    return search.found;
}
