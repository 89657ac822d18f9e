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
# three minutes under Wine, at 100 % and at 200 % display scale in one run.
@pytest.mark.timeout(600)
@pytest.mark.timings
@pytest.mark.parametrize("dpi", [pytest.param(96, marks=pytest.mark.dpi(96)),
                                 pytest.param(192, marks=pytest.mark.dpi(192))])
def test_pen_timings(dpi, keyboard, desktop, probe, test_folder, request, capsys):
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
    lines = ["", f"keyboard at {dpi * 100 // 96} % display scale:", own, "floor (a bare window: invert a rectangle, one SendInput):",
             floor_file.read_text()]
    for what, (median, p99) in figures(own).items():
        if what in floor:
            base_median, base_p99 = floor[what]
            lines.append(f"{what}: {median / base_median:.1f}x the floor's median, "
                         f"{p99 / base_p99:.1f}x its 99th percentile")
    report(capsys, "\n".join(lines))


def report_pen_ups(keyboard, capsys, what):
    """Closes the keyboard and reports the median and 99th percentile of its whole pen ups."""
    keyboard.close()
    wait_until(lambda: keyboard.timings.exists() and keyboard.timings.stat().st_size > 0, 20,
               "the keyboard wrote no timings")
    ups = figures(keyboard.timings.read_text())["whole pen up handler"]
    report(capsys, f"\n{what}: whole pen up handler, median {ups[0]:.0f} us, "
                   f"99th percentile {ups[1]:.0f} us")


# Common words tapped letter by letter, each ended by a space: every pen up from the third
# letter on looks for completions in the shipped list and the learned words. The same taps
# with completion off give what the lookups add to a pen up.
WORDS = ["keyboard", "people", "because", "through", "different", "government", "children",
         "something", "question", "remember"]


@pytest.mark.timeout(600)
@pytest.mark.timings
@pytest.mark.parametrize("complete", [
    pytest.param(1, marks=pytest.mark.options(**FINGER, **{"Complete words": 1})),
    pytest.param(0, marks=pytest.mark.options(**FINGER, **{"Complete words": 0}))])
def test_pen_up_with_word_completion(complete, keyboard, notepad, capsys):
    for _ in range(3):
        for word in WORDS:
            keyboard.type(word)
            keyboard.tap("<space>")
    report_pen_ups(keyboard, capsys, f"word completion {'on' if complete else 'off'}")


# The same taps while the learned words are saved every quarter second, with the file free,
# and held by another program without sharing, so that every save waits its two seconds of
# patience on it and fails: the pen up must not feel either.
@pytest.mark.timeout(600)
@pytest.mark.timings
@pytest.mark.parametrize("held", [False, True], ids=["file-free", "file-held"])
def test_pen_up_while_a_save_waits(held, keyboard, notepad, probe, desktop, capsys):
    from test_completion import learned_file

    keyboard.close()
    keyboard.env["QUOREL_SAVE_WORDS_MS"] = "250"
    keyboard.start()
    notepad.bring_to_front()
    path = learned_file(desktop)
    keyboard.type(" keyboard ")
    wait_until(path.exists, 10, "the keyboard saved no learned words")
    if held:
        assert probe("hold-file", windows_path(path)) == "held"
    try:
        for _ in range(3):
            for word in WORDS:
                keyboard.type(word)
                keyboard.tap("<space>")
    finally:
        if held:
            probe("let-go-file", windows_path(path))
    report_pen_ups(keyboard, capsys, "saves every 250 ms, learned file "
                                     + ("held by another program" if held else "free"))


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


def big_files(drive):
    """A slide file of 100,048 definitions (481 for each letter and direction) and a glossary
    of 100,000 entries."""
    sections = ("NORTH", "NORTHEAST", "EAST", "SOUTHEAST", "SOUTH", "SOUTHWEST", "WEST",
                "NORTHWEST")
    slides = []
    for section in sections:
        slides.append(f"\r\n[{section}]\r\n\r\n")
        for letter in LETTERS:
            slides.extend(f"{letter}\t\t{letter} {section.lower()} {i}\r\n" for i in range(481))
    (drive / "big_slides.txt").write_bytes("".join(slides).encode("latin-1"))
    forms = ("".join(LETTERS[(n // 26 ** k) % 26] for k in (3, 2, 1, 0)) for n in range(100000))
    glossary = "[Words]\r\n\r\n[Phrases]\r\n\r\n" + "".join(f"{f}\t\texpansion of {f}\r\n"
                                                          for f in forms)
    (drive / "big.glo").write_bytes(glossary.encode("latin-1"))


# The editor with 100,000 slide definitions and 100,000 glossary entries: its start, tab
# changes, letters, find short form, moves, and half the glossary deleted, taken back and
# deleted again, timed by the editor itself.
@pytest.mark.timeout(600)
def test_editor_timings(desktop, probe, registry, request, test_folder, capsys):
    from harness.editor import FIND, GLOSSARY, LETTER, MOVE_DOWN, SLIDES, Editor
    from harness.process import wait_for_value

    drive = desktop.prefix.path / "drive_c"
    big_files(drive)
    registry.set_setting("Custom slides file", "C:\\big_slides.txt")
    registry.set_setting("Glossary file", "C:\\big.glo")
    editor = Editor(desktop, probe, request.config.getoption("--package"))
    timings = test_folder / "editor_timings.txt"
    editor.env["QUOREL_TIMINGS"] = windows_path(timings)
    editor.start()
    wait_until(lambda: editor.row_count(SLIDES) == 26 * 481, 60, "the North slides did not list")
    for _ in range(3):
        for tab, count in (("letter", 8 * 481), ("glossary", None), ("direction", 26 * 481)):
            editor.tab(tab)
            if count is not None:
                wait_until(lambda: editor.row_count(SLIDES) == count, 30, f"no rows on {tab}")
    editor.tab("letter")
    for letter in "bcdefghij":
        editor.type_into(LETTER, letter)
        wait_until(lambda: editor.rows(SLIDES)[:1] == [f"N\t{letter} north 0"], 30,
                   f"the letter {letter} did not list")
    editor.click_row(SLIDES, 0)
    for _ in range(5):
        before = editor.rows(SLIDES)[:8]
        editor.click(MOVE_DOWN)
        wait_until(lambda: editor.rows(SLIDES)[:8] != before, 30, "the move did not happen")
    editor.tab("glossary")
    wait_until(lambda: editor.row_count(GLOSSARY) == 100000, 30, "the glossary did not list")
    for text in ("a", "ab", "abc", "abcd", "zz", "zzy"):
        editor.type_into(FIND, text)
    # Half the glossary deleted in one go, and taken back: rows 0 to 50,000, up to "cvzc".
    editor.click(FIND)
    desktop.xdotool("key", "End", "shift+Home", "BackSpace")
    editor.type_into(FIND, "cvzc")
    wait_for_value(lambda: editor.selected(GLOSSARY), [50000], 30, "the row of cvzc")
    editor.click_row(GLOSSARY, 50000)
    desktop.xdotool("key", "shift+ctrl+Home")
    desktop.xdotool("key", "Delete")
    editor.wait_dialog("Confirm delete")
    editor.tap_button("Confirm delete", "Yes")
    wait_until(lambda: editor.row_count(GLOSSARY) == 49999, 120, "the rows were not deleted")
    desktop.xdotool("key", "ctrl+z")
    wait_until(lambda: editor.row_count(GLOSSARY) == 100000, 120, "the rows did not come back")
    desktop.xdotool("key", "ctrl+y")
    wait_until(lambda: editor.row_count(GLOSSARY) == 49999, 120, "the rows were not deleted again")
    editor.close()
    wait_until(lambda: timings.exists() and timings.stat().st_size > 0, 30,
               "the editor wrote no timings")
    # The same start without files: what Wine and the window take alone.
    probe("reg-delete", registry.PRODUCT, "Custom slides file")
    probe("reg-delete", registry.PRODUCT, "Glossary file")
    bare = test_folder / "editor_timings_bare.txt"
    editor.env["QUOREL_TIMINGS"] = windows_path(bare)
    editor.start()
    editor.close()
    wait_until(lambda: bare.exists() and bare.stat().st_size > 0, 30, "the editor wrote no timings")
    report(capsys, "\neditor with 100,048 slide definitions and 100,000 glossary entries:\n"
           + timings.read_text() + "the same editor started without files:\n" + bare.read_text())
