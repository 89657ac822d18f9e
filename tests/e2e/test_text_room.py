"""The keyboard is there when there is text to write and never covers it: it steps aside
from the caret of the window typed into, and with "Show when a text box is tapped" on, a tap
into text brings the minimised keyboard back and a tap on a window of buttons takes it away."""

import statistics
import time

import pytest

from harness.process import wait_until
from harness.quorel import KEYBOARD_CLASS, still_types

LINES = 40


def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def caret(probe):
    answer = probe("caret-screen")
    return None if answer == "none" else tuple(int(v) for v in answer.split())


# The user's place lies over notepad's last lines, and notepad stays in front throughout.
@pytest.mark.options(**{"X": 0, "Y": 360})
def test_the_keyboard_steps_off_the_caret_and_typing_still_reaches_notepad(keyboard, notepad,
                                                                           probe, registry, shot):
    placed = keyboard.rect()
    assert probe("fill-notepad", LINES) == "filled"
    # Notepad's last line, the caret on it, lies under the keyboard's top.
    wait_until(lambda: caret(probe) is not None and overlap(caret(probe), placed), 10,
               lambda _: f"notepad's caret at {caret(probe)} is not under the keyboard at {placed}")
    wait_until(lambda: not overlap(keyboard.rect(), caret(probe)), 10,
               lambda _: f"the keyboard at {keyboard.rect()} covers the caret at {caret(probe)}")
    shot("keyboard_aside_from_the_caret")
    aside = keyboard.rect()
    width, height = (int(v) for v in probe("screen").split())
    assert (aside[2] - aside[0], aside[3] - aside[1]) == (placed[2] - placed[0], placed[3] - placed[1])
    assert 0 <= aside[0] and aside[2] <= width and 0 <= aside[1] and aside[3] <= height, aside
    assert notepad.in_front(), f"{probe('foreground')} has the focus"
    # The place the user chose is kept for the keyboard's return.
    assert (registry.option("X"), registry.option("Y")) == (0, 360)

    keyboard.find_origin()
    text = "\r\n".join(f"line {n}" for n in range(1, LINES + 1))
    still_types(keyboard, notepad, expected_before=text)

    # The caret goes back up: the keyboard goes back to where the user left it.
    assert probe("fill-notepad", 1) == "filled"
    wait_until(lambda: keyboard.rect() == placed, 10,
               lambda _: f"the keyboard stays at {keyboard.rect()}, not back at {placed}")


def iconic(probe):
    return probe("iconic", KEYBOARD_CLASS) == "iconic"


def tap_into_notepad(desktop, probe):
    left, top, _, _ = probe.rect("Notepad")
    desktop.click(left + 300, top + 200)


def tap_the_button(desktop, probe):
    left, top, right, bottom = probe.rect("QuorelButtonWindow")
    desktop.click((left + right) // 2, top + (bottom - top) // 2)


def minimised_beside_a_button_window(keyboard, probe):
    assert probe("button-window") == "shown"
    keyboard.slide("q", "north")  # <mini>
    wait_until(lambda: iconic(probe), 10, "<mini> left the keyboard shown")


@pytest.mark.options(**{"Show when a text box is tapped": 1})
@pytest.mark.user_slides(q="<mini>")
def test_a_tap_into_text_brings_the_keyboard_and_a_tap_on_a_button_takes_it_away(
        keyboard, notepad, desktop, probe, shot):
    placed = keyboard.rect()
    minimised_beside_a_button_window(keyboard, probe)
    tap_into_notepad(desktop, probe)
    wait_until(lambda: not iconic(probe), 10, "a tap into notepad's text left the keyboard minimised")
    assert notepad.in_front(), f"{probe('foreground')} has the focus"
    assert keyboard.rect() == placed
    shot("keyboard_brought_by_a_tap")
    keyboard.find_origin()
    still_types(keyboard, notepad)

    tap_the_button(desktop, probe)
    wait_until(lambda: iconic(probe), 10, "the keyboard stays after a tap on a button")
    assert probe("foreground") == "QuorelButtonWindow"


@pytest.mark.measure
@pytest.mark.timeout(300)
@pytest.mark.options(**{"Show when a text box is tapped": 1})
@pytest.mark.user_slides(q="<mini>")
def test_time_from_a_tap_into_text_to_the_keyboard_shown(keyboard, notepad, desktop, probe,
                                                         capsys):
    minimised_beside_a_button_window(keyboard, probe)
    from_press, from_release = [], []
    for _ in range(20):
        pressed = time.monotonic()
        tap_into_notepad(desktop, probe)
        released = time.monotonic()
        wait_until(lambda: not iconic(probe), 10, "the keyboard did not come", interval=0.002)
        shown = time.monotonic()
        from_press.append((shown - pressed) * 1000)
        from_release.append((shown - released) * 1000)
        tap_the_button(desktop, probe)
        wait_until(lambda: iconic(probe), 10, "the keyboard did not go")
    with capsys.disabled():
        for what, times in (("the tap's start (xdotool started, 50 ms hold)", from_press),
                            ("the pen lifted (xdotool returned)", from_release)):
            print(f"\nkeyboard shown after a tap into text, from {what}, 20 taps: median"
                  f" {statistics.median(times):.0f} ms, {min(times):.0f} to {max(times):.0f} ms")
