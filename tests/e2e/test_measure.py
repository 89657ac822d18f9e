"""Not tests: measurements of the real program under Wine at finger size, whose panel images
are the largest (make measure). Their figures are printed, never asserted."""

import string

import pytest

from harness.process import wait_until
from harness.quorel import KEYBOARD_CLASS
from harness.wine import windows_path

FINGER = {"Keyboard size": 4, "X": 100, "Y": 430}
LETTERS = string.ascii_lowercase

pytestmark = [pytest.mark.measure, pytest.mark.options(**FINGER)]


def report(capsys, line):
    with capsys.disabled():
        print(line)


def figures(text):
    """{what: (median, p99)} of a timings file's lines "what: n samples, median M us, 99th
    percentile P us"."""
    found = {}
    for line in text.splitlines():
        what, _, rest = line.partition(": ")
        if "median" in rest:
            words = rest.replace(",", "").split()
            found[what] = (float(words[words.index("median") + 1]),
                           float(words[words.index("percentile") + 1]))
    return found


# 200 taps on the bare floor window, then 200 taps and 200 slides on the keyboard: about
# three minutes under Wine.
@pytest.mark.timeout(600)
@pytest.mark.timings
def test_pen_timings(keyboard, desktop, probe, test_folder, request, capsys):
    floor_file = test_folder / "floor.txt"
    desktop.launch(request.config.getoption("--floor"), windows_path(floor_file), 700, 300)
    wait_until(lambda: probe.shown("QuorelFloor"), 20, "the floor window did not come up")
    left, top, right, bottom = probe.rect("QuorelFloor")
    for _ in range(200):
        desktop.click((left + right) // 2, (top + bottom) // 2)
    probe("post", "QuorelFloor", hex(0x0010), 0)  # WM_CLOSE
    wait_until(lambda: floor_file.exists() and floor_file.stat().st_size > 0, 20,
               "the floor wrote no timings")
    for i in range(200):
        keyboard.tap(LETTERS[i % 26])
    for i in range(200):
        keyboard.slide(LETTERS[i % 26], "north")
    keyboard.close()
    wait_until(lambda: keyboard.timings.exists() and keyboard.timings.stat().st_size > 0, 20,
               "the keyboard wrote no timings")
    own = keyboard.timings.read_text()
    floor = figures(floor_file.read_text())
    lines = ["", "keyboard:", own, "floor (a bare window: invert a rectangle, one SendInput):",
             floor_file.read_text()]
    for what, (median, p99) in figures(own).items():
        if what in floor:
            base_median, base_p99 = floor[what]
            lines.append(f"{what}: {median / base_median:.1f}x the floor's median, "
                         f"{p99 / base_p99:.1f}x its 99th percentile")
    report(capsys, "\n".join(lines))


# Three rounds of 26 taps and 26 slides, with two starts.
@pytest.mark.timeout(300)
def test_working_set(keyboard, probe, capsys):
    report(capsys, f"\nfirst start: working set and peak {probe('memory', KEYBOARD_CLASS)} MB")
    keyboard.close()
    keyboard.start()
    report(capsys, f"later start: working set and peak {probe('memory', KEYBOARD_CLASS)} MB")
    for round_number in (1, 2, 3):
        for letter in LETTERS:
            keyboard.tap(letter)
            keyboard.slide(letter, "north")
        report(capsys, f"after {26 * round_number} taps and slides: working set and peak "
                       f"{probe('memory', KEYBOARD_CLASS)} MB")
