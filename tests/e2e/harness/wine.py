"""The virtual display, the Wine prefix, the Wine desktop and the probe that looks into it."""

import os
import select
import shutil
import signal
import socket
import subprocess
import time
from pathlib import Path

from .process import Timeout, kill_group, run, spawn, wait_until

DESKTOP = "quorel-e2e"
# The screen of the tests at 100 %; a test at another scale has the same screen with its
# pixels that much denser, up to the display's size.
SCREEN = (1024, 768)
DISPLAY = (2048, 1536)


def windows_path(path):
    """The path under Wine's Z: drive, which maps the whole Linux tree."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


class Display:
    """A private Xvfb server; the display number comes from the server once it listens.
    With a name, the display of that name, which it neither starts nor stops."""

    def __init__(self, name=None):
        self.process = None
        if name is not None:
            self.name = name
            return
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{DISPLAY[0]}x{DISPLAY[1]}x24",
             "-nolisten", "tcp"], pass_fds=(write_end,), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 30
        while not number.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            ready, _, _ = select.select([read_end], [], [], max(remaining, 0))
            if not ready:
                self.stop()
                raise Timeout("Xvfb did not start in 30 s")
            chunk = os.read(read_end, 16)
            if not chunk:
                self.stop()
                raise AssertionError("Xvfb ended before it listened")
            number += chunk
        os.close(read_end)
        self.name = ":" + number.decode().strip()

    def stop(self):
        if self.process is not None:
            kill_group(self.process)


class Prefix:
    """One Wine prefix for the whole run, made new; with `keep`, one made earlier is used
    again."""

    def __init__(self, path, display, keep=False):
        self.path = Path(path)
        self.env = dict(os.environ, WINEPREFIX=str(self.path), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=display.name)
        if keep and (self.path / "system.reg").exists():
            return
        shutil.rmtree(self.path, ignore_errors=True)
        self.path.mkdir(parents=True)
        run(["wineboot", "-i"], timeout=180, env=self.env, check=True, what="wineboot -i")
        self.wait_idle(120)
        if not (self.path / "system.reg").exists():
            raise AssertionError(f"wineboot made no registry in {self.path}")
        self.keep_user_folders_inside()

    def keep_user_folders_inside(self):
        """Wine links the user's Documents, Desktop and the like to the real home folder:
        what the programs write there would outlive the run and be found by the next one.
        They become folders of the prefix."""
        for user in (self.path / "drive_c" / "users").iterdir():
            for entry in user.iterdir():
                if entry.is_symlink():
                    entry.unlink()
                    entry.mkdir()

    def wait_idle(self, timeout):
        """Waits until every Wine process of the prefix has ended and the server with them."""
        run(["wineserver", "-w"], timeout=timeout, env=self.env, what="wineserver -w")

    def kill(self):
        """Ends every Wine process of the prefix; a server that will not go is killed."""
        try:
            run(["wineserver", "-k"], timeout=20, env=self.env, what="wineserver -k")
            self.wait_idle(30)
        except Timeout:
            self.kill_processes()

    def processes(self, command_part=""):
        """The pids of the processes that run in this prefix, by their environment, whose
        command line holds `command_part`."""
        marker = f"WINEPREFIX={self.path}".encode()
        found = []
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit() or int(entry.name) == os.getpid():
                continue
            try:
                environment = (entry / "environ").read_bytes().split(b"\0")
                command = (entry / "cmdline").read_bytes().replace(b"\0", b" ")
            except OSError:
                continue
            if marker in environment and command_part.encode() in command:
                found.append(int(entry.name))
        return found

    def kill_processes(self, command_part=""):
        for pid in self.processes(command_part):
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass


class ProbeError(AssertionError):
    pass


class Probe:
    """The probe program, started on the test desktop, answering over a loopback socket.

    A request that gets no answer in time kills the probe, starts it again and asks once
    more; the second failure fails the test with the request that was asked. Restarts are
    kept in `restarts` for the run's summary.
    """

    restarts = []

    def __init__(self, desktop, exe, folder):
        self.desktop = desktop
        self.exe = exe
        self.port_file = Path(folder) / "probe.port"
        self.process = None
        self.port = None
        self.start()

    def start(self):
        self.port_file.unlink(missing_ok=True)
        self.process = self.desktop.launch(self.exe, "serve", windows_path(self.port_file))

        def port_written():
            try:
                return int(self.port_file.read_text().strip())
            except (OSError, ValueError):
                return None

        self.port = wait_until(port_written, 30, "the probe did not start listening")

    def stop(self):
        if self.process is not None:
            try:
                self.ask_once(["quit"], timeout=2)
            except (OSError, ProbeError):
                pass
            kill_group(self.process)
            self.process = None

    def restart(self):
        if self.process is not None:
            kill_group(self.process)
        self.desktop.prefix.kill_processes("quorel_probe.exe")
        self.start()

    def ask_once(self, words, timeout):
        request = "\t".join(str(word) for word in words) + "\n"
        with socket.create_connection(("127.0.0.1", self.port), timeout=timeout) as connection:
            connection.settimeout(timeout)
            connection.sendall(request.encode("utf-8"))
            answer = b""
            while True:
                chunk = connection.recv(65536)
                if not chunk:
                    break
                answer += chunk
        return answer.decode("utf-8", errors="replace")

    def __call__(self, *words, timeout=8):
        try:
            answer = self.ask_once(words, timeout)
        except OSError as first:
            Probe.restarts.append(f"{' '.join(map(str, words))}: {first!r}")
            self.restart()
            try:
                answer = self.ask_once(words, timeout)
            except OSError as second:
                raise ProbeError(
                    f"the probe did not answer '{' '.join(map(str, words))}' twice: "
                    f"{first!r}, then {second!r}") from None
        if answer.startswith("error:"):
            raise ProbeError(f"probe '{' '.join(map(str, words))}': {answer}")
        return answer

    # --- what the scenarios ask most -------------------------------------------------------

    def rect(self, window_class, title="*"):
        """(left, top, right, bottom) of a visible top-level window, or None."""
        answer = self("window", window_class, title)
        if answer in ("none", "hidden"):
            return None
        return tuple(int(v) for v in answer.split())

    def exists(self, window_class, title="*"):
        return self("window", window_class, title) != "none"

    def shown(self, window_class, title="*"):
        return self.rect(window_class, title) is not None

    def set_text(self, title, control, text, timeout=10):
        """Puts text into a control of a dialog once the dialog has made it: a file chooser
        is a window some moments before its boxes are there."""
        def done():
            try:
                return self("set-text", title, control, text) == "set"
            except ProbeError:
                return False
        wait_until(done, timeout, f"no control {control} in {title!r} to put {text!r} into")

    def held_keys(self):
        answer = self("keys")
        return set() if answer == "none" else set(answer.split())

    def lines(self, *words):
        answer = self(*words)
        return [] if answer == "none" else answer.splitlines()


class Desktop:
    """A Wine virtual desktop on the display: every program of a test starts inside it,
    since injected keys reached the focused program only there."""

    def __init__(self, prefix, display, folder, dpi=96):
        self.prefix = prefix
        self.display = display
        self.folder = Path(folder)
        self.dpi = dpi
        self.size = (self.scaled(SCREEN[0]), self.scaled(SCREEN[1]))
        self.launched = []
        self.origin_cache = None

    def scaled(self, length):
        """A length of the 100 % screen at this desktop's scale."""
        return length * self.dpi // 96

    def launch(self, program, *arguments, log=None, debug="-all", env=None):
        env = dict(self.prefix.env, WINEDEBUG=debug, **(env or {}))
        process = spawn(["wine", "explorer", f"/desktop={DESKTOP},{self.size[0]}x{self.size[1]}",
                         str(program), *map(str, arguments)], env=env, log=log)
        self.launched.append(process)
        return process

    def start(self, launch, shown, exe_name, what, messages):
        """Launches a program and waits for its window. A launch after which no process of it
        ran at all, and that did not crash (Wine lost it as it started: "failed to map the
        shared user data"), is tried once more; a process without its window, or one that
        crashed, fails at once."""
        for attempt in (1, 2):
            launch()
            try:
                wait_until(shown, 30, f"the {what} window did not come up")
                return
            except Timeout:
                if self.prefix.processes(exe_name) or "Unhandled" in messages():
                    raise AssertionError(f"the {what} runs without a window; Wine said:\n"
                                         f"{messages()}") from None
                if attempt == 2:
                    raise AssertionError(f"no {what} process ran after two launches; Wine said:"
                                         f"\n{messages()}") from None
                print(f"no {what} process ran after launch {attempt}; launching again")

    def origin(self):
        """Where the desktop's screen point (0, 0) lies on the X display."""
        if self.origin_cache is None:
            def found():
                result = run(["xdotool", "search", "--name", DESKTOP], timeout=10,
                             env=self.prefix.env)
                ids = result.stdout.split()
                if not ids:
                    return None
                geometry = run(["xdotool", "getwindowgeometry", ids[0]], timeout=10,
                               env=self.prefix.env).stdout.decode()
                for line in geometry.splitlines():
                    if "Position:" in line:
                        x, y = line.split()[1].split(",")
                        return int(x), int(y)
                return None

            self.origin_cache = wait_until(found, 20, "no Wine desktop window on the display")
        return self.origin_cache

    def xdotool(self, *arguments):
        run(["xdotool", *map(str, arguments)], timeout=15, env=self.prefix.env, check=True,
            what="xdotool " + " ".join(map(str, arguments[:3])))

    def click(self, x, y, hold=0.05):
        """A pen tap at a screen point of the desktop."""
        dx, dy = self.origin()
        self.xdotool("mousemove", dx + x, dy + y, "mousedown", 1, "sleep", hold, "mouseup", 1)

    def screenshot(self, path, steady_within=5):
        """A screenshot of the display once it has stopped changing (two captures a moment
        apart agree), so a window that is still painting is not caught half drawn."""
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        previous = None
        deadline = time.monotonic() + steady_within
        while True:
            left, top = self.origin()
            area = f"{self.size[0]}x{self.size[1]}+{left}+{top}"
            try:
                run(["import", "-window", "root", "-crop", area, "+repage", "-strip", str(path)],
                    timeout=20, env=self.prefix.env)
            except Timeout:
                return
            current = path.read_bytes() if path.exists() else None
            if current == previous or time.monotonic() >= deadline:
                return
            previous = current

    def stop(self):
        self.prefix.kill()
        for process in self.launched:
            kill_group(process)
        self.launched.clear()
