"""What the end-to-end cases share: the machine's state for one run of the
real program under Wine, the X display it draws on, real input through
xdotool, and waits that poll for a condition until a deadline."""

import argparse
import ctypes
import ctypes.util
import os
import re
import shutil
import subprocess
import tempfile
import time

HKLM_APP = r"HKEY_LOCAL_MACHINE\SOFTWARE\kiln_proxy"
INET = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings"

CAPTION = "プロキシ設定"
BOX_CAPTION = "報告"

# The dialog template, in dialog units: the client area and each control's
# x, y, width, height.
DIALOG_DU = (263, 154)
CONTROL_DU = {
    1000: (28, 23, 163, 16),
    1001: (28, 37, 207, 16),
    1002: (28, 51, 163, 16),
    1003: (40, 67, 84, 11),
    1004: (193, 67, 44, 12),
    1005: (28, 84, 142, 14),
    1006: (39, 100, 85, 12),
    1007: (193, 100, 44, 12),
    1: (153, 131, 46, 15),
    8: (202, 131, 46, 15),
}
OPTIONS = (1000, 1001, 1002, 1005)
IDOK, IDC_BTN_CANCEL = 1, 8


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)
    print("ok: " + message)


def wait_for(what, probe, timeout, interval=0.05):
    """The first true value of probe(), polled until the deadline."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Failure("timed out after %gs waiting for %s" % (timeout, what))
        time.sleep(interval)


def complemented(data):
    return bytes(255 - b for b in data)


def windows_path(path, directory=False):
    path = os.path.abspath(path)
    if not path.isascii():
        raise Failure("path %r is not ASCII; Wine's command line must stay ASCII" % path)
    return "Z:" + path.replace("/", "\\") + ("\\" if directory else "")


def reg_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


# ---------------------------------------------------------------- X display

class _XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("class_", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


class _XClassHint(ctypes.Structure):
    _fields_ = [("res_name", ctypes.c_void_p), ("res_class", ctypes.c_void_p)]


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
IS_VIEWABLE = 2
CLIENT_MESSAGE = 33


class XWindow:
    def __init__(self, wid, cls, name, x, y, width, height, viewable):
        self.id, self.cls, self.name = wid, cls, name
        self.x, self.y, self.width, self.height, self.viewable = x, y, width, height, viewable

    def __repr__(self):
        return "0x%x %r (%s) %dx%d+%d+%d%s" % (self.id, self.name, self.cls, self.width, self.height,
                                             self.x, self.y, "" if self.viewable else " unmapped")


class Display:
    """The few Xlib calls the cases need, straight through libX11."""

    def __init__(self):
        lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        vp, ul = ctypes.c_void_p, ctypes.c_ulong
        lib.XOpenDisplay.restype = vp
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XDefaultRootWindow.restype = ul
        lib.XDefaultRootWindow.argtypes = [vp]
        lib.XInternAtom.restype = ul
        lib.XInternAtom.argtypes = [vp, ctypes.c_char_p, ctypes.c_int]
        lib.XQueryTree.argtypes = [vp, ul, ctypes.POINTER(ul), ctypes.POINTER(ul),
                                   ctypes.POINTER(ctypes.POINTER(ul)), ctypes.POINTER(ctypes.c_uint)]
        lib.XGetWindowAttributes.argtypes = [vp, ul, ctypes.POINTER(_XWindowAttributes)]
        lib.XGetClassHint.argtypes = [vp, ul, ctypes.POINTER(_XClassHint)]
        lib.XGetWindowProperty.argtypes = [vp, ul, ul, ctypes.c_long, ctypes.c_long, ctypes.c_int, ul,
                                           ctypes.POINTER(ul), ctypes.POINTER(ctypes.c_int),
                                           ctypes.POINTER(ul), ctypes.POINTER(ul),
                                           ctypes.POINTER(ctypes.c_void_p)]
        lib.XSendEvent.argtypes = [vp, ul, ctypes.c_int, ctypes.c_long, ctypes.POINTER(_XEvent)]
        lib.XFree.argtypes = [vp]
        lib.XSync.argtypes = [vp, ctypes.c_int]
        lib.XCloseDisplay.argtypes = [vp]
        lib.XSetErrorHandler.argtypes = [_ERROR_HANDLER]
        self.lib = lib
        # A window may go between the listing and the questions about it:
        # such errors are expected and must not end the test.
        self._handler = _ERROR_HANDLER(lambda display, event: 0)
        lib.XSetErrorHandler(self._handler)
        self.dpy = lib.XOpenDisplay(None)
        if not self.dpy:
            raise Failure("cannot open the X display %r" % os.environ.get("DISPLAY"))
        self.root = lib.XDefaultRootWindow(self.dpy)
        self.net_wm_name = lib.XInternAtom(self.dpy, b"_NET_WM_NAME", 0)
        self.utf8 = lib.XInternAtom(self.dpy, b"UTF8_STRING", 0)

    def close(self):
        self.lib.XCloseDisplay(self.dpy)

    def screen_size(self):
        attributes = _XWindowAttributes()
        self.lib.XGetWindowAttributes(self.dpy, self.root, ctypes.byref(attributes))
        return attributes.width, attributes.height

    def _name(self, wid):
        actual, fmt = ctypes.c_ulong(), ctypes.c_int()
        count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        status = self.lib.XGetWindowProperty(self.dpy, wid, self.net_wm_name, 0, 1024, 0, self.utf8,
                                             ctypes.byref(actual), ctypes.byref(fmt), ctypes.byref(count),
                                             ctypes.byref(after), ctypes.byref(data))
        if status != 0 or not data.value:
            return ""
        name = ctypes.string_at(data.value, count.value).decode("utf-8", "replace")
        self.lib.XFree(data)
        return name

    def _class(self, wid):
        hint = _XClassHint()
        if not self.lib.XGetClassHint(self.dpy, wid, ctypes.byref(hint)):
            return ""
        cls = ctypes.string_at(hint.res_class).decode("ascii", "replace") if hint.res_class else ""
        for p in (hint.res_name, hint.res_class):
            if p:
                self.lib.XFree(p)
        return cls

    def top_windows(self):
        """The root's children in stacking order, bottom first (as XQueryTree gives them)."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.lib.XQueryTree(self.dpy, self.root, ctypes.byref(root), ctypes.byref(parent),
                                   ctypes.byref(children), ctypes.byref(count)):
            return []
        ids = [children[i] for i in range(count.value)]
        if children:
            self.lib.XFree(children)
        result = []
        for wid in ids:
            attributes = _XWindowAttributes()
            if not self.lib.XGetWindowAttributes(self.dpy, wid, ctypes.byref(attributes)):
                continue
            result.append(XWindow(wid, self._class(wid), self._name(wid), attributes.x, attributes.y,
                                  attributes.width, attributes.height,
                                  attributes.map_state == IS_VIEWABLE))
        return result

    def send_delete_window(self, wid):
        """What a window manager sends when the user asks to close a window."""
        event = _XEvent()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.send_event = 1
        event.xclient.display = self.dpy
        event.xclient.window = wid
        event.xclient.message_type = self.lib.XInternAtom(self.dpy, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = self.lib.XInternAtom(self.dpy, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0
        if not self.lib.XSendEvent(self.dpy, wid, 0, 0, ctypes.byref(event)):
            raise Failure("XSendEvent of WM_DELETE_WINDOW to 0x%x failed" % wid)
        self.lib.XSync(self.dpy, 0)


def convert(xwd, *operations):
    return subprocess.run(["/usr/bin/convert", "xwd:-"] + list(operations), input=xwd, stdout=subprocess.PIPE,
                          timeout=30, check=True).stdout


def xwd(window_id=None):
    target = ["-id", "0x%x" % window_id] if window_id else ["-root"]
    return subprocess.run(["xwd", "-silent"] + target, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          timeout=30, check=True).stdout


def crop_operations(rect):
    left, top, right, bottom = rect
    return ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage"]


def screenshot_rgb(window_id=None, rect=None):
    """(width, height, RGB bytes) of the screen, or of one window's own
    content, or of a rectangle of the screen."""
    ppm = convert(xwd(window_id), *(crop_operations(rect) if rect else []), "-depth", "8", "ppm:-")
    match = re.match(rb"P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(\d+)\s+(\d+)\s", ppm)
    if not match:
        raise Failure("convert gave no PPM image")
    width, height = int(match.group(1)), int(match.group(2))
    return width, height, ppm[match.end():match.end() + width * height * 3]


# ------------------------------------------------------------ Windows side

def run_windows(wine_run, *argv, timeout=120):
    """A Windows program through wine-run: (exit code, output). The output
    goes through a file, since a wineserver that it starts must not hold a
    pipe open."""
    with tempfile.TemporaryFile() as out:
        status = subprocess.run([wine_run] + list(argv), stdin=subprocess.DEVNULL, stdout=out,
                                stderr=subprocess.DEVNULL, timeout=timeout).returncode
        out.seek(0)
        return status, out.read().decode("cp932", "replace")


def parse_probe(text):
    """The probe's lines as dicts; hex texts become bytes."""
    records = []
    for line in text.splitlines():
        words = line.split()
        if not words:
            continue
        record = {"kind": words[0]}
        for word in words[1:]:
            key, _, value = word.partition("=")
            if key == "text":
                record[key] = bytes.fromhex(value)
            elif key == "rect":
                record[key] = tuple(int(v) for v in value.split(","))
            elif key in ("hwnd", "owner", "style", "ex"):
                record[key] = int(value, 16)
            elif key in ("id", "pid", "enabled", "check"):
                record[key] = int(value)
            else:
                record[key] = value
        records.append(record)
    return records


def dialog_state(wine_run, probe, timeout, desktop=None):
    """The probe's view of the dialog once the dialog manager has given a
    control the focus, which it does only after WM_INITDIALOG returned."""
    def ready():
        status, out = run_windows(wine_run, probe, "dialog", *([desktop] if desktop else []), timeout=60)
        records = parse_probe(out)
        focus = [r for r in records if r["kind"] == "focus"]
        return status == 0 and focus and focus[0]["id"] != 0 and records
    records = wait_for("the dialog to finish opening", ready, timeout, interval=0.2)
    return {"window": records[0],
            "controls": {r["id"]: r for r in records if r["kind"] == "control"},
            "focus": [r for r in records if r["kind"] == "focus"][0]["id"]}


class Run:
    """One run of the program: a fresh installation directory and current
    directory, the registry as the case wants it, and the program itself."""

    def __init__(self, args, name):
        self.args = args
        self.root = tempfile.mkdtemp(prefix="kiln_e2e_%s_" % name)
        self.app = os.path.join(self.root, "app")
        self.cwd = os.path.join(self.root, "cwd")
        os.mkdir(self.app)
        os.mkdir(self.cwd)
        self.setting = os.path.join(self.app, "setting.bin")
        self.log = os.path.join(self.cwd, "proxy.log")
        self.proc = None
        self.display = Display()
        self.saved_inet = None

    # -- Wine and the registry

    def wine(self, *argv, timeout=120):
        return run_windows(self.args.wine_run, *argv, timeout=timeout)

    def reg_import(self, lines):
        path = os.path.join(self.root, "state.reg")
        with open(path, "w", newline="\r\n") as f:
            f.write("REGEDIT4\n\n" + "\n".join(lines) + "\n")
        status, _ = self.wine("reg", "import", windows_path(path), "/reg:32")
        if status != 0:
            raise Failure("reg import of %s gave %d" % (lines, status))

    def _query_inet(self, value):
        status, out = self.wine("reg", "query", INET, "/v", value)
        if status != 0:
            return None
        match = re.search(r"^\s+%s\s+(REG_\w+)\s+(.*?)\r?$" % value, out, re.M)
        return (match.group(1), match.group(2)) if match else None

    def _inet_lines(self, enable, server):
        lines = ["[%s]" % INET]
        lines.append('"ProxyEnable"=' + ("-" if enable is None else "dword:%08x" % enable))
        lines.append('"ProxyServer"=' + ("-" if server is None else reg_string(server)))
        return lines

    def prepare(self, app_path="fresh", proxy_server=None, proxy_enable=1, setting=None):
        """app_path: "fresh" names the run's own directory (with the trailing
        backslash), None removes the key, any other text is stored as it is.
        proxy_server: the Internet settings' ProxyServer, with ProxyEnable
        proxy_enable; None removes both. setting: the settings text to store
        (complemented) before the run; None leaves no file."""
        if self.saved_inet is None:
            enable = self._query_inet("ProxyEnable")
            server = self._query_inet("ProxyServer")
            self.saved_inet = (int(enable[1], 16) if enable and enable[0] == "REG_DWORD" else None,
                               server[1] if server else None)
        lines = ["[-%s]" % HKLM_APP]
        if app_path is not None:
            if app_path == "fresh":
                app_path = windows_path(self.app, directory=True)
            lines += ["", "[%s]" % HKLM_APP, '"apppath"=' + reg_string(app_path)]
        lines += [""] + self._inet_lines(proxy_enable if proxy_server is not None else None, proxy_server)
        self.reg_import(lines)
        if setting is not None:
            with open(self.setting, "wb") as f:
                f.write(complemented(setting))

    # -- the program

    def start(self):
        stale = [w for w in self.display.top_windows() if w.cls == "kiln_proxy.exe" and w.viewable]
        if stale:
            raise Failure("windows of an earlier run are still up: %s" % stale)
        self.proc = subprocess.Popen([self.args.wine_run, self.args.exe], cwd=self.cwd,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)

    def x_window(self, caption):
        for w in self.display.top_windows():
            if w.cls == "kiln_proxy.exe" and w.name == caption and w.viewable and w.width > 1:
                return w
        return None

    def wait_window(self, caption, timeout=60):
        return wait_for("a window %r of kiln_proxy.exe" % caption, lambda: self._alive() and self.x_window(caption),
                        timeout)

    def _alive(self):
        if self.proc.poll() is not None:
            raise Failure("the program ended early with exit code %d" % self.proc.returncode)
        return True

    def probe(self, command):
        status, out = self.wine(self.args.probe, command, timeout=60)
        return status, parse_probe(out)

    def dialog_state(self, timeout=30):
        return dialog_state(self.args.wine_run, self.args.probe, timeout)

    def wait_exit(self, timeout=60):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end within %gs" % timeout)

    # -- input

    def xdo(self, *argv):
        subprocess.run(["xdotool"] + [str(a) for a in argv], check=True, timeout=30,
                       stdout=subprocess.DEVNULL)

    def point(self, dialog, control, fraction=0.5):
        """Screen point inside a control, from the template and the size of
        the dialog's client area (its X window, as no window manager frames it)."""
        x, y, w, h = CONTROL_DU[control]
        if control in OPTIONS:
            fraction = min(fraction, 10.0 / w)
        sx = dialog.width / DIALOG_DU[0]
        sy = dialog.height / DIALOG_DU[1]
        return (dialog.x + round((x + w * fraction) * sx), dialog.y + round((y + h / 2) * sy))

    def click(self, dialog, control, fraction=0.5):
        px, py = self.point(dialog, control, fraction)
        self.xdo("mousemove", px, py, "click", 1)

    def click_ip_field(self, dialog, field):
        self.click(dialog, 1003, (2 * field + 1) / 8.0)

    def hover(self, window):
        """X gives the keyboard to the window under the pointer."""
        self.xdo("mousemove", window.x + window.width // 2, window.y + window.height - 4)

    def key(self, window, *keys):
        self.hover(window)
        self.xdo("key", "--delay", 40, *keys)

    def type(self, text):
        if not text.isascii():
            raise Failure("xdotool type is given ASCII only")
        self.xdo("type", "--delay", 40, text)

    # -- results

    def setting_bytes(self):
        with open(self.setting, "rb") as f:
            return f.read()

    def close(self):
        try:
            if self.proc is not None and self.proc.poll() is None:
                self.proc.kill()
                self.proc.wait(timeout=30)
            if self.saved_inet is not None:
                self.reg_import(["[-%s]" % HKLM_APP, ""] + self._inet_lines(*self.saved_inet))
        finally:
            self.display.close()
            shutil.rmtree(self.root, ignore_errors=True)


def main(cases, argv=None):
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("case", choices=sorted(cases))
    args = parser.parse_args(argv)
    if not os.environ.get("DISPLAY"):
        print("FAIL: no DISPLAY: these tests drive a real X display")
        return 1
    run = Run(args, args.case)
    try:
        cases[args.case](run)
    except Failure as failure:
        print("FAIL: %s" % failure)
        return 1
    finally:
        run.close()
    print("%s: passed" % args.case)
    return 0
