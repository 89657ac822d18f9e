"""The keyboard program end to end: real pen events on the real program under Wine, typing
into Wine's notepad. Every test starts with notepad in front and the keyboard beside it,
and never touches notepad again before it checks what was typed."""

import random
import subprocess
import sys

import pytest

from harness.process import wait_for_value, wait_until
from harness.quorel import (KEYBOARD_CLASS, LOAD_SLIDE_FILE, OPTIONS_CHANGED, WIDTHS,
                            still_types)
from harness.wine import SCREEN, windows_path

MISSING = "Some program components are missing. Please reinstall Quorel"


def test_taps_type_letters_digits_symbols_and_accents(keyboard, notepad):
    keyboard.tap("<shift>")
    keyboard.type("hi")
    keyboard.tap("<space>")
    keyboard.tap("<123>")
    keyboard.tap("4", panel="digits")
    keyboard.tap("<abc>", panel="digits")
    keyboard.tap("!")
    keyboard.tap("<acute>")
    keyboard.tap("e")  # é on the acute panel
    notepad.expect_text("Hi 4!é")


def test_latched_shift_is_held_until_the_next_letter(keyboard, notepad, probe):
    keyboard.tap("<shift>")
    wait_until(lambda: "shift" in probe.held_keys(), 5,
               lambda _: f"after <shift> the system holds {probe.held_keys() or 'nothing'}")
    keyboard.tap("a")
    notepad.expect_text("A")
    wait_until(lambda: not probe.held_keys(), 5,
               lambda _: f"after the letter the system still holds {probe.held_keys()}")
    keyboard.tap("b")
    notepad.expect_text("Ab")


def test_slide_north_types_a_capital(keyboard, notepad):
    keyboard.slide("q", "north")
    notepad.expect_text("Q")


# The minimum slide file gives "p" a full stop and a full stop with a space, south-east.
@pytest.mark.options(**{"Use slides for": 2})
def test_preview_list_shows_while_the_pen_is_down(keyboard, notepad, probe, shot):
    with keyboard.holding_slide("p", "south-east"):
        wait_until(lambda: probe.shown("ListBox"), 5, "no preview list while sliding")
        rows = probe.lines("list-rows", "ListBox", "*", "-")
        assert len(rows) >= 2, f"the preview list shows {rows}"
        shot("preview_list")
    notepad.expect_text(". ")
    wait_until(lambda: not probe.shown("ListBox"), 5, "the preview list stays after pen up")


def test_glossary_suggestion_tapped_replaces_the_short_form(keyboard, notepad, probe, desktop,
                                                             shot):
    keyboard.type("btw")
    wait_until(lambda: probe.shown("ListBox"), 5, "no suggestions for btw")
    rows = probe.lines("list-rows", "ListBox", "*", "-")
    assert rows and rows[-1].startswith("by the way"), f"the suggestions are {rows}"
    shot("glossary_suggestions")
    left, top, right, bottom = probe.rect("ListBox")
    # Above the keyboard the first suggestion is the row nearest to it: the bottom row.
    desktop.click((left + right) // 2, bottom - 6)
    notepad.expect_text("by the way ")


def test_a_suggestion_never_replaces_text_the_keyboard_did_not_type(keyboard, notepad, probe,
                                                                     desktop):
    keyboard.type("btw")
    wait_until(lambda: probe.shown("ListBox"), 5, "no suggestions for btw")
    # The user puts the caret before the word: the word ends there, and its suggestions go
    # at once.
    x, y = (int(v) for v in probe("client", "Notepad").split())
    desktop.click(x + 8, y + 8)  # inside the text box, before the first letter
    wait_until(lambda: not probe.shown("ListBox"), 5, "the suggestions stay")
    # <expand> finds nothing to take back.
    keyboard.tap("<expand>")
    still_types(keyboard, notepad, expected_before="", expected_after="btw")


def test_load_slide_file_message_switches_the_slides(keyboard, notepad, registry):
    # Another program names a new slide file and tells the keyboard to load it.
    registry.set_option("Use slides for", 2)
    keyboard.post(LOAD_SLIDE_FILE)
    keyboard.slide("x", "south-east", distance=30)  # the minimum slide file: "!"
    notepad.expect_text("!")


@pytest.mark.user_slides(q="<mini>")
def test_second_start_leaves_one_keyboard_and_brings_it_back(keyboard, probe):
    first = probe("block")
    assert first not in ("none", "0")
    placed = keyboard.rect()
    keyboard.slide("q", "north")
    wait_until(lambda: keyboard.rect() != placed, 10, "<mini> left the keyboard where it was")
    second = keyboard.launch()
    # The second program hands over to the first and ends; its launcher with it.
    wait_until(lambda: second.poll() is not None, 30, "the second start did not end")
    wait_until(lambda: len(keyboard.processes()) == 1, 15,
               lambda _: f"{len(keyboard.processes())} keyboard processes run")
    assert probe("count", KEYBOARD_CLASS) == "1"
    assert probe("block") == first, "the shared block changed hands"
    wait_until(lambda: keyboard.rect() == placed, 10,
               lambda _: f"the minimised keyboard came back at {keyboard.rect()}, not {placed}")


@pytest.mark.user_slides(q="<largesize>", w="<move keyboard>2000,2000</move keyboard>",
                         e="<expansion off>")
def test_option_keys_messages_and_a_second_start_leave_notepad_the_focus(keyboard, notepad,
                                                                         probe):
    def notepad_in_front(after):
        assert notepad.in_front(), f"after {after} {probe('foreground')} has the focus"

    keyboard.slide("q", "north")
    wait_for_value(keyboard.width, WIDTHS[3], 10, "the keyboard's width at large size")
    keyboard.size = 3
    keyboard.find_origin()
    notepad_in_front("<largesize>")
    # Sent off the screen, the keyboard stops at its edge, whole and reachable.
    keyboard.slide("w", "north")
    wait_until(lambda: keyboard.rect()[2] == SCREEN[0], 10,
               lambda _: f"the keyboard lies at {keyboard.rect()} after a move off the screen")
    assert keyboard.rect()[3] <= SCREEN[1], f"the keyboard lies at {keyboard.rect()}"
    keyboard.find_origin()
    notepad_in_front("<move keyboard>")
    keyboard.slide("e", "north")
    notepad_in_front("<expansion off>")
    keyboard.post(OPTIONS_CHANGED, 0)
    keyboard.post(LOAD_SLIDE_FILE)
    notepad_in_front("a rebuild and a reload")
    second = keyboard.launch()
    wait_until(lambda: second.poll() is not None, 30, "the second start did not end")
    keyboard.find_origin()
    still_types(keyboard, notepad)


def test_two_quick_starts_make_one_keyboard(keyboard, probe):
    keyboard.close()
    for _ in range(2):
        keyboard.launch()
    wait_until(keyboard.shown, 30, "no keyboard came up")
    wait_until(lambda: len(keyboard.processes()) == 1, 30,
               lambda _: f"{len(keyboard.processes())} keyboard processes run")
    assert probe("count", KEYBOARD_CLASS) == "1"


def test_options_changed_message_resizes_the_keyboard(keyboard, registry, shot):
    # Another program changes the size in the registry and tells the keyboard.
    for size in (1, 3, 4, 2):
        registry.set_option("Keyboard size", size)
        registry.set_option("X", 100)
        registry.set_option("Y", 440)
        keyboard.post(OPTIONS_CHANGED, 0)
        wait_for_value(keyboard.width, WIDTHS[size], 10, f"the keyboard's width at size {size}")
        shot(f"size_{size}")


def test_drag_handle_moves_the_keyboard_and_stores_its_place(keyboard, registry):
    before = keyboard.rect()
    keyboard.drag((16, 0), -100, -80)
    wait_until(lambda: keyboard.rect() != before, 10, "the keyboard did not move")
    # The system's move loop may still be taking the last pen moves: what is stored is
    # where the keyboard comes to rest.
    wait_until(lambda: (registry.option("X"), registry.option("Y")) == keyboard.rect()[:2], 10,
               lambda _: f"the stored X and Y are {registry.option('X'), registry.option('Y')}, "
                         f"the keyboard is at {keyboard.rect()[:2]}")
    # By the pen's way, give or take one of its steps.
    left, top = keyboard.rect()[:2]
    assert abs(left - (before[0] - 100)) <= 10 and abs(top - (before[1] - 80)) <= 8, (left, top)


def test_close_clears_the_shared_block(keyboard, probe):
    # The probe keeps the block open while the keyboard ends, to see what it left there.
    probe("hold-block")
    assert probe("held-block") not in ("none", "0")
    keyboard.tap("<close>")
    wait_until(keyboard.gone, 10, "the keyboard is still there")
    assert probe("held-block") == "0", "the shared block still names a keyboard"


# --- the keyboard menu and its dialogs ---------------------------------------------------------

# The keyboard menu's entries as the keys reach them, separators skipped. The system's
# pop-up menu keeps its items in the keyboard's process, out of the probe's reach, so an
# entry is chosen with the menu keys a user's keyboard would press.
MENU = ["Help...", "Options...", "Preview font...", "Load glossary...", "Load slides...",
        "Finger size", "Large size", "Medium size", "Small size"]


def open_menu(keyboard, probe):
    keyboard.tap("<info>")
    wait_until(lambda: probe.shown("#32768"), 5, "no keyboard menu")


def choose(keyboard, probe, entry):
    """Opens the keyboard menu and chooses an entry."""
    open_menu(keyboard, probe)
    probe("menu-keys", *["down"] * (MENU.index(entry) + 1), "return")


def test_menu_picks_a_size(keyboard, notepad, probe, registry, shot):
    open_menu(keyboard, probe)
    shot("menu")
    probe("menu-keys", "up", "return")  # the last entry: "Small size"
    wait_for_value(lambda: (keyboard.width(), registry.option("Keyboard size")), (242, 1), 10,
                   "the keyboard's width and stored size")
    keyboard.size = 1
    keyboard.find_origin()
    open_menu(keyboard, probe)
    shot("menu_small_checked")  # a check mark beside "Small size"
    probe("menu-keys", "escape")
    wait_until(lambda: not probe.exists("#32768") or not probe.shown("#32768"), 5,
               "the menu stays open")
    still_types(keyboard, notepad)


def tap_button(desktop, probe, title, button):
    """Taps a dialog's button with the pen, where the user sees it."""
    answer = probe("button-rect", title, button)
    assert answer not in ("none", "hidden"), f"no {button} button in {title}: {answer}"
    left, top, right, bottom = (int(v) for v in answer.split())
    desktop.click((left + right) // 2, (top + bottom) // 2)


@pytest.fixture
def editor_missing(keyboard):
    """The package without its editor, as after a broken installation."""
    program = keyboard.exe.parent / "QuorelEditor.exe"
    away = program.with_suffix(".away")
    program.rename(away)
    yield
    away.rename(program)


def test_missing_editor_is_reported_and_typing_goes_on(keyboard, notepad, probe, desktop, shot,
                                                       editor_missing):
    keyboard.tap("<add>")
    wait_for_value(lambda: probe("dialog", "Quorel"), MISSING, 10, "the message box")
    shot("missing_companion")
    # The message came at pen up: the pen is free again, and the tap reaches OK.
    tap_button(desktop, probe, "Quorel", "OK")
    wait_until(lambda: not probe.exists("#32770"), 10, "the message box stays after a tap on OK")
    still_types(keyboard, notepad)


@pytest.mark.parametrize("key, menu", [("<info>", "keyboard menu"), ("<sysmenu>", "system menu")])
def test_a_tap_outside_a_menu_closes_it_and_typing_goes_on(keyboard, notepad, probe, desktop,
                                                           key, menu):
    keyboard.tap(key)
    wait_until(lambda: probe.shown("#32768"), 5, f"no {menu}")
    desktop.click(900, 600)  # the bare desktop, below notepad and beside the keyboard
    wait_until(lambda: not probe.shown("#32768"), 5, f"the {menu} stays open after a tap outside")
    still_types(keyboard, notepad)


def test_load_slides_chooses_a_file_through_the_system_dialog(keyboard, notepad, probe, registry,
                                                              shot):
    chosen = windows_path(keyboard.exe.parent / "Quorel slidefiles" / "CapsOnlySlides.txt")
    choose(keyboard, probe, "Load slides...")
    wait_until(lambda: probe.exists("#32770", "Open"), 15, "no file dialog")
    shot("choose_slides")
    probe.set_text("Open", 1148, chosen)  # the file name box
    probe("press", "Open", 1)
    wait_for_value(lambda: (registry.option("Use slides for"),
                            str(registry.setting("Custom slides file")).endswith("CapsOnlySlides.txt")),
                   (0, True), 15, "the slide file in use")
    keyboard.slide("w", "north")
    notepad.expect_text("W")


def test_cancelled_font_dialog_writes_nothing(keyboard, notepad, probe, registry, shot):
    choose(keyboard, probe, "Preview font...")
    wait_until(lambda: probe.exists("#32770", "Font"), 15, "no font dialog")
    shot("font_dialog")
    probe("press", "Font", 2)
    wait_until(lambda: not probe.exists("#32770"), 10, "the font dialog stays")
    assert registry.option("Slides font name") is None
    still_types(keyboard, notepad)


# --- window placement ---------------------------------------------------------------------------

# Wine's virtual desktop has no turned modes and refuses the change: the keyboard ignores
# the refusal and goes on.
@pytest.mark.user_slides("<landscape right>")
def test_refused_display_turn_leaves_the_keyboard_typing(keyboard, notepad, probe):
    keyboard.slide("q", "north")
    still_types(keyboard, notepad)
    assert probe("screen") == f"{SCREEN[0]} {SCREEN[1]}"
    assert keyboard.shown()


@pytest.mark.user_slides("<duo>")
def test_duo_shares_the_screen_with_the_application(keyboard, probe, shot):
    left, top, right, bottom = keyboard.rect()
    width, height = right - left, bottom - top
    keyboard.slide("q", "north")
    width_left = SCREEN[0] // 2 - width // 2
    wait_for_value(lambda: (probe.rect("Notepad"), keyboard.rect()),
                   ((0, 0, SCREEN[0], SCREEN[1] - height),
                    (width_left, SCREEN[1] - height, width_left + width, SCREEN[1])), 10,
                   "notepad's and the keyboard's places")
    shot("duo")


# --- no key stays down ---------------------------------------------------------------------------

# Keys a random pen must not meet: they close, hide, move or turn the keyboard, or open a
# menu or a dialog that would stop the run.
UNSAFE_KINDS = {2, 10, 16, 23, 28, 30, 42, 66}
PANELS = [None, "upper", "digits", "accents 1", "accents 2", "accents 3", "accents 4"]


def safe_points(keyboard):
    """Client points of keys that are safe on every panel the keyboard may show there."""
    unsafe = [point for panel in PANELS
              for key, point in keyboard.key_map.points(keyboard.size, keyboard.sidebar, panel).items()
              if isinstance(key, tuple) and key[0] in UNSAFE_KINDS]
    points = set()
    for panel in PANELS:
        for key, point in keyboard.key_map.points(keyboard.size, keyboard.sidebar, panel).items():
            if isinstance(key, tuple) and key[0] not in UNSAFE_KINDS and all(
                    abs(point[0] - x) > 12 or abs(point[1] - y) > 12 for x, y in unsafe):
                points.add(point)
    return sorted(points)


@pytest.mark.timeout(300)
def test_a_thousand_random_taps_and_slides_leave_no_key_down(keyboard, probe, desktop):
    chance = random.Random(20261208)
    points = safe_points(keyboard)
    assert len(points) > 40, f"only {len(points)} safe keys"
    ox, oy = desktop.origin()
    cx, cy = keyboard.client_origin
    for _ in range(20):  # 20 batches of 50 pen strokes
        words = []
        for _ in range(50):
            x, y = chance.choice(points)
            x, y = ox + cx + x, oy + cy + y
            words += ["mousemove", x, y, "mousedown", 1]
            if chance.random() < 0.3:  # a slide in one of the eight directions
                dx, dy = chance.choice([(1, 0), (1, 1), (0, 1), (-1, 1), (-1, 0), (-1, -1),
                                        (0, -1), (1, -1)])
                for step in (10, 20, 30):
                    words += ["sleep", 0.01, "mousemove", x + dx * step, y + dy * step]
            words += ["sleep", 0.02, "mouseup", 1, "sleep", 0.02]
        desktop.xdotool(*words)
    keyboard.find_origin()
    keyboard.tap("<close>")
    wait_until(keyboard.gone, 10, "the keyboard did not close")
    assert probe("keys") == "none", f"after the keyboard ended the system holds {probe('keys')}"


@pytest.fixture
def busy_cores(keyboard, notepad):
    """Both cores busy, as a user's machine often is while they type; from when the keyboard
    and notepad are up."""
    loops = [subprocess.Popen([sys.executable, "-c", "while True: pass"]) for _ in range(2)]
    yield
    for loop in loops:
        loop.kill()
        loop.wait(timeout=10)


@pytest.mark.user_slides("hw")
def test_expansion_and_a_suggestion_tap_work_with_both_cores_busy(
        busy_cores, keyboard, notepad, probe, desktop):
    # A slide types "hw" in one go; the busy application takes the keys in its own time.
    keyboard.slide("q", "north")
    notepad.expect_text("hw")
    keyboard.tap("<expand>")
    notepad.expect_text("hardware ")
    keyboard.type("btw")
    wait_until(lambda: probe.shown("ListBox"), 10, "no suggestions for btw")
    left, top, right, bottom = probe.rect("ListBox")
    desktop.click((left + right) // 2, bottom - 6)
    notepad.expect_text("hardware by the way ")
