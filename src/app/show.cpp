#include "app.h"

#include <commctrl.h>
#include <stdlib.h>

#include "resource.h"
#include "text/text.h"

static void SetCheck(int id, int checked)
{
    SendMessageA(GetDlgItem(g_hDlg, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

static void ShowChoice(int mode)
{
    // Out of range (negative ones too): the options stay as created, none on.
    if ((unsigned)mode > PROXY_MANUAL_DOMAIN) {
        return;
    }
    SetCheck(IDC_RADIO_NONE, mode == PROXY_NONE);
    SetCheck(IDC_RADIO_AUTO, mode == PROXY_AUTO);
    SetCheck(IDC_RADIO_IP, mode == PROXY_MANUAL_IP);
    SetCheck(IDC_RADIO_DOMAIN, mode == PROXY_MANUAL_DOMAIN);
}

static void ShowAuto(const ProxySetting* setting)
{
    char label[1024];
    HWND option = GetDlgItem(g_hDlg, IDC_RADIO_AUTO);

    if (setting->autoHost[0] == '\0') {
        EnableWindow(option, FALSE);
        return;
    }
    EnableWindow(option, TRUE);
    wsprintfA(label, "：自動設定（%s %s番ポート）", setting->autoHost, setting->autoPort);
    SetDlgItemTextA(g_hDlg, IDC_RADIO_AUTO, label);
}

// A dotted text as the four fields of an address: missing parts are 0,
// parts past the fourth are ignored, each part keeps its low 8 bits.
static LPARAM AddressOf(const char* text)
{
    char part[1024];
    BYTE field[4] = {0, 0, 0, 0};
    int length = lstrlenA(text);
    int start = 0;
    int i;

    for (i = 0; i < 4 && start < length; i++) {
        int partLength = GetToken(part, text + start, ".", 1, sizeof(part));
        field[i] = (BYTE)atoi(part);
        start += partLength + 1;
    }
    return MAKEIPADDRESS(field[0], field[1], field[2], field[3]);
}

static void ShowIp(const ProxySetting* setting)
{
    if (setting->ipHost[0] == '\0') {
        return;
    }
    SendMessageA(GetDlgItem(g_hDlg, IDC_IPADDR), IPM_SETADDRESS, 0, AddressOf(setting->ipHost));
    SetWindowTextA(GetDlgItem(g_hDlg, IDC_EDIT_IPPORT), setting->ipPort);
}

static void ShowDomain(const ProxySetting* setting)
{
    if (setting->domainHost[0] == '\0') {
        return;
    }
    SetWindowTextA(GetDlgItem(g_hDlg, IDC_EDIT_DOMAIN), setting->domainHost);
    SetWindowTextA(GetDlgItem(g_hDlg, IDC_EDIT_DOMAINPORT), setting->domainPort);
}

int ShowProxyInfo(const ProxySetting* setting)
{
    ShowChoice(setting->mode);
    ShowAuto(setting);
    ShowIp(setting);
    ShowDomain(setting);
    return 1;
}
