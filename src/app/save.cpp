#include "app.h"

#include <winsock2.h>
#include <commctrl.h>
#include <string.h>

#include "resource.h"
#include "settings/settings.h"

static int IsChecked(int id)
{
    return SendMessageA(GetDlgItem(g_hDlg, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// An edit's text, cut to capacity as GetDlgItemTextA cuts it, but never
// inside a double-byte character: GetDlgItemTextA counts bytes and may leave
// the first half of one at the end, and stored so, that half would take the
// comma after it as its second byte and shift every later field of the file.
static void ReadItemText(int id, char* out, int capacity)
{
    char* pos = out;

    GetDlgItemTextA(g_hDlg, id, out, capacity);
    while (*pos != '\0') {
        char* next = CharNextA(pos);
        if (*next == '\0' && next - pos == 1 && IsDBCSLeadByte((BYTE)*pos)) {
            *pos = '\0';
            return;
        }
        pos = next;
    }
}

// The manual IP entry. 0 when the address is incomplete: then nothing may
// be stored at all.
static int ReadIpEntry(ProxySetting* setting)
{
    DWORD address = 0;
    struct in_addr network;

    if (SendMessageA(GetDlgItem(g_hDlg, IDC_IPADDR), IPM_GETADDRESS, 0, (LPARAM)&address) != 4) {
        return 0;
    }
    network.s_addr = htonl(address);
    lstrcpynA(setting->ipHost, inet_ntoa(network), sizeof(setting->ipHost));
    ReadItemText(IDC_EDIT_IPPORT, setting->ipPort, sizeof(setting->ipPort));
    return 1;
}

int SaveProxyFile(const char* path)
{
    ProxySetting setting;

    memset(&setting, 0, sizeof(setting));
    // When several options are on, the last one read gives the mode.
    if (IsChecked(IDC_RADIO_NONE)) {
        setting.mode = PROXY_NONE;
    }
    if (IsChecked(IDC_RADIO_AUTO)) {
        setting.mode = PROXY_AUTO;
        lstrcpynA(setting.autoHost, g_proxySetting.autoHost, sizeof(setting.autoHost));
        lstrcpynA(setting.autoPort, g_proxySetting.autoPort, sizeof(setting.autoPort));
    }
    if (IsChecked(IDC_RADIO_IP)) {
        setting.mode = PROXY_MANUAL_IP;
        if (!ReadIpEntry(&setting)) {
            return 0;
        }
    }
    if (IsChecked(IDC_RADIO_DOMAIN)) {
        setting.mode = PROXY_MANUAL_DOMAIN;
        ReadItemText(IDC_EDIT_DOMAIN, setting.domainHost, sizeof(setting.domainHost));
        ReadItemText(IDC_EDIT_DOMAINPORT, setting.domainPort, sizeof(setting.domainPort));
    }
    return WriteProxyFile(path, &setting);
}
