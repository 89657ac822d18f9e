"""The editor program as a user works it: tabs, rows and buttons clicked with the pen, text
typed on the system keyboard, its dialogs and messages answered."""

from pathlib import Path

from .process import wait_until

EDITOR_CLASS = "TQuorelEditorForm"
EDITOR_TITLE = "Quorel Editor"
DIALOG = "#32770"

# The editor's controls by id.
PAGES, DIRECTION, LETTER, SPECIAL_KEY, FIND = 100, 101, 102, 103, 104
SLIDES, GLOSSARY = 105, 106
NEW, OPEN, SAVE_AS, CLOSE, ADD, EDIT, DELETE, MOVE_UP, MOVE_DOWN = range(107, 116)
STATUS = 116
UNDO, KEYBOARD_NOTICE, USE_FILE, READ_NOTICE, READ_AGAIN = 118, 119, 120, 121, 122
# The add/edit dialog's.
LETTER_EDIT, SPECIAL_KEY_COMBO, SHORT_FORM, DIRECTION_COMBO = 1002, 1003, 1004, 1006
MEMO, DISPLAY_AS, MACRO, OK = 1008, 1010, 1011, 1
TABS = {"direction": 0, "letter": 1, "special key": 2, "glossary": 3}


def centre(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


class Editor:
    def __init__(self, desktop, probe, package):
        self.desktop = desktop
        self.probe = probe
        self.exe = Path(package) / "QuorelEditor.exe"
        self.log = desktop.folder / "editor.log"
        self.env = {}

    def launch(self):
        return self.desktop.launch(self.exe, log=self.log, debug="fixme-all", env=self.env)

    def start(self):
        self.desktop.start(self.launch, lambda: self.probe.shown(EDITOR_CLASS), "QuorelEditor.exe",
                           "editor", self.wine_messages)

    def wine_messages(self, lines=30):
        try:
            return "\n".join(self.log.read_text(errors="replace").splitlines()[-lines:])
        except OSError:
            return "(no messages)"

    def count(self):
        return int(self.probe("count", EDITOR_CLASS))

    def close(self):
        self.click(CLOSE)
        wait_until(lambda: not self.probe.exists(EDITOR_CLASS), 10, "the editor stays open")

    # --- the main window ----------------------------------------------------------------------

    def rect_of(self, control, window=(EDITOR_CLASS, EDITOR_TITLE)):
        """Where a control lies once it shows: a tab chosen a moment ago may not be up yet."""
        def shown():
            answer = self.probe("control-rect", *window, control)
            return None if answer in ("none", "hidden") else answer
        answer = wait_until(shown, 10, f"control {control} of {window} does not show")
        return tuple(int(n) for n in answer.split())

    def click(self, control, window=(EDITOR_CLASS, EDITOR_TITLE)):
        self.desktop.click(*centre(self.rect_of(control, window)))

    def tab(self, name):
        rect = self.probe("tab-rect", EDITOR_CLASS, EDITOR_TITLE, PAGES, TABS[name])
        self.desktop.click(*centre(int(n) for n in rect.split()))

    def row_count(self, control):
        return int(self.probe("row-count", EDITOR_CLASS, EDITOR_TITLE, control))

    def selected(self, control):
        answer = self.probe("selected-rows", EDITOR_CLASS, EDITOR_TITLE, control)
        return [] if answer == "none" else [int(n) for n in answer.split()]

    def rows(self, control):
        return self.probe.lines("listview-rows", EDITOR_CLASS, EDITOR_TITLE, control)

    def click_row(self, control, row, add=False):
        """Selects a row; with add, Ctrl held adds it to the selection."""
        rect = tuple(int(n) for n in self.probe("row-rect", EDITOR_CLASS, EDITOR_TITLE, control,
                                                 row).split())
        x, y = rect[0] + 20, (rect[1] + rect[3]) // 2
        dx, dy = self.desktop.origin()
        if add:
            self.desktop.xdotool("mousemove", dx + x, dy + y, "keydown", "ctrl", "click", 1,
                                 "keyup", "ctrl")
        else:
            self.desktop.click(x, y)

    def type_into(self, control, text, window=(EDITOR_CLASS, EDITOR_TITLE)):
        self.click(control, window)
        self.desktop.xdotool("type", "--delay", 30, text)

    def text_of(self, control, window=(EDITOR_CLASS, EDITOR_TITLE)):
        return self.probe("control-text", *window, control)

    def status(self):
        return self.text_of(STATUS)

    # --- dialogs and messages -------------------------------------------------------------------

    def wait_dialog(self, title, timeout=10):
        wait_until(lambda: self.probe.shown(DIALOG, title), timeout, f"no {title!r} window")

    def tap_button(self, title, button):
        answer = self.probe("button-rect", title, button)
        assert answer not in ("none", "hidden"), f"no {button!r} button in {title!r}"
        self.desktop.click(*centre(int(n) for n in answer.split()))

    def message(self, title, timeout=10):
        """The text of the message box with that title, once it is up; then OK answers it."""
        self.wait_dialog(title, timeout)
        text = self.probe("dialog", title)
        self.tap_button(title, "OK")
        wait_until(lambda: not self.probe.exists(DIALOG, title), 10, f"{title!r} stays up")
        return text
