// The code that fills and reads the dialog's controls, and the dialog
// manager's work with the template, on a plain copy of dialog 103.
#include <windows.h>
#include <commctrl.h>
#include <limits.h>
#include <stdio.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app.h"
#include "dialog_support.h"
#include "resource.h"
#include "settings/settings.h"
#include "support.h"

class Dialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(InitIpAddressClass());
        memset(&g_proxySetting, 0, sizeof(g_proxySetting));
    }
};

static const char kAutoTemplate[] = "：自動設定";

struct ShowCase {
    const char* name;
    int mode;
    const char *autoHost, *autoPort, *ipHost, *ipPort, *domainHost, *domainPort;
    const char* checks;
    bool autoEnabled;
    const char* autoLabel;
    int ipFields;  // what IPM_GETADDRESS counts afterwards
    const char *ipAddress, *ipPortText, *domainText, *domainPortText;
};

TEST_F(Dialog, ShowProxyInfoRecords)
{
    static const char kLabel[] = "：自動設定（10.0.0.1 80番ポート）";
    const ShowCase cases[] = {
        {"none", 0, "10.0.0.1", "80", "1.2.3.4", "8080", "proxy.example", "3128",
         "1000", true, kLabel, 4, "1.2.3.4", "8080", "proxy.example", "3128"},
        {"auto", 1, "10.0.0.1", "80", "1.2.3.4", "8080", "proxy.example", "3128",
         "0100", true, kLabel, 4, "1.2.3.4", "8080", "proxy.example", "3128"},
        {"ip", 2, "10.0.0.1", "80", "1.2.3.4", "8080", "proxy.example", "3128",
         "0010", true, kLabel, 4, "1.2.3.4", "8080", "proxy.example", "3128"},
        {"domain", 3, "10.0.0.1", "80", "1.2.3.4", "8080", "proxy.example", "3128",
         "0001", true, kLabel, 4, "1.2.3.4", "8080", "proxy.example", "3128"},
        {"mode 4", 4, "10.0.0.1", "80", "1.2.3.4", "8080", "proxy.example", "3128",
         "0000", true, kLabel, 4, "1.2.3.4", "8080", "proxy.example", "3128"},
        {"mode -1", -1, "10.0.0.1", "80", "1.2.3.4", "8080", "proxy.example", "3128",
         "0000", true, kLabel, 4, "1.2.3.4", "8080", "proxy.example", "3128"},
        {"auto without host", 1, "", "80", "", "", "", "",
         "0100", false, kAutoTemplate, 0, "0.0.0.0", "", "", ""},
        {"none without auto host", 0, "", "", "1.2.3.4", "8080", "", "",
         "1000", false, kAutoTemplate, 4, "1.2.3.4", "8080", "", ""},
        {"empty record", 0, "", "", "", "", "", "",
         "1000", false, kAutoTemplate, 0, "0.0.0.0", "", "", ""},
        {"auto port empty", 1, "10.0.0.1", "", "", "", "", "",
         "0100", true, "：自動設定（10.0.0.1 番ポート）", 0, "0.0.0.0", "", "", ""},
        {"ip port empty", 2, "", "", "1.2.3.4", "", "", "",
         "0010", false, kAutoTemplate, 4, "1.2.3.4", "", "", ""},
        {"ip host empty, port set", 2, "", "", "", "8080", "", "",
         "0010", false, kAutoTemplate, 0, "0.0.0.0", "", "", ""},
        {"domain port empty", 3, "", "", "", "", "proxy.example", "",
         "0001", false, kAutoTemplate, 0, "0.0.0.0", "", "proxy.example", ""},
        {"domain host empty, port set", 3, "", "", "", "", "", "3128",
         "0001", false, kAutoTemplate, 0, "0.0.0.0", "", "", ""},
        {"Japanese domain", 3, "", "", "", "", "プロキシ.example", "ポート",
         "0001", false, kAutoTemplate, 0, "0.0.0.0", "", "プロキシ.example", "ポート"},
    };

    for (const ShowCase& c : cases) {
        SCOPED_TRACE(c.name);
        PlainDialog dialog;
        ASSERT_TRUE(dialog.hwnd != NULL);
        ProxySetting record = Record(c.mode, c.autoHost, c.autoPort, c.ipHost, c.ipPort, c.domainHost, c.domainPort);

        EXPECT_EQ(ShowProxyInfo(&record), 1);
        EXPECT_EQ(CheckStates(dialog.hwnd), c.checks);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog.hwnd, IDC_RADIO_AUTO)) != FALSE, c.autoEnabled);
        EXPECT_EQ(ItemText(dialog.hwnd, IDC_RADIO_AUTO), c.autoLabel);
        DWORD address;
        EXPECT_EQ(GetIpAddress(dialog.hwnd, &address), c.ipFields);
        EXPECT_EQ(DottedAddress(address), c.ipAddress);
        EXPECT_EQ(ItemText(dialog.hwnd, IDC_EDIT_IPPORT), c.ipPortText);
        EXPECT_EQ(ItemText(dialog.hwnd, IDC_EDIT_DOMAIN), c.domainText);
        EXPECT_EQ(ItemText(dialog.hwnd, IDC_EDIT_DOMAINPORT), c.domainPortText);
    }
}

TEST_F(Dialog, ShowProxyInfoOutOfRangeModeLeavesTheOptions)
{
    for (int mode : {4, -1, 7, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        PlainDialog dialog;
        ASSERT_TRUE(dialog.hwnd != NULL);
        ProxySetting record = Record(mode, "10.0.0.1", "80", "", "", "", "");
        SetCheckStates(dialog.hwnd, "0010");

        ShowProxyInfo(&record);
        EXPECT_EQ(CheckStates(dialog.hwnd), "0010");
        EXPECT_EQ(ItemText(dialog.hwnd, IDC_RADIO_AUTO), "：自動設定（10.0.0.1 80番ポート）");
    }
}

// Each entry is written as a pair, its port also when empty, or not at all:
// controls that already hold text show which.
TEST_F(Dialog, ShowProxyInfoEntriesAreSetAsPairs)
{
    static const struct {
        const char *ipHost, *ipPort, *domainHost, *domainPort;
        const char *address, *ipPortText, *domainText, *domainPortText;
    } cases[] = {
        {"1.2.3.4", "", "", "3128", "1.2.3.4", "", "stale", "stale"},
        {"", "8080", "proxy.example", "", "9.9.9.9", "stale", "proxy.example", ""},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "ip \"" << c.ipHost << "\", domain \"" << c.domainHost << "\"");
        PlainDialog dialog;
        ASSERT_TRUE(dialog.hwnd != NULL);
        SendMessageA(GetDlgItem(dialog.hwnd, IDC_IPADDR), IPM_SETADDRESS, 0, MAKEIPADDRESS(9, 9, 9, 9));
        SetDlgItemTextA(dialog.hwnd, IDC_EDIT_IPPORT, "stale");
        SetDlgItemTextA(dialog.hwnd, IDC_EDIT_DOMAIN, "stale");
        SetDlgItemTextA(dialog.hwnd, IDC_EDIT_DOMAINPORT, "stale");
        ProxySetting record = Record(0, "", "", c.ipHost, c.ipPort, c.domainHost, c.domainPort);

        ShowProxyInfo(&record);
        DWORD address;
        EXPECT_EQ(GetIpAddress(dialog.hwnd, &address), 4);
        EXPECT_EQ(DottedAddress(address), c.address);
        EXPECT_EQ(ItemText(dialog.hwnd, IDC_EDIT_IPPORT), c.ipPortText);
        EXPECT_EQ(ItemText(dialog.hwnd, IDC_EDIT_DOMAIN), c.domainText);
        EXPECT_EQ(ItemText(dialog.hwnd, IDC_EDIT_DOMAINPORT), c.domainPortText);
    }
}

TEST_F(Dialog, ShowProxyInfoAddressTexts)
{
    static const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"192.168.0.1", "192.168.0.1"},
        {"10.0.0", "10.0.0.0"},
        {"1.2.3.4.5", "1.2.3.4"},
        {"1..3.4", "1.0.3.4"},
        {"300.1.1.1", "44.1.1.1"},
        {"256.-1.255.0", "0.255.255.0"},
        {"abc", "0.0.0.0"},
        {".", "0.0.0.0"},
        {"1.2.3.", "1.2.3.0"},
        {" 12.+3.4x.5", "12.3.4.5"},
        {"7", "7.0.0.0"},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        PlainDialog dialog;
        ASSERT_TRUE(dialog.hwnd != NULL);
        ProxySetting record = Record(2, "", "", c.text, "81", "", "");
        DWORD address;

        ShowProxyInfo(&record);
        EXPECT_EQ(GetIpAddress(dialog.hwnd, &address), 4);
        EXPECT_EQ(DottedAddress(address), c.shown);
        EXPECT_EQ(ItemText(dialog.hwnd, IDC_EDIT_IPPORT), "81");
    }
}

TEST_F(Dialog, ShowProxyInfoLongestLabelIsShownWhole)
{
    PlainDialog dialog;
    std::string host(127, '1'), port(63, '2');

    for (size_t i = 3; i < host.size(); i += 4) {
        host[i] = '.';
    }
    ProxySetting record = Record(0, host.c_str(), port.c_str(), "", "", "", "");
    ASSERT_TRUE(dialog.hwnd != NULL);
    ShowProxyInfo(&record);
    HWND option = GetDlgItem(dialog.hwnd, IDC_RADIO_AUTO);
    std::string expected = "：自動設定（" + host + " " + port + "番ポート）";
    EXPECT_EQ(expected.size(), 213u);
    EXPECT_EQ(SendMessageA(option, WM_GETTEXTLENGTH, 0, 0), 213);
    EXPECT_EQ(WindowText(option), expected);
}

// The state of the controls when OK is pressed. ip holds the texts typed
// into the four fields of the address control, "." between them, an empty
// part leaving its field blank; NULL leaves the control as created. With
// viaMessage the four numbers go in with IPM_SETADDRESS instead.
struct SaveCase {
    const char* name;
    const char* checks;
    const char* ip;
    bool viaMessage;
    std::string ipPort, domain, domainPort;
    int result;
    std::string text;  // the settings text written on 1; on 0 the file stays as it was
};

class Save : public Dialog {
protected:
    void SetUp() override
    {
        Dialog::SetUp();
        lstrcpyA(g_proxySetting.autoHost, "10.0.0.1");
        lstrcpyA(g_proxySetting.autoPort, "80");
        file_ = dir_.path + "setting.bin";
        ASSERT_TRUE(WriteBytes(file_, kOld));
    }
    void Apply(HWND dialog, const SaveCase& c)
    {
        SetCheckStates(dialog, c.checks);
        SetDlgItemTextA(dialog, IDC_RADIO_AUTO, "：自動設定（9.9.9.9 99番ポート）");
        if (c.ip != NULL && c.viaMessage) {
            int a, b, cc, d;
            ASSERT_EQ(sscanf(c.ip, "%d.%d.%d.%d", &a, &b, &cc, &d), 4);
            SendMessageA(GetDlgItem(dialog, IDC_IPADDR), IPM_SETADDRESS, 0, MAKEIPADDRESS(a, b, cc, d));
        } else if (c.ip != NULL) {
            std::vector<HWND> fields = IpFieldEdits(dialog);
            std::string rest = c.ip;
            ASSERT_EQ(fields.size(), 4u);
            for (HWND field : fields) {
                size_t dot = rest.find('.');
                SetWindowTextA(field, rest.substr(0, dot).c_str());
                rest = dot == std::string::npos ? "" : rest.substr(dot + 1);
            }
        }
        SetDlgItemTextA(dialog, IDC_EDIT_IPPORT, c.ipPort.c_str());
        SetDlgItemTextA(dialog, IDC_EDIT_DOMAIN, c.domain.c_str());
        SetDlgItemTextA(dialog, IDC_EDIT_DOMAINPORT, c.domainPort.c_str());
    }
    static const std::string kOld;
    TempDir dir_;
    std::string file_;
};

const std::string Save::kOld = Complemented("3,old,1,,,,,");

TEST_F(Save, ControlStates)
{
    const std::string d200(200, 'd'), p100(100, 'p');
    std::string wideDomain, widePort;
    for (int i = 0; i < 70; i++) {
        wideDomain += "プ";
        widePort += i < 40 ? "ポ" : "";
    }
    const SaveCase cases[] = {
        {"none alone", "1000", "1.2.3.4", false, "8080", "proxy.example", "3128", 1, "0,,,,,,,"},
        {"auto alone", "0100", "1.2.3.4", false, "8080", "proxy.example", "3128", 1, "1,10.0.0.1,80,,,,,"},
        {"ip alone", "0010", "1.2.3.4", false, "8080", "proxy.example", "3128", 1, "2,,,1.2.3.4,8080,,,"},
        {"domain alone", "0001", "1.2.3.4", false, "8080", "proxy.example", "3128", 1, "3,,,,,proxy.example,3128,"},
        {"nothing checked", "0000", "1.2.3.4", false, "8080", "proxy.example", "3128", 1, "0,,,,,,,"},
        {"none and ip", "1010", "1.2.3.4", false, "8080", "proxy.example", "3128", 1, "2,,,1.2.3.4,8080,,,"},
        {"none and auto", "1100", "1.2.3.4", false, "8080", "proxy.example", "3128", 1, "1,10.0.0.1,80,,,,,"},
        {"auto and domain", "0101", "1.2.3.4", false, "8080", "proxy.example", "3128", 1,
         "3,10.0.0.1,80,,,proxy.example,3128,"},
        {"all four", "1111", "1.2.3.4", false, "8080", "proxy.example", "3128", 1,
         "3,10.0.0.1,80,1.2.3.4,8080,proxy.example,3128,"},
        {"ip blank", "0010", NULL, false, "8080", "", "", 0, ""},
        {"ip with three fields", "0010", "192.168..1", false, "8080", "", "", 0, ""},
        {"ip without its first field", "0010", ".168.0.1", false, "8080", "", "", 0, ""},
        {"ip incomplete, domain after it", "0011", "1.2.3.", false, "8080", "proxy.example", "3128", 0, ""},
        {"ip typed", "0010", "192.168.0.1", false, "8080", "", "", 1, "2,,,192.168.0.1,8080,,,"},
        {"ip by message", "0010", "10.0.0.0", true, "8080", "", "", 1, "2,,,10.0.0.0,8080,,,"},
        {"ip all zero", "0010", "0.0.0.0", false, "8080", "", "", 1, "2,,,0.0.0.0,8080,,,"},
        {"ip highest", "0010", "255.255.255.255", true, "1", "", "", 1, "2,,,255.255.255.255,1,,,"},
        {"ip port empty", "0010", "1.2.3.4", false, "", "", "", 1, "2,,,1.2.3.4,,,,"},
        {"ip port letters", "0010", "1.2.3.4", false, "http", "", "", 1, "2,,,1.2.3.4,http,,,"},
        {"domain empty", "0001", NULL, false, "", "", "3128", 1, "3,,,,,,3128,"},
        {"domain with a comma", "0001", NULL, false, "", "a,b", "80", 1, "3,,,,,a,b,80,"},
        {"Japanese domain", "0001", NULL, false, "", "プロキシ.example", "ポート", 1,
         "3,,,,,プロキシ.example,ポート,"},
        {"ip port cut", "0010", "1.2.3.4", false, p100, "", "", 1, "2,,,1.2.3.4," + p100.substr(0, 63) + ",,,"},
        {"domain texts cut", "0001", NULL, false, "", d200, p100, 1,
         "3,,,,," + d200.substr(0, 127) + "," + p100.substr(0, 63) + ","},
        // Cut at a whole character: half of one would take the comma after it.
        {"double-byte texts cut", "0001", NULL, false, "", wideDomain, widePort, 1,
         "3,,,,," + wideDomain.substr(0, 126) + "," + widePort.substr(0, 62) + ","},
        {"double-byte ip port cut", "0010", "1.2.3.4", false, widePort, "", "", 1,
         "2,,,1.2.3.4," + widePort.substr(0, 62) + ",,,"},
    };

    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        PlainDialog dialog;
        ASSERT_TRUE(dialog.hwnd != NULL);
        ASSERT_TRUE(WriteBytes(file_, kOld));
        Apply(dialog.hwnd, c);

        EXPECT_EQ(SaveProxyFile(file_.c_str()), c.result);
        std::string bytes;
        ASSERT_TRUE(ReadBytes(file_, &bytes));
        EXPECT_EQ(Complemented(bytes), c.result == 1 ? c.text : Complemented(kOld)) << Hex(bytes);
    }
}

TEST_F(Save, AutoFieldsAreCopiedWhole)
{
    PlainDialog dialog;
    std::string host(127, 'h'), port(63, 'p');

    ASSERT_TRUE(dialog.hwnd != NULL);
    lstrcpyA(g_proxySetting.autoHost, host.c_str());
    lstrcpyA(g_proxySetting.autoPort, port.c_str());
    SetCheckStates(dialog.hwnd, "0100");
    EXPECT_EQ(SaveProxyFile(file_.c_str()), 1);
    std::string bytes;
    ASSERT_TRUE(ReadBytes(file_, &bytes));
    EXPECT_EQ(Complemented(bytes), "1," + host + "," + port + ",,,,,");
}

TEST_F(Save, UnwritablePathGivesZero)
{
    PlainDialog dialog;
    std::string missing = dir_.path + "absent\\setting.bin";

    ASSERT_TRUE(dialog.hwnd != NULL);
    SetCheckStates(dialog.hwnd, "1000");
    EXPECT_EQ(SaveProxyFile(missing.c_str()), 0);
    EXPECT_FALSE(FileExists(missing));
}

TEST(Placement, CenterOrigin)
{
    static const struct {
        int screen, size, origin;
    } cases[] = {
        {1024, 301, 361}, {1024, 300, 362}, {800, 803, -1}, {800, 802, -1}, {800, 804, -2},
        {768, 200, 284}, {100, 100, 0}, {0, 1, 0}, {0, 3, -1}, {1, 0, 0}, {1920, 1081, 419},
    };

    for (const auto& c : cases) {
        EXPECT_EQ(CenterOrigin(c.screen, c.size), c.origin) << c.screen << " " << c.size;
    }
}

// The dialog manager's groups and tab stops, with the dialog shown and
// active as the user meets it.
class Keyboard : public Dialog {
protected:
    void SetUp() override
    {
        Dialog::SetUp();
        dialog_ = new PlainDialog;
        ASSERT_TRUE(dialog_->hwnd != NULL);
        ShowWindow(dialog_->hwnd, SW_SHOWNORMAL);
        SetForegroundWindow(dialog_->hwnd);
        SetActiveWindow(dialog_->hwnd);
    }
    void TearDown() override { delete dialog_; }
    void Show(int mode)
    {
        ProxySetting record = Record(mode, "10.0.0.1", "80", "1.2.3.4", "8080", "proxy.example", "3128");
        ShowProxyInfo(&record);
    }
    // The tab stops from control 1003 on, until the cycle comes back to it.
    std::vector<int> TabCycle()
    {
        std::vector<int> ids;
        HWND start = GetDlgItem(dialog_->hwnd, IDC_IPADDR);
        HWND item = start;
        do {
            ids.push_back(GetDlgCtrlID(item));
            item = GetNextDlgTabItem(dialog_->hwnd, item, FALSE);
        } while (item != NULL && item != start && ids.size() < 20);
        return ids;
    }
    PlainDialog* dialog_;
};

TEST_F(Keyboard, TabStops)
{
    static const struct {
        int mode;
        std::vector<int> cycle;
    } cases[] = {
        {4, {1003, 1004, 1006, 1007, 1, 8}},
        {0, {1003, 1004, 1006, 1007, 1, 8, 1000}},
        {1, {1003, 1004, 1006, 1007, 1, 8, 1001}},
        {2, {1003, 1004, 1006, 1007, 1, 8, 1002}},
        {3, {1003, 1004, 1006, 1007, 1, 8, 1005}},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        Show(c.mode);
        EXPECT_EQ(TabCycle(), c.cycle);
    }
}

TEST_F(Keyboard, OptionsExcludeEachOther)
{
    static const struct {
        int mode;
        int clicked;
        const char* checks;
    } cases[] = {
        {0, IDC_RADIO_DOMAIN, "0001"}, {1, IDC_RADIO_DOMAIN, "0001"}, {2, IDC_RADIO_DOMAIN, "0001"},
        {3, IDC_RADIO_NONE, "1000"},   {3, IDC_RADIO_AUTO, "0100"},   {3, IDC_RADIO_IP, "0010"},
        {0, IDC_RADIO_IP, "0010"},     {2, IDC_RADIO_AUTO, "0100"},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", click " << c.clicked);
        Show(c.mode);
        SendMessageA(GetDlgItem(dialog_->hwnd, c.clicked), BM_CLICK, 0, 0);
        EXPECT_EQ(CheckStates(dialog_->hwnd), c.checks);
    }
}

TEST_F(Keyboard, CancelIsTheDefaultButton)
{
    LRESULT id = SendMessageA(dialog_->hwnd, DM_GETDEFID, 0, 0);

    EXPECT_EQ(LOWORD(id), IDC_BTN_CANCEL);
    EXPECT_EQ(HIWORD(id), DC_HASDEFID);
}
