#!/usr/bin/env python3
"""For scripts/run without a display: once the dialog that runs on Wine's
virtual desktop is open and drawn, saves a picture of it and closes it with
a click on CANCEL.

snapshot.py --wine-run W --probe P --desktop NAME --out PNG"""

import argparse
import os
import subprocess
import sys

# No __pycache__ in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from kiln_e2e import (IDC_BTN_CANCEL, Failure, convert, crop_operations, dialog_state, screenshot_rgb,
                      wait_for, xwd)


def drawn(rect):
    """The dialog's picture once painting is over: black text in it, and
    the same picture twice in a row."""
    previous = []

    def probe():
        _, _, rgb = screenshot_rgb(rect=rect)
        dark = sum(1 for i in range(0, len(rgb) - 2, 3) if max(rgb[i], rgb[i + 1], rgb[i + 2]) < 64)
        ready = previous and previous[0] == rgb and dark * 200 > len(rgb) // 3
        previous[:] = [rgb]
        return ready
    return probe


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--desktop", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    try:
        state = dialog_state(args.wine_run, args.probe, 120, desktop=args.desktop)
        # The virtual desktop's X window stands at the origin of the screen,
        # so Windows' screen coordinates are X's.
        rect = state["window"]["rect"]
        wait_for("the dialog to be drawn", drawn(rect), 30, interval=0.3)
        with open(args.out, "wb") as f:
            f.write(convert(xwd(), *crop_operations(rect), "png:-"))
        left, top, right, bottom = state["controls"][IDC_BTN_CANCEL]["rect"]
        subprocess.run(["xdotool", "mousemove", str((left + right) // 2), str((top + bottom) // 2), "click", "1"],
                       check=True, timeout=30)
    except (Failure, subprocess.SubprocessError) as failure:
        print("run: %s" % failure, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
