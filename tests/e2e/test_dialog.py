#!/usr/bin/env python3
"""The real kiln_proxy.exe under Wine, driven by real mouse and keyboard
input: what the administrator sees and what lands in setting.bin and
proxy.log. One case per run: test_dialog.py --wine-run W --exe E --probe P CASE"""

import datetime
import os
import re
import sys

# No __pycache__ in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from kiln_e2e import (BOX_CAPTION, CAPTION, CONTROL_DU, IDC_BTN_CANCEL, IDOK, Failure, check, complemented,
                      main, screenshot_rgb, wait_for, windows_path)

SYSTEM_PROXY = "http=http=10.0.0.1:80"  # Wine hands the program "http=10.0.0.1:80"
DEFAULT_TEXT = b"0,10.0.0.1,80,,,,,"
AUTO_TEXT = b"1,10.0.0.1,80,,,,,"

WS_SYSMENU = 0x00080000
WS_CAPTION = 0x00C00000
WS_EX_TOPMOST = 0x00000008

TEMPLATE_TEXTS = {
    1000: "：プロキシを利用しない",
    1002: "：手動設定（IPアドレスで指定）",
    1005: "：手動設定（ドメイン名で指定）",
    IDOK: "OK",
    IDC_BTN_CANCEL: "CANCEL",
}


def sjis(text):
    return text.encode("cp932")


def expect_file(run, text):
    data = run.setting_bytes()
    check(data == complemented(text), "setting.bin holds %r complemented (seen %r)"
          % (text, complemented(data)))


def expect_clean_end(run):
    status = run.wait_exit()
    check(status == 0, "exit code 0 (seen %d)" % status)
    check(not os.path.exists(run.log), "no proxy.log after a start without failure")


def open_dialog(run, setting=None):
    run.prepare(proxy_server=SYSTEM_PROXY, setting=setting)
    run.start()
    return run.wait_window(CAPTION)


# ------------------------------------------------------------------ cases

def first_run(run):
    """No settings file: the default is written from the system proxy and the
    dialog shows it; CANCEL leaves the new file as it is."""
    dialog = open_dialog(run)
    state = run.dialog_state()
    expect_file(run, DEFAULT_TEXT)

    window, controls = state["window"], state["controls"]
    check(window["text"] == sjis(CAPTION), "caption %r (seen %r)" % (CAPTION, window["text"].decode("cp932", "replace")))
    check(window["style"] & WS_CAPTION == WS_CAPTION and not window["style"] & WS_SYSMENU,
          "caption bar without system menu (style %08X)" % window["style"])
    check(window["ex"] & WS_EX_TOPMOST, "dialog is topmost (ex %08X)" % window["ex"])
    left, top, right, bottom = window["rect"]
    sw, sh = run.display.screen_size()
    check((left, top) == ((sw - (right - left)) // 2, (sh - (bottom - top)) // 2),
          "dialog centred on %dx%d (rect %s)" % (sw, sh, window["rect"]))

    label = "：自動設定（10.0.0.1 80番ポート）"
    check(controls[1001]["text"] == sjis(label),
          "automatic option labelled %r (seen %r)" % (label, controls[1001]["text"].decode("cp932", "replace")))
    check(controls[1001]["enabled"] == 1, "automatic option enabled")
    for cid, text in TEMPLATE_TEXTS.items():
        check(controls[cid]["text"] == sjis(text), "control %d reads %r" % (cid, text))
    checks = {cid: controls[cid]["check"] for cid in (1000, 1001, 1002, 1005)}
    check(checks == {1000: 1, 1001: 0, 1002: 0, 1005: 0}, "only option 1000 checked (seen %s)" % checks)
    for cid in (1004, 1006, 1007):
        check(controls[cid]["text"] == b"", "edit %d empty (seen %r)" % (cid, controls[cid]["text"]))
    # Checking an automatic option gives it WS_TABSTOP, so the first tab
    # stop, and the focus, is the checked option.
    check(state["focus"] == 1000, "focus on the checked option 1000 (seen %d)" % state["focus"])

    # Every point the other cases click, worked out from the template and
    # the X window, falls inside the control Windows placed there.
    for cid in CONTROL_DU:
        x, y = run.point(dialog, cid)
        l, t, r, b = controls[cid]["rect"]
        check(l <= x < r and t <= y < b, "click point %d,%d inside control %d %s" % (x, y, cid, (l, t, r, b)))

    run.click(dialog, IDC_BTN_CANCEL)
    expect_clean_end(run)
    expect_file(run, DEFAULT_TEXT)


def ok_auto(run):
    """Automatic option, OK: the system proxy is stored with mode 1."""
    dialog = open_dialog(run)
    run.click(dialog, 1001)
    run.click(dialog, IDOK)
    expect_clean_end(run)
    expect_file(run, AUTO_TEXT)


def ok_ip_mouse(run):
    """IP option with address and port typed in, OK."""
    dialog = open_dialog(run, setting=DEFAULT_TEXT)
    run.click(dialog, 1002)
    run.click_ip_field(dialog, 0)
    run.type("192.168.0.1")
    run.click(dialog, 1004)
    run.type("3128")
    run.click(dialog, IDOK)
    expect_clean_end(run)
    expect_file(run, b"2,,,192.168.0.1,3128,,,")


def ok_domain_keyboard(run):
    """Domain option, then the keyboard alone: Tab from the checked option
    runs 1003, 1004, 1006; then 1007 and OK, which Space presses."""
    dialog = open_dialog(run, setting=DEFAULT_TEXT)
    run.click(dialog, 1005)
    run.key(dialog, "Tab", "Tab", "Tab")
    run.type("example.jp")
    run.key(dialog, "Tab")
    run.type("8080")
    run.key(dialog, "Tab", "space")
    expect_clean_end(run)
    expect_file(run, b"3,,,,,example.jp,8080,")


def tab_cycle(run):
    """Tab from the checked option visits the IP address, its port, the
    domain, its port, OK and CANCEL, and comes back: never an unchecked
    option or a label."""
    dialog = open_dialog(run, setting=DEFAULT_TEXT)
    check(run.dialog_state()["focus"] == 1000, "focus starts on the checked option 1000")
    for expected in (1003, 1004, 1006, 1007, IDOK, IDC_BTN_CANCEL, 1000):
        run.key(dialog, "Tab")
        seen = []

        def focus_moved():
            seen[:] = [run.dialog_state()["focus"]]
            return seen[0] == expected
        try:
            wait_for("the focus on %d" % expected, focus_moved, 10, interval=0.1)
        except Failure:
            raise Failure("Tab gave the focus to %d, not %d" % (seen[0], expected))
        print("ok: Tab gives the focus to %d" % expected)
    run.click(dialog, IDC_BTN_CANCEL)
    expect_clean_end(run)
    expect_file(run, DEFAULT_TEXT)


def stays_open(close_request):
    """Esc, Alt+F4 and the window manager's close request all reach the
    dialog as IDCANCEL, which does nothing: the choice made after it is
    still saved by OK."""
    def case(run):
        dialog = open_dialog(run, setting=DEFAULT_TEXT)
        close_request(run, dialog)
        run.click(dialog, 1001)
        run.click(dialog, IDOK)
        expect_clean_end(run)
        expect_file(run, AUTO_TEXT)
    return case


def enter_in_edit(run):
    """Enter in an edit presses CANCEL, the default button: nothing saved,
    although OK would have stored the domain typed."""
    before = b"2,,,192.168.0.1,3128,,,"
    dialog = open_dialog(run, setting=before)
    run.click(dialog, 1005)
    run.click(dialog, 1006)
    run.type("abc")
    run.key(dialog, "Return")
    expect_clean_end(run)
    expect_file(run, before)


def incomplete_ip(run):
    """IP option with two of four fields, OK: the dialog ends, the file stays."""
    before = b"3,,,,,example.jp,8080,"
    dialog = open_dialog(run, setting=before)
    run.click(dialog, 1002)
    run.click_ip_field(dialog, 0)
    run.type("10.0")
    run.click(dialog, IDOK)
    expect_clean_end(run)
    expect_file(run, before)


def error_icon_drawn(window):
    """The error icon's red, which nothing in the dialog has."""
    width, height, rgb = screenshot_rgb(window.id)
    red = sum(1 for i in range(0, len(rgb) - 2, 3) if rgb[i] > 160 and rgb[i + 1] < 90 and rgb[i + 2] < 90)
    return red >= 20


def failed_start(app_path, entry):
    """A start that cannot load the settings: the dialog is up, the error box
    stands above it once, Enter closes both, two log entries are left.
    app_path(run) gives the registry value (None: no key) and the directory
    it names on this side."""
    def case(run):
        path, directory = app_path(run)
        run.prepare(app_path=path, proxy_server=SYSTEM_PROXY)
        started = datetime.datetime.now()
        run.start()
        box = run.wait_window(BOX_CAPTION)
        dialog = run.x_window(CAPTION)
        check(dialog is not None, "the dialog is shown behind the box")
        check(box.viewable, "the box is mapped")

        status, records = run.probe("windows")
        tops = [r for r in records if r["kind"] == "window"]
        boxes = [i for i, r in enumerate(tops) if r["text"] == sjis(BOX_CAPTION)]
        dialogs = [i for i, r in enumerate(tops) if r["text"] == sjis(CAPTION)]
        check(status == 0 and len(boxes) == 1 and len(dialogs) == 1,
              "one box and one dialog among the top-level windows (%d, %d)" % (len(boxes), len(dialogs)))
        b, d = tops[boxes[0]], tops[dialogs[0]]
        check(boxes[0] < dialogs[0], "the box stands above the topmost dialog in the z-order (%d < %d)"
              % (boxes[0], dialogs[0]))
        check(b["owner"] == d["hwnd"], "the box is owned by the dialog (owner %x, dialog %x)" % (b["owner"], d["hwnd"]))
        check(d["enabled"] == 0, "the dialog takes no input while the box is up")
        wait_for("the error icon in the box", lambda: error_icon_drawn(box), 20, interval=0.2)
        print("ok: the box shows the error icon")

        run.key(box, "Return")
        status = run.wait_exit()
        ended = datetime.datetime.now()
        check(status == 0, "exit code 0 after a failed start (seen %d)" % status)
        check(os.listdir(run.cwd) == ["proxy.log"], "nothing but proxy.log in the current directory (seen %s)"
              % os.listdir(run.cwd))
        if directory is not None:
            check(not os.path.exists(directory), "the missing directory %s stays missing" % directory)

        with open(run.log, "rb") as f:
            text = complemented(f.read())
        stamp = rb"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d)  "
        pattern = stamp + re.escape(entry) + stamp + re.escape(b"Proc_Wm_Initdialog::err::LoadProxyFile\n")
        match = re.fullmatch(pattern, text)
        check(match is not None, "proxy.log holds exactly the two entries (decoded %r)" % text)
        for stamp_text in match.groups():
            when = datetime.datetime.strptime(stamp_text.decode(), "%Y/%m/%d %H:%M:%S")
            slack = datetime.timedelta(minutes=2)
            check(started - slack <= when <= ended + slack, "time stamp %s is the local time of the run"
                  % stamp_text.decode())
    return case


def no_key(run):
    return None, None


def missing_directory(run):
    directory = os.path.join(run.root, "missing")
    return windows_path(directory, directory=True), directory


CASES = {
    "first_run": first_run,
    "ok_auto": ok_auto,
    "ok_ip_mouse": ok_ip_mouse,
    "ok_domain_keyboard": ok_domain_keyboard,
    "tab_cycle": tab_cycle,
    "escape_stays_open": stays_open(lambda run, dialog: run.key(dialog, "Escape")),
    "alt_f4_stays_open": stays_open(lambda run, dialog: run.key(dialog, "alt+F4")),
    "wm_delete_stays_open": stays_open(lambda run, dialog: run.display.send_delete_window(dialog.id)),
    "enter_in_edit_cancels": enter_in_edit,
    "incomplete_ip_keeps_file": incomplete_ip,
    "failed_start_no_key": failed_start(no_key, b"LoadProxyFile::err::GetAppPath\n"),
    "failed_start_no_directory": failed_start(missing_directory, b"LoadProxyFile::err::AnalyProxyBuf\n"),
}

if __name__ == "__main__":
    sys.exit(main(CASES))
