// Dialog 103 inside the test's own process: a plain copy whose procedure
// takes no action, for the code that fills and reads the controls, and the
// program's own dialog, run modally and driven from a timer.
#ifndef KILN_DIALOG_SUPPORT_H
#define KILN_DIALOG_SUPPORT_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Registers the IP address control's class, as the program does first.
bool InitIpAddressClass();

// Dialog 103 with a procedure that does nothing, hidden; it becomes g_hDlg.
struct PlainDialog {
    PlainDialog();
    ~PlainDialog();
    HWND hwnd;
};

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);

// The check states of the four options in the order 1000, 1001, 1002, 1005,
// one digit each: "1000" when only 1000 is on.
std::string CheckStates(HWND dialog);
void SetCheckStates(HWND dialog, const std::string& states);

// IPM_GETADDRESS on control 1003: the count of fields that are not blank.
int GetIpAddress(HWND dialog, DWORD* address);
std::string DottedAddress(DWORD address);
// The four field edits of the IP address control, left to right.
std::vector<HWND> IpFieldEdits(HWND dialog);

// Runs the program's dialog, DialogBoxParamA(103, DlgProc), with g_hDlg
// cleared first. step is called on every tick of a thread timer once g_hDlg
// is set, also while a message box of the dialog is up. After limitMs every
// box and the dialog are ended and timedOut is set.
struct ProgramRun {
    INT_PTR result;
    bool timedOut;
};
ProgramRun RunProgramDialog(const std::function<void(int tick)>& step, DWORD limitMs = 10000);

// A window of the dialog class of this thread, other than g_hDlg, with this
// caption (in the ANSI code page), or with any caption when caption is NULL;
// NULL when there is none.
HWND FindThreadBox(const char* caption);

#endif
