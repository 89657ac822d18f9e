"""The special key menu and the unicode picker of the library, called by a small host
program as the editor's "Insert Macro ..." button calls them, and used with the pen."""
from pathlib import Path

import pytest

from harness.process import wait_until
from harness.wine import windows_path

ROOT = Path(__file__).resolve().parents[2]
HOST = ROOT / "build" / "windows" / "bin" / "quorel_key_menu_host.exe"
HOST_CLASS = "QuorelSpecialsHost"
WM_APP = 0x8000
PICKER = ("#32770", "Unicode Picker")
CODE_BOX, UP_DOWN, RESULT_BOX = "1002", "1003", "1004"


class SpecialsHost:
    def __init__(self, desktop, probe):
        self.desktop = desktop
        self.probe = probe
        self.out = desktop.folder / "key_menu.txt"
        self.menu_file = Path(str(self.out) + ".menu")
        self.calls = 0

    def start(self):
        self.desktop.launch(HOST, windows_path(self.out), log=self.desktop.folder / "host.log")
        self.calls += 1
        self.wait_for_menu()

    def open_menu(self):
        self.menu_file.unlink(missing_ok=True)
        self.probe("post", HOST_CLASS, WM_APP, 0)
        self.calls += 1
        self.wait_for_menu()

    def wait_for_menu(self):
        wait_until(lambda: self.probe.shown("#32768"), 15, "the special key menu did not open")

    def menu_items(self):
        """The items of the menus on the screen, by caption: their screen rectangles."""
        if not self.menu_file.exists():
            return {}
        items = {}
        for line in self.menu_file.read_text(encoding="utf-8").splitlines():
            caption, _, place = line.partition("\t")
            items[caption] = tuple(int(n) for n in place.split())
        return items

    def click_item(self, caption):
        """Clicks a menu item as a user would, once the host has seen it on the screen. The
        pen's small moves over the menu give the menu loop the messages that report it."""
        wiggle = [0]

        def shown():
            wiggle[0] += 1
            self.desktop.xdotool("mousemove_relative", "--", 1 if wiggle[0] % 2 else -1, 0)
            return self.menu_items().get(caption)

        left, top, right, bottom = wait_until(shown, 10, f"no menu item {caption!r} on the screen")
        self.desktop.click((left + right) // 2, (top + bottom) // 2)

    def current_dialog(self):
        """The title of the window the shared block names as the editor's current dialog,
        as the host last saw it while a dialog was up."""
        current = Path(str(self.out) + ".current")
        return current.read_text(encoding="utf-8") if current.exists() else None

    def result(self):
        """What the last call returned: its text, or None for none."""
        def answered():
            if not self.out.exists():
                return None
            lines = self.out.read_text(encoding="utf-8").split("\n")
            return lines if lines[0] == f"call {self.calls}" else None

        lines = wait_until(answered, 15, f"call {self.calls} of the menu did not return")
        assert lines[2] == "dialog host", "the host is no longer the editor's current dialog"
        return None if lines[1] == "none" else lines[1][len("text "):]


@pytest.fixture
def host(desktop, probe):
    program = SpecialsHost(desktop, probe)
    program.start()
    return program


def menu_keys(probe, *keys):
    probe("menu-keys", *keys)


def test_menu_items_give_their_texts_and_ask_what_they_need(host, probe, registry, shot):
    shot("special_key_menu")
    host.click_item("special character")
    host.click_item("tab")
    assert host.result() == "<tab>"

    # "volume key" is the last submenu; the right arrow opens it on "mute", and "up" follows.
    host.open_menu()
    menu_keys(probe, "up", "right", "down", "return")
    assert host.result() == "<volume up>"

    host.open_menu()
    host.click_item("metakey")
    shot("special_key_menu_metakey")
    host.click_item("wait")
    wait_until(lambda: probe("dialog", "Quorel Slides") != "none", 10, "no placeholder message")
    assert probe("dialog", "Quorel Slides") == \
        'Replace "###" placeholder by number of milliseconds to wait'
    probe("press", "Quorel Slides", "OK")
    assert host.result() == "<wait>###</wait>"

    # The keyboard stores its place while the message is up: the text has the new one, each
    # time, though the library read the options before.
    for x, y in ((300, 560), (-12, 30)):
        host.open_menu()
        host.click_item("positioning key")
        host.click_item("move quorel")
        wait_until(lambda: probe("dialog", "Quorel Slides") != "none", 10, "no move message")
        registry.set_option("X", x & 0xFFFFFFFF)
        registry.set_option("Y", y)
        left, top, right, bottom = (int(n) for n in probe("button-rect", "Quorel Slides", "OK").split())
        probe.desktop.click((left + right) // 2, (top + bottom) // 2)
        assert host.result() == f"<move keyboard>{x},{y}</move keyboard>"

    host.open_menu()
    menu_keys(probe, "escape", "escape")
    assert host.result() is None


def test_launch_gives_the_chosen_path_and_a_cancelled_chooser_gives_none(host, probe):
    chooser = ("#32770", "Open")
    host.click_item("metakey")
    host.click_item("launch")
    wait_until(lambda: probe.shown(*chooser), 15, "no file chooser")
    # The chooser's file name box: a path typed there is a file chosen.
    probe.set_text("Open", "1148", "C:\\windows\\notepad.exe")
    probe("press", "Open", "1")
    assert host.result() == "<launch>C:\\windows\\notepad.exe</launch>"

    host.open_menu()
    host.click_item("metakey")
    host.click_item("load slides")
    wait_until(lambda: probe.shown(*chooser), 15, "no file chooser")
    probe("press", "Open", "2")
    assert host.result() is None


class Picker:
    """The unicode picker on the screen, with its grid where the dialog lays it out."""

    def __init__(self, host, probe):
        self.host = host
        self.probe = probe
        self.desktop = probe.desktop
        wait_until(lambda: probe.shown(*PICKER), 15, "the unicode picker did not open")
        self.origin = tuple(int(n) for n in probe("client", *PICKER).split())
        code_top, code_bottom = self.control(CODE_BOX)[1::2]
        result = self.control(RESULT_BOX)
        self.cell = result[3] - result[1]  # the result box is one cell high
        self.grid_left = self.origin[0] + 14
        self.grid_top = self.origin[1] + (code_bottom - code_top) + 10
        self.columns = (result[2] - result[0] - 1) // self.cell
        self.rows = (result[1] - 5 - self.grid_top) // self.cell

    def control(self, control):
        return tuple(int(n) for n in self.probe("control-rect", *PICKER, control).split())

    def rect(self):
        return tuple(int(n) for n in self.probe("window", *PICKER).split())

    def click_cell(self, row, column):
        self.desktop.click(self.grid_left + column * self.cell + self.cell // 2,
                           self.grid_top + row * self.cell + self.cell // 2)

    def code(self):
        return self.probe("control-text", *PICKER, CODE_BOX)

    def result_text(self):
        return self.probe("control-text", *PICKER, RESULT_BOX)

    def press_down_arrow(self):
        left, top, right, bottom = self.control(UP_DOWN)
        self.desktop.click((left + right) // 2, bottom - 3)

    def type_code(self, digits):
        left, top, right, bottom = self.control(CODE_BOX)
        self.desktop.click(right - 3, (top + bottom) // 2)
        self.desktop.xdotool("key", "End", *["BackSpace"] * 8)
        self.desktop.xdotool("type", digits)

    def ok(self):
        """Taps "OK", the first entry of the menu bar just above the client area."""
        self.desktop.click(self.origin[0] + 12, self.origin[1] - 9)


def open_picker(host, probe):
    host.click_item("special character")
    host.click_item("unicode")
    return Picker(host, probe)


def test_picker_clicks_build_a_text_and_pages_follow_the_code(host, probe, shot):
    picker = open_picker(host, probe)
    assert picker.columns > 0 and picker.rows > 0, (picker.columns, picker.rows)
    page = picker.columns * picker.rows
    # The first opening shows the codes from 0; cells one row down hold "A" and more.
    a_row, a_column = divmod(65, picker.columns)
    picker.click_cell(a_row, a_column)
    picker.click_cell(a_row, a_column + 2)
    picker.click_cell(a_row, a_column + 1)
    wait_until(lambda: picker.result_text() == "ACB", 10,
               lambda _: f"the result box holds {picker.result_text()!r}")
    assert picker.code() == str(65 + 1)
    shot("unicode_picker")
    # While it is open, the keyboard's special keys go to the picker.
    assert host.current_dialog() == "Unicode Picker"
    picker.ok()
    assert host.result() == "ACB"

    # Reopened, it shows the page where it was left; typing a code outside it redraws the
    # grid from that code, and the down arrow moves one page on.
    host.open_menu()
    picker = open_picker(host, probe)
    picker.type_code("233")
    wait_until(lambda: picker.code() == "233", 10, lambda _: f"the code box holds {picker.code()}")
    picker.click_cell(0, 0)
    wait_until(lambda: picker.result_text() == "\u00e9", 10,
               lambda _: f"the first cell after 233 typed gave {picker.result_text()!r}")
    picker.press_down_arrow()
    wait_until(lambda: picker.code() == str(233 + page), 10,
               lambda _: f"after the down arrow the code box holds {picker.code()}")
    picker.click_cell(0, 0)
    wait_until(lambda: picker.result_text() == "\u00e9" + chr(233 + page), 10,
               lambda _: f"the first cell a page on gave {picker.result_text()!r}")
    probe("post", PICKER[0], 0x0111, 2)  # "Cancel"
    assert host.result() is None

    host.open_menu()
    picker = open_picker(host, probe)
    assert picker.code() == str(233 + page), "the picker forgot the page it was left at"
    # A character beyond the first 65,536 is picked as one character.
    picker.type_code("128512")
    picker.click_cell(0, 0)
    wait_until(lambda: picker.result_text() == "\U0001F600", 10,
               lambda _: f"U+1F600 gave {picker.result_text()!r}")
    probe.desktop.xdotool("key", "Return")  # Enter is OK
    assert host.result() == "\U0001F600"


EDITOR_KEY = "Software\\Pelmarik Solutions\\Quorel\\Quorel Editor"


def stored_rect(registry):
    return tuple(registry._value(EDITOR_KEY, f"unipick_{name}")
                 for name in ("left", "top", "width", "height"))


def test_picker_remembers_its_rectangle_and_escape_gives_none(host, probe, registry):
    picker = open_picker(host, probe)
    # Half a surrogate pair is no character: its cells, from U+D800 on, insert nothing.
    picker.type_code("55290")
    wait_until(lambda: picker.code() == "55290", 10, lambda _: f"the code box holds {picker.code()}")
    picker.click_cell(0, 6)
    picker.click_cell(0, 7)
    picker.click_cell(0, 0)
    wait_until(lambda: picker.code() == "55290", 10, lambda _: f"the code box holds {picker.code()}")
    assert picker.result_text() == "\ud7fa"
    # A size the user gives is stored, and the grid grows with it.
    columns = picker.columns
    probe("place", PICKER[0], 30, 20, 420, 360)
    wait_until(lambda: stored_rect(registry) == (30, 20, 420, 360), 10,
               lambda _: f"the stored rectangle is {stored_rect(registry)}")
    assert Picker(host, probe).columns > columns
    probe.desktop.xdotool("key", "Escape")
    assert host.result() is None

    host.open_menu()
    picker = open_picker(host, probe)
    assert picker.rect() == (30, 20, 450, 380)
    probe("post", PICKER[0], 0x0111, 2)  # "Cancel"
    assert host.result() is None

    # A rectangle wholly off the screen gives way to the default one.
    for name, value in (("left", 5000), ("top", 4000), ("width", 500), ("height", 400)):
        probe("reg-dword", EDITOR_KEY, f"unipick_{name}", value)
    host.open_menu()
    picker = open_picker(host, probe)
    assert picker.rect() == (0, 0, 320, 300)
