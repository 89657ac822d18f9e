#!/usr/bin/env python3
"""Starts Quorel from dist/Quorel under Wine, beside Wine's notepad, in a Wine desktop on
this display. With no display it starts a virtual one, saves a screenshot to
build/run/quorel.png and stops. Every wait has a deadline: a program that does not come up
is reported, never waited for forever."""

import os
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness.process import wait_until  # noqa: E402
from harness.quorel import KEYBOARD_CLASS, Notepad, Registry  # noqa: E402
from harness.wine import Desktop, Display, Prefix, Probe  # noqa: E402

PACKAGE = ROOT / "dist" / "Quorel"
PROBE = ROOT / "build" / "windows" / "bin" / "quorel_probe.exe"
RUN = ROOT / "build" / "run"


def main():
    if not (PACKAGE / "QuorelKeyboard.exe").exists():
        sys.exit("no package: run 'make package' first")
    RUN.mkdir(parents=True, exist_ok=True)
    headless = not os.environ.get("DISPLAY")
    display = Display() if headless else Display(os.environ["DISPLAY"])
    prefix_path = Path(os.environ.get("QUOREL_WINEPREFIX", RUN / "prefix"))
    if not (prefix_path / "system.reg").exists():
        print(f"Making a Wine prefix in {prefix_path} (once)...")
    prefix = Prefix(prefix_path, display, keep=True)
    desktop = Desktop(prefix, display, RUN)
    try:
        desktop.probe = Probe(desktop, PROBE, RUN)
        registry = Registry(desktop.probe)
        if registry.option("X") is None:
            # The keyboard low on the screen, away from notepad.
            registry.set_option("X", 250)
            registry.set_option("Y", 540)
        Notepad(desktop, desktop.probe).start()
        desktop.launch(PACKAGE / "QuorelKeyboard.exe", log=RUN / "keyboard.log")
        wait_until(lambda: desktop.probe.shown(KEYBOARD_CLASS), 30, "the keyboard did not come up")
        if headless:
            desktop.screenshot(RUN / "quorel.png")
            print(f"In front: {desktop.probe('foreground')}")
            print(f"No display: a screenshot of the keyboard is in {RUN / 'quorel.png'}")
            return
        desktop.probe.stop()
        print("Quorel runs in the Wine desktop window; type with the keyboard into notepad.")
        print("Close it with its x key; 'wineserver -k' ends everything.")
        prefix.wait_idle(None)
    finally:
        if headless:
            desktop.stop()
            prefix.kill()
            display.stop()


if __name__ == "__main__":
    main()
