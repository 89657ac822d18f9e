"""Not tests: measurements of the real program under Wine at finger size, whose panel images
are the largest (make measure). Their figures are printed, never asserted."""

import string

import pytest

from harness.process import wait_until
from harness.quorel import KEYBOARD_CLASS

FINGER = {"Keyboard size": 4, "X": 100, "Y": 430}
LETTERS = string.ascii_lowercase

pytestmark = [pytest.mark.measure, pytest.mark.options(**FINGER)]


def report(capsys, line):
    with capsys.disabled():
        print(line)


# 200 taps and 200 slides: about three minutes under Wine.
@pytest.mark.timeout(600)
@pytest.mark.timings
def test_pen_timings(keyboard, capsys):
    for i in range(200):
        keyboard.tap(LETTERS[i % 26])
    for i in range(200):
        keyboard.slide(LETTERS[i % 26], "north")
    keyboard.close()
    wait_until(lambda: keyboard.timings.exists() and keyboard.timings.stat().st_size > 0, 20,
               "the keyboard wrote no timings")
    report(capsys, "\n" + keyboard.timings.read_text())


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
