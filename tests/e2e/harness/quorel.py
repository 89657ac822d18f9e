"""The programs under test as a user sees them: the keyboard with its keys by name, Wine's
notepad as the application typed into, and the options in the registry."""

import contextlib
from pathlib import Path

from .process import Timeout, run, wait_for_value, wait_until

KEYBOARD_CLASS = "QuorelMainWindow5.02"
KEYBOARD_TITLE = "Quorel"

# Width of the keyboard window at each size code.
WIDTHS = {1: 242, 2: 324, 3: 482, 4: 800}

DIRECTIONS = {
    "north": (0, -1), "north-east": (1, -1), "east": (1, 0), "south-east": (1, 1),
    "south": (0, 1), "south-west": (-1, 1), "west": (-1, 0), "north-west": (-1, -1),
}

# The keyboard's messages, as other programs post them.
OPTIONS_CHANGED = 0x8014
LOAD_SLIDE_FILE = 0x8032


class Registry:
    """The keyboard's settings under HKEY_CURRENT_USER, read and written through the probe."""

    PRODUCT = r"Software\Pelmarik Solutions\Quorel"
    OPTIONS = PRODUCT + r"\Options"

    # What every test starts from: medium size, low on the screen and away from notepad,
    # the capitals-only slide file, and no minimum highlight time to wait through.
    BASELINE = {"Keyboard size": 2, "X": 300, "Y": 560, "Use slides for": 1,
                "Minimum highlight time": 0}

    def __init__(self, probe):
        self.probe = probe

    DESKTOP_SETTINGS = r"Control Panel\Desktop"

    def reset(self, dpi=96):
        self.probe("reg-delete", self.PRODUCT)
        for name, value in self.BASELINE.items():
            # The keyboard's place on the same screen at a denser scale.
            self.set_option(name, value * dpi // 96 if name in ("X", "Y") else value)
        # The display scale every program started from now on reads at its start.
        self.probe("reg-dword", self.DESKTOP_SETTINGS, "LogPixels", dpi)

    def set_option(self, name, value):
        self.probe("reg-dword", self.OPTIONS, name, int(value))

    def option(self, name):
        """A numeric option as stored, or None when it is not there."""
        return self._value(self.OPTIONS, name)

    def set_setting(self, name, value):
        if isinstance(value, int):
            self.probe("reg-dword", self.PRODUCT, name, value)
        else:
            self.probe("reg-sz", self.PRODUCT, name, value)

    def setting(self, name):
        return self._value(self.PRODUCT, name)

    def _value(self, key, name):
        answer = self.probe("reg-get", key, name)
        kind, _, value = answer.partition(" ")
        if kind == "dword":
            return int(value)
        if kind == "sz":
            return value
        return None


class KeyMap:
    """Where each key lies in the keyboard's client area, from the host key map tool."""

    def __init__(self, exe):
        self.exe = exe
        self.cache = {}

    def points(self, size, sidebar, panel, dpi=96):
        key = (size, sidebar, panel, dpi)
        if key not in self.cache:
            command = [str(self.exe), str(size), str(sidebar), *(panel.split() if panel else []),
                       "--dpi", str(dpi)]
            result = run(command, timeout=10, check=True, what="the key map")
            keys = {}
            for line in result.stdout.decode("utf-8").split("\n"):
                fields = line.split(" ", 4)
                if len(fields) < 5:
                    continue
                kind, parameter, x, y, name = fields
                point = (int(x), int(y))
                keys.setdefault((int(kind), int(parameter)), point)
                if name != "-":
                    keys.setdefault(name, point)
            self.cache[key] = keys
        return self.cache[key]


class Keyboard:
    """The keyboard program on the test desktop."""

    def __init__(self, desktop, probe, key_map, package, folder):
        self.desktop = desktop
        self.probe = probe
        self.key_map = key_map
        self.exe = Path(package) / "QuorelKeyboard.exe"
        self.log = Path(folder) / "keyboard.log"
        self.size = 2
        self.sidebar = 2
        self.dpi = 96  # the scale the keyboard shows at, as the art it finds allows
        self.client_origin = None
        self.env = {}

    # --- life ------------------------------------------------------------------------------

    def launch(self):
        """Starts another keyboard, as a user's second start does, and goes on."""
        return self.desktop.launch(self.exe, log=self.log, debug="fixme-all", env=self.env)

    def processes(self):
        return self.desktop.prefix.processes("QuorelKeyboard.exe")

    def start(self, size=None):
        """Starts the keyboard and waits for its window (launched twice at most, as
        Desktop.start says)."""
        if size is not None:
            self.size = size
        self.desktop.start(self.launch, self.shown, "QuorelKeyboard.exe", "keyboard",
                           self.wine_messages)
        self.find_origin()

    def wine_messages(self, lines=30):
        try:
            text = self.log.read_text(errors="replace").splitlines()
        except OSError:
            return "(no messages)"
        return "\n".join(text[-lines:]) or "(no messages)"

    def shown(self):
        return self.probe.shown(KEYBOARD_CLASS)

    def gone(self):
        return not self.probe.exists(KEYBOARD_CLASS)

    def rect(self):
        return self.probe.rect(KEYBOARD_CLASS)

    def width(self):
        rect = self.rect()
        return rect[2] - rect[0] if rect else None

    def find_origin(self):
        """Where the client area lies now; needed again after the keyboard moves."""
        answer = self.probe("client", KEYBOARD_CLASS)
        x, y = (int(v) for v in answer.split())
        self.client_origin = (x, y)

    def close(self):
        self.tap("<close>")
        wait_until(self.gone, 10, "the keyboard did not close")

    # --- the pen ---------------------------------------------------------------------------

    def point(self, key, panel=None):
        """The desktop point of a key: a name ("<shift>", "e") or a (kind, parameter) pair."""
        keys = self.key_map.points(self.size, self.sidebar, panel, self.dpi)
        if key not in keys:
            raise AssertionError(f"no key {key!r} on the {panel or 'letter'} panel at size {self.size}")
        x, y = keys[key]
        return self.client_origin[0] + x, self.client_origin[1] + y

    def tap(self, key, panel=None):
        x, y = self.point(key, panel)
        self.desktop.click(x, y)

    def type(self, letters, panel=None):
        """Taps the keys of the letters; a blank is the space key."""
        for letter in letters:
            self.tap("<space>" if letter == " " else letter, panel)

    def _pen_moves(self, key, dx, dy, steps, pause, panel=None):
        """xdotool words for a pen down on a key and a move by (dx, dy) in steps."""
        x, y = self.point(key, panel)
        ox, oy = self.desktop.origin()
        moves = ["mousemove", ox + x, oy + y, "mousedown", 1]
        for step in range(1, steps + 1):
            moves += ["sleep", pause, "mousemove", ox + x + dx * step // steps,
                      oy + y + dy * step // steps]
        return moves

    def _slide_moves(self, key, direction, distance, panel):
        """`distance` in the keyboard's design pixels: as long on the glass at every scale."""
        ux, uy = DIRECTIONS[direction]
        distance = distance * self.dpi // 96
        return self._pen_moves(key, ux * distance, uy * distance, 8, 0.02, panel)

    def slide(self, key, direction, distance=40, panel=None):
        """A slide from a key in one of the eight directions, pen up at its end."""
        self.desktop.xdotool(*self._slide_moves(key, direction, distance, panel), "mouseup", 1)

    @contextlib.contextmanager
    def holding_slide(self, key, direction, distance=40, panel=None):
        """A slide whose pen stays down inside the block, and goes up after it."""
        self.desktop.xdotool(*self._slide_moves(key, direction, distance, panel))
        try:
            yield
        finally:
            self.desktop.xdotool("mouseup", 1)

    def drag(self, key, dx, dy, steps=10):
        self.desktop.xdotool(*self._pen_moves(key, dx, dy, steps, 0.03), "mouseup", 1)

    # --- messages from other programs --------------------------------------------------------

    def post(self, message, wparam=0):
        """Posts a message as another program does, and returns once the keyboard has
        handled it, so that the pen events after it meet what it changed."""
        self.probe("post", KEYBOARD_CLASS, hex(message), wparam)
        answer = self.probe("sync", KEYBOARD_CLASS)
        if answer != "synced":
            raise AssertionError(f"the keyboard did not handle message {hex(message)}: {answer}")


class Notepad:
    """Wine's notepad: the application the keyboard types into, which nobody here wrote."""

    PLACE = (0, 0, 1024, 420)

    def __init__(self, desktop, probe):
        self.desktop = desktop
        self.probe = probe

    def start(self):
        # As with the keyboard, Wine's launcher now and then loses a program it was asked
        # to start: a launch after which no notepad process runs is tried once more.
        for attempt in (1, 2):
            self.desktop.launch("notepad.exe")
            try:
                wait_until(lambda: self.probe.exists("Notepad"), 20, "notepad did not start")
                break
            except Timeout:
                if attempt == 2 or self.desktop.prefix.processes("notepad.exe"):
                    raise
                print(f"no notepad process ran after launch {attempt}; launching again")
        left, top, width, height = (self.desktop.scaled(v) for v in self.PLACE)
        wanted = (left, top, left + width, top + height)

        def placed():
            self.probe("place", "Notepad", left, top, width, height)
            return self.probe.rect("Notepad") == wanted

        wait_until(placed, 10, lambda _: f"notepad stays at {self.probe.rect('Notepad')}")

    def in_front(self):
        return self.probe("foreground") == "Notepad"

    def bring_to_front(self):
        """Notepad has the focus, as when the user has just started it. A freshly started
        notepad is in front already; only when it is not is it clicked, as a user would."""
        try:
            wait_until(self.in_front, 5, "")
            return
        except Timeout:
            pass
        for _ in range(3):
            self.desktop.click(300, 200)
            try:
                wait_until(self.in_front, 3, "")
                return
            except Timeout:
                continue
        raise AssertionError(f"notepad did not come to the front: {self.probe('foreground')} is")

    def text(self):
        return self.probe("text")

    def expect_text(self, expected, timeout=10):
        wait_for_value(self.text, expected, timeout, "notepad's text")


def still_types(keyboard, notepad, expected_before="", expected_after=""):
    """A tap still types into notepad, without the test touching notepad first; the k lands
    between the texts expected before and after the caret."""
    keyboard.tap("k")
    notepad.expect_text(expected_before + "k" + expected_after)

