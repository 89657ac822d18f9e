"""The options program: started from the keyboard's menu, its changes written through the
library and applied to the running keyboard at once."""
import pytest

from harness.process import wait_for_value, wait_until
from harness.quorel import WIDTHS, still_types
from test_keyboard import choose

OPTIONS_CLASS, OPTIONS_TITLE = "QuorelOptionsWindow", "Quorel Options"
SIZE, SIDE_BAR, SLIDE_DISTANCE, SLIDE_STEP = 1000, 1002, 1010, 1011
TABS, APPLY, OK, CANCEL = 100, 102, 1, 2


def centre(answer):
    left, top, right, bottom = (int(n) for n in answer.split())
    return (left + right) // 2, (top + bottom) // 2


class Options:
    def __init__(self, desktop, probe):
        self.desktop = desktop
        self.probe = probe

    def click(self, control):
        """Taps a control once it shows: a page chosen a moment ago may not be up yet."""
        def shown():
            answer = self.probe("control-rect", OPTIONS_CLASS, OPTIONS_TITLE, control)
            return None if answer in ("none", "hidden") else answer
        rect = wait_until(shown, 10, f"control {control} of the options program does not show")
        self.desktop.click(*centre(rect))

    def text(self, control):
        return self.probe("control-text", OPTIONS_CLASS, OPTIONS_TITLE, control)

    def tab(self, index):
        self.desktop.click(*centre(self.probe("tab-rect", OPTIONS_CLASS, OPTIONS_TITLE, TABS, index)))

    def choose_by_keys(self, control, *keys):
        """Opens a drop-down list by a tap, closes it again, and steps with the arrow keys."""
        self.click(control)
        self.desktop.xdotool("key", "Escape", *keys)


@pytest.fixture
def options(keyboard, probe, desktop):
    choose(keyboard, probe, "Options...")
    wait_until(lambda: probe.shown(OPTIONS_CLASS), 30, "Options... started no options program")
    return Options(desktop, probe)


# A distance the store keeps but the program would not offer: it never blocks another change.
@pytest.mark.options(**{"Slide distance": 250})
def test_applied_options_rebuild_the_keyboard_and_typing_goes_on(options, keyboard, notepad,
                                                                 probe, registry, desktop, shot):
    assert options.text(SIZE) == "Medium"
    assert options.text(SIDE_BAR) == "Right"
    shot("options_keyboard_page")
    options.choose_by_keys(SIZE, "Down")      # Large
    options.choose_by_keys(SIDE_BAR, "Up")    # Left
    wait_for_value(lambda: (options.text(SIZE), options.text(SIDE_BAR)), ("Large", "Left"), 10,
                   "the chosen values")
    options.click(APPLY)
    wait_for_value(keyboard.width, WIDTHS[3], 10, "the keyboard's width after Apply")
    assert registry.option("Keyboard size") == 3
    assert registry.option("Side bar position") == 1

    # The stored distance shows as it is; the arrow keys step a number.
    options.tab(1)
    shot("options_slides_page")
    assert options.text(SLIDE_DISTANCE) == "250"
    options.click(SLIDE_STEP)
    desktop.xdotool("key", "Up")
    wait_for_value(lambda: options.text(SLIDE_STEP), "21", 10, "the slide step")
    options.click(APPLY)
    wait_for_value(lambda: registry.option("Slide step"), 21, 10, "the stored slide step")
    # Ctrl+Tab turns the page, and back.
    desktop.xdotool("key", "ctrl+Tab")
    wait_until(lambda: probe("control-rect", OPTIONS_CLASS, OPTIONS_TITLE, SLIDE_DISTANCE) == "hidden",
               10, "Ctrl+Tab left the slides page up")
    desktop.xdotool("key", "ctrl+shift+Tab")
    wait_until(lambda: probe("control-rect", OPTIONS_CLASS, OPTIONS_TITLE, SLIDE_DISTANCE) != "hidden",
               10, "Ctrl+Shift+Tab did not bring the slides page back")

    # A new slide distance out of range is refused, and nothing of it is written.
    options.click(SLIDE_DISTANCE)
    options.desktop.xdotool("key", "End", *["BackSpace"] * 4)
    options.desktop.xdotool("type", "5")
    options.click(APPLY)
    wait_until(lambda: probe("dialog", OPTIONS_TITLE) != "none", 10, "no refusal")
    assert probe("dialog", OPTIONS_TITLE) == "Slide distance must be a number from 10 to 200 pixels."
    probe("press", OPTIONS_TITLE, "OK")
    assert registry.option("Slide distance") == 250

    # Cancel closes and writes nothing more; typing goes on in notepad.
    options.click(CANCEL)
    wait_until(lambda: not probe.exists(OPTIONS_CLASS), 10, "Cancel left the options up")
    assert registry.option("Slide distance") == 250
    keyboard.size = 3
    keyboard.sidebar = 1
    keyboard.find_origin()
    # The application the user typed into is in front again by itself.
    wait_until(notepad.in_front, 5, lambda _: f"{probe('foreground')} is in front, not notepad")
    still_types(keyboard, notepad)


@pytest.mark.options(Arrows=0xFFFFFFFF)
def test_values_shown_are_those_read_and_a_chosen_slide_file_is_used_at_once(
        options, keyboard, notepad, probe, registry, desktop, shot):
    # -1 stored by hand reads as the store repairs it.
    assert options.text(1005) == "Accent keys"
    options.tab(2)
    shot("options_glossary_page")
    options.tab(3)
    shot("options_words_page")
    options.tab(4)
    shot("options_timing_page")
    # One options program at a time: a second start brings the first forward.
    second = desktop.launch(keyboard.exe.parent / "QuorelOptions.exe")
    wait_until(lambda: second.poll() is not None, 30, "the second options program did not end")
    assert probe("count", OPTIONS_CLASS) == "1"

    (desktop.prefix.path / "drive_c" / "mine.txt").write_bytes(
        b"\r\n[NORTH]\r\n\r\nq\t\tquick\r\n")
    options.tab(1)
    options.click(2000)  # Choose... beside the custom slides file
    wait_until(lambda: probe.exists("#32770", "Open"), 15, "no file chooser")
    probe.set_text("Open", "1148", "C:\\mine.txt")
    probe("press", "Open", "1")
    wait_for_value(lambda: registry.setting("Custom slides file"), "C:\\mine.txt", 10,
                   "the custom slides file")
    assert registry.option("Use slides for") == 0
    wait_for_value(lambda: options.text(1007), "Custom slides file", 10, "the slide file shown")
    options.click(CANCEL)
    wait_until(lambda: not probe.exists(OPTIONS_CLASS), 10, "Cancel left the options up")
    wait_until(notepad.in_front, 5, lambda _: f"{probe('foreground')} is in front, not notepad")
    keyboard.slide("q", "north")
    notepad.expect_text("quick")


@pytest.mark.user_slides("queue")
def test_a_shipped_slide_file_chosen_in_the_options_types_at_once(options, keyboard, notepad,
                                                                   probe, registry):
    options.tab(1)
    assert options.text(1007) == "Custom slides file"
    options.choose_by_keys(1007, "Down")  # Capitals only
    wait_for_value(lambda: options.text(1007), "Capitals only (CapsOnlySlides.txt)", 10,
                   "the slide file chosen")
    options.click(OK)
    wait_until(lambda: not probe.exists(OPTIONS_CLASS), 10, "OK left the options up")
    assert registry.option("Use slides for") == 1
    wait_until(notepad.in_front, 5, lambda _: f"{probe('foreground')} is in front, not notepad")
    # Without a restart, the keyboard slides from the file just chosen.
    keyboard.slide("q", "north")
    notepad.expect_text("Q")
