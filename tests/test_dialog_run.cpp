// The program's own dialog procedure, run modally in the test's process and
// driven by posted messages, as the platform's dialog manager runs it.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include <gtest/gtest.h>

#include <string>

#include "app.h"
#include "dialog_support.h"
#include "log/log.h"
#include "resource.h"
#include "settings/settings.h"
#include "support.h"

static const char kBoxCaption[] = "報告";
static const char kBoxText[] = "アプリケーションの初期化に失敗しました。処理を中止いたします(PRC:000)。";

// The program's dialog, started as the program starts it.
class ProgramDialog : public FreshStart {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(InitIpAddressClass());
        FreshStart::SetUp();
    }
};

static void Post(int id, WORD code)
{
    PostMessageA(g_hDlg, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)GetDlgItem(g_hDlg, id));
}

TEST_F(ProgramDialog, OpensCentredTopmostAndFilled)
{
    const std::string stored = "3,9.9.9.9,99,1.2.3.4,8080,proxy.example,3128,";
    bool visible = false, topmost = false, focusInAddress = false;
    RECT rect = {0, 0, 0, 0};
    std::string checks, label, port, domain, domainPort;
    int fields = 0;
    DWORD address = 0;

    ASSERT_TRUE(WriteBytes(file_, Complemented(stored)));
    ProgramRun run = RunProgramDialog([&](int tick) {
        if (tick > 0) {
            return;
        }
        HWND focus = GetFocus();
        HWND ip = GetDlgItem(g_hDlg, IDC_IPADDR);
        visible = IsWindowVisible(g_hDlg) != FALSE;
        topmost = (GetWindowLongA(g_hDlg, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        GetWindowRect(g_hDlg, &rect);
        focusInAddress = focus != NULL && (focus == ip || IsChild(ip, focus));
        checks = CheckStates(g_hDlg);
        label = ItemText(g_hDlg, IDC_RADIO_AUTO);
        fields = GetIpAddress(g_hDlg, &address);
        port = ItemText(g_hDlg, IDC_EDIT_IPPORT);
        domain = ItemText(g_hDlg, IDC_EDIT_DOMAIN);
        domainPort = ItemText(g_hDlg, IDC_EDIT_DOMAINPORT);
        Post(IDC_BTN_CANCEL, BN_CLICKED);
    });

    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(topmost);
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_GT(w, 0);
    EXPECT_EQ(rect.left, (sw - w) / 2) << "screen " << sw << ", width " << w;
    EXPECT_EQ(rect.top, (sh - h) / 2) << "screen " << sh << ", height " << h;
    EXPECT_TRUE(focusInAddress);
    EXPECT_EQ(checks, "0001");
    EXPECT_EQ(label, "：自動設定（9.9.9.9 99番ポート）");
    EXPECT_EQ(fields, 4);
    EXPECT_EQ(DottedAddress(address), "1.2.3.4");
    EXPECT_EQ(port, "8080");
    EXPECT_EQ(domain, "proxy.example");
    EXPECT_EQ(domainPort, "3128");
    EXPECT_EQ(FileText(), stored);
    EXPECT_FALSE(FileExists(cwd_.path + "proxy.log"));
}

// A message to the dialog, and whether it ends the dialog. One that does
// not is followed by CANCEL, so that every run ends.
struct CommandCase {
    const char* name;
    UINT message;
    int target;  // control the message goes to; 0: the dialog
    WPARAM wParam;
    bool ends;
    bool saves;
};

TEST_F(ProgramDialog, Commands)
{
    const std::string stored = "3,9.9.9.9,99,1.2.3.4,8080,proxy.example,3128,";
    const std::string saved = "3,,,,,proxy.example,3128,";
    const CommandCase cases[] = {
        {"OK clicked", WM_COMMAND, 0, MAKEWPARAM(IDOK, BN_CLICKED), true, true},
        {"OK with another code", WM_COMMAND, 0, MAKEWPARAM(IDOK, 0x8001), true, true},
        {"CANCEL clicked", WM_COMMAND, 0, MAKEWPARAM(IDC_BTN_CANCEL, BN_CLICKED), true, false},
        {"CANCEL with another code", WM_COMMAND, 0, MAKEWPARAM(IDC_BTN_CANCEL, EN_SETFOCUS), true, false},
        {"IDCANCEL", WM_COMMAND, 0, MAKEWPARAM(IDCANCEL, BN_CLICKED), false, false},
        {"an option's command", WM_COMMAND, 0, MAKEWPARAM(IDC_RADIO_NONE, BN_CLICKED), false, false},
        {"close request", WM_CLOSE, 0, 0, false, false},
        {"close from the system menu", WM_SYSCOMMAND, 0, SC_CLOSE, false, false},
        {"Esc in the domain edit", WM_KEYDOWN, IDC_EDIT_DOMAIN, VK_ESCAPE, false, false},
        {"Enter in the domain edit", WM_KEYDOWN, IDC_EDIT_DOMAIN, VK_RETURN, true, false},
    };

    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        bool openAfter = false;
        ASSERT_TRUE(WriteBytes(file_, Complemented(stored)));
        ProgramRun run = RunProgramDialog([&](int tick) {
            if (tick == 0) {
                HWND target = c.target != 0 ? GetDlgItem(g_hDlg, c.target) : g_hDlg;
                if (c.target != 0) {
                    SetFocus(target);
                }
                PostMessageA(target, c.message, c.wParam, 0);
            } else if (tick == 1) {
                openAfter = IsWindowVisible(g_hDlg) != FALSE;
                Post(IDC_BTN_CANCEL, BN_CLICKED);
            }
        });
        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.result, 1);
        EXPECT_EQ(openAfter, !c.ends);
        EXPECT_EQ(FileText(), c.saves ? saved : stored);
    }
}

TEST_F(ProgramDialog, FirstRunChoosesTheSystemProxy)
{
    std::string firstFile, checks, label;

    ASSERT_TRUE(SetInternetProxy(1, "http=http=10.0.0.1:80"));
    ProgramRun run = RunProgramDialog([&](int tick) {
        if (tick > 0) {
            return;
        }
        firstFile = FileText();
        checks = CheckStates(g_hDlg);
        label = ItemText(g_hDlg, IDC_RADIO_AUTO);
        SendMessageA(GetDlgItem(g_hDlg, IDC_RADIO_AUTO), BM_CLICK, 0, 0);
        Post(IDOK, BN_CLICKED);
    });

    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(firstFile, "0,10.0.0.1,80,,,,,");
    EXPECT_EQ(checks, "1000");
    EXPECT_EQ(label, "：自動設定（10.0.0.1 80番ポート）");
    EXPECT_EQ(FileText(), "1,10.0.0.1,80,,,,,");
}

TEST_F(ProgramDialog, IncompleteAddressEndsWithoutSavingOrMessage)
{
    const std::string stored = "2,,,1.2.3.4,8080,,,";
    bool boxSeen = false;

    ASSERT_TRUE(WriteBytes(file_, Complemented(stored)));
    ProgramRun run = RunProgramDialog([&](int tick) {
        if (FindThreadBox(NULL) != NULL) {
            boxSeen = true;
        }
        if (tick == 0) {
            SetWindowTextA(IpFieldEdits(g_hDlg).at(2), "");
            Post(IDOK, BN_CLICKED);
        }
    });

    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.result, 1);
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(FileText(), stored);
    EXPECT_FALSE(FileExists(cwd_.path + "proxy.log"));
}

// What the failure box looks like once it is shown, seen from the timer.
struct BoxState {
    int seen;  // ticks on which the box was found shown
    HWND box, owner;
    bool dialogEnabled, dialogVisible, dialogTopmost, boxAboveDialog, dialogAboveBox;
    std::string text;
};

static BOOL CALLBACK FindText(HWND child, LPARAM param)
{
    std::string* text = (std::string*)param;

    if (WindowText(child) == kBoxText) {
        *text = kBoxText;
        return FALSE;
    }
    return TRUE;
}

static bool IsAbove(HWND upper, HWND lower)
{
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w != NULL; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == lower) {
            return true;
        }
    }
    return false;
}

static void ObserveBox(BoxState* state)
{
    HWND box = FindThreadBox(kBoxCaption);

    // The dialog manager may show the box only once its queue is empty.
    if (box == NULL || !IsWindowVisible(box)) {
        return;
    }
    if (state->seen++ > 0) {
        return;
    }
    state->box = box;
    state->owner = GetWindow(box, GW_OWNER);
    state->dialogEnabled = IsWindowEnabled(g_hDlg) != FALSE;
    state->dialogVisible = IsWindowVisible(g_hDlg) != FALSE;
    state->dialogTopmost = (GetWindowLongA(g_hDlg, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    state->boxAboveDialog = IsAbove(box, g_hDlg);
    state->dialogAboveBox = IsAbove(g_hDlg, box);
    EnumChildWindows(box, FindText, (LPARAM)&state->text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

struct FailedStartCase {
    const char* name;
    bool withKey;     // otherwise HKLM\SOFTWARE\kiln_proxy is missing
    const char* loadEntry;
};

TEST_F(ProgramDialog, FailedStartShowsTheBoxAboveTheDialog)
{
    const FailedStartCase cases[] = {
        {"no installation key", false, "LoadProxyFile::err::GetAppPath\n"},
        {"installation directory missing", true, "LoadProxyFile::err::AnalyProxyBuf\n"},
    };

    for (const FailedStartCase& c : cases) {
        SCOPED_TRACE(c.name);
        BoxState state = {};
        DeleteAppKey();
        if (c.withKey) {
            ASSERT_TRUE(SetAppPath(app_.path + "absent\\"));
        }
        ASSERT_TRUE(WriteBytes(cwd_.path + "proxy.log", "earlier run"));
        g_logCount = 0;

        ProgramRun run = RunProgramDialog([&](int) { ObserveBox(&state); });

        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(state.seen, 1);
        EXPECT_TRUE(state.owner == g_hDlg) << state.owner << " " << g_hDlg;
        EXPECT_FALSE(state.dialogEnabled);
        EXPECT_TRUE(state.dialogVisible);
        EXPECT_TRUE(state.dialogTopmost);
        EXPECT_TRUE(state.boxAboveDialog);
        EXPECT_FALSE(state.dialogAboveBox);
        EXPECT_EQ(state.text, kBoxText);
        EXPECT_FALSE(IsWindow(state.box));

        CloseLog();
        std::string bytes;
        ASSERT_TRUE(ReadBytes(cwd_.path + "proxy.log", &bytes));
        std::string text = Complemented(bytes);
        std::string second = "Proc_Wm_Initdialog::err::LoadProxyFile\n";
        size_t first = strlen(c.loadEntry);
        ASSERT_EQ(text.size(), 21 + first + 21 + second.size()) << text;
        EXPECT_EQ(text.substr(21, first), c.loadEntry);
        EXPECT_EQ(text.substr(21 + first + 21), second);
        for (size_t stamp : {(size_t)0, 21 + first}) {
            int y, mo, d, h, mi, s;
            char tail[3] = {};
            EXPECT_EQ(sscanf(text.substr(stamp, 21).c_str(), "%4d/%2d/%2d %2d:%2d:%2d%2c", &y, &mo, &d, &h, &mi, &s, tail), 7)
                << text.substr(stamp, 21);
            EXPECT_STREQ(tail, "  ");
        }
    }
}
