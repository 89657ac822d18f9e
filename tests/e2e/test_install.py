"""The setup program and the MSI in a Wine prefix made new for them, as a Windows user
meets them: installed, the keyboard typing from where its Start menu shortcut points, an
upgrade over an older version that keeps what the user made, and an uninstall that leaves
nothing of the program and everything of the user's."""

import getpass
import re
import struct
import shutil
import time
from pathlib import Path

import pytest

from harness.process import run, wait_until
from harness.quorel import KEYBOARD_CLASS, Keyboard, Notepad, Registry
from harness.wine import Desktop, Prefix, Probe, windows_path

ROOT = Path(__file__).resolve().parents[2]
VERSION = re.search(r"^project\(Quorel VERSION ([0-9.]+)",
                    (ROOT / "CMakeLists.txt").read_text(), re.M).group(1)
# The older version an upgrade replaces: the same sources, a lower number.
OLD_VERSION = "0.0.1"
INSTALL_DIR = r"C:\Program Files\Quorel"
UNINSTALL_ROOT = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
UNINSTALL_KEY = UNINSTALL_ROOT + r"\Quorel"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
EDITOR_CLASS = "TQuorelEditorForm"
OPTIONS_CLASS = "QuorelOptionsWindow"
SHORTCUTS = {"Quorel Keyboard.lnk": "QuorelKeyboard.exe", "Quorel Editor.lnk": "QuorelEditor.exe",
             "Quorel Options.lnk": "QuorelOptions.exe",
             "Quorel Manual.lnk": r"manual\quorelmanual.htm"}
OBSOLETE = "obsolete.txt"
OLD_MANUAL_MARK = "<!-- the older version's manual -->\r\n"
# A file an administrator put in the program folder: an upgrade keeps it.
SITE_NOTES = "site notes.txt"
PENDING_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"
# The user's own north slide from z in the file made at the first start, which had "Z".
SHIPPED_SLIDE = b"z\t\tZ\r\n"
USERS_SLIDE = b"z\t\tkept by the upgrade\r\n"


@pytest.fixture(scope="module")
def fresh_prefix(display, out):
    """A prefix no Quorel was ever installed in."""
    wine_prefix = Prefix(out / "install_prefix", display)
    yield wine_prefix
    wine_prefix.kill()


@pytest.fixture(scope="module")
def releases(out, request):
    """This version's installers from make release, and an older version's made from the same
    package with files that really differ: one this version no longer has, one it changed."""
    current = Path(request.config.getoption("--release"))
    old = out / "old_release"
    old_package = out / "old_package"
    shutil.rmtree(old, ignore_errors=True)
    shutil.rmtree(old_package, ignore_errors=True)
    shutil.copytree(request.config.getoption("--package"), old_package)
    (old_package / OBSOLETE).write_text("a file only the older version has\r\n")
    with open(old_package / "manual" / "quorelmanual.htm", "a") as manual:
        manual.write(OLD_MANUAL_MARK)
    run(["/usr/bin/python3", ROOT / "installer" / "release.py", "build", "--package",
         old_package, "--version", OLD_VERSION, "--out", old],
        timeout=600, check=True, what="building the older installers")
    found = {"setup": current / f"QuorelSetup-{VERSION}.exe", "msi": current / f"Quorel-{VERSION}.msi",
             "old setup": old / f"QuorelSetup-{OLD_VERSION}.exe",
             "old msi": old / f"Quorel-{OLD_VERSION}.msi"}
    for what, path in found.items():
        assert path.is_file(), f"no {what} at {path}: run make release"
    return found


@pytest.fixture
def machine(fresh_prefix, display, test_folder, request):
    """The fresh prefix's desktop with the probe on it."""
    desktop = Desktop(fresh_prefix, display, test_folder)
    try:
        desktop.probe = Probe(desktop, request.config.getoption("--probe"), test_folder)
        desktop.registry = Registry(desktop.probe)
        yield desktop
    finally:
        desktop.stop()


class Machine:
    """What the tests ask of the prefix: its files, its registry, and programs run to their
    end on its desktop."""

    def __init__(self, desktop):
        self.desktop = desktop
        self.prefix = desktop.prefix
        self.drive = self.prefix.path / "drive_c"

    def linux_path(self, windows):
        return self.drive / windows[3:].replace("\\", "/")

    @property
    def install_dir(self):
        return self.linux_path(INSTALL_DIR)

    def documents(self):
        return self.drive / "users" / getpass.getuser() / "Documents" / "Quorel"

    def run_to_end(self, *command, timeout=240):
        """Runs a Windows program on the desktop and waits until no process of it is left."""
        name = Path(str(command[0]).replace("\\", "/")).name
        started = time.monotonic()
        process = self.desktop.launch(*command, log=self.desktop.folder / "install.log")
        wait_until(lambda: process.poll() is not None and not self.prefix.processes(name),
                   timeout, f"{name} did not end")
        self.note_time(" ".join([name, *map(str, command[1:])]), started)

    def exit_code(self, command_line, name, timeout=240):
        """Runs a command line as it stands, as a deployment tool runs it, and returns the
        program's exit code once it and every process it started under `name` are gone."""
        started = time.monotonic()
        report = self.desktop.folder / f"exit_code_{time.monotonic_ns()}.txt"
        self.desktop.launch(self.desktop.probe.exe, "run", windows_path(report), command_line,
                            log=self.desktop.folder / "install.log")
        wait_until(lambda: report.is_file() and not self.prefix.processes(name), timeout,
                   f"{command_line} did not end")
        self.note_time(command_line, started)
        return int(report.read_text().strip())

    def note_time(self, what, started):
        """How long a step took, for the figures of a release (never asserted)."""
        with open(self.desktop.folder / "install_times.txt", "a") as times:
            times.write(f"{what}: {time.monotonic() - started:.1f} s\n")

    def registry_value(self, key, name):
        """A value of the machine's registry as reg.exe shows it, or None."""
        answer = run(["wine", "reg", "query", key, "/v", name], timeout=60, env=self.prefix.env)
        if answer.returncode != 0:
            return None
        for line in answer.stdout.decode(errors="replace").splitlines():
            parts = line.split(None, 2)
            if len(parts) == 3 and parts[0] == name:
                return parts[2].strip()
        return None

    def uninstall_entry(self):
        """The values of the Apps and Features entry whose name is Quorel: the setup program
        names its key so, the MSI names it by its product code."""
        answer = run(["wine", "reg", "query", UNINSTALL_ROOT, "/s"], timeout=60, env=self.prefix.env)
        entries, current = [], None
        for line in answer.stdout.decode(errors="replace").splitlines():
            if line.startswith("HKEY_"):
                current = {}
                entries.append(current)
            elif current is not None:
                parts = line.split(None, 2)
                if len(parts) == 3 and parts[1].startswith("REG_"):
                    current[parts[0]] = parts[2].strip()
        return next((e for e in entries if e.get("DisplayName") == "Quorel"), None)

    def working_folders(self):
        """{name: whether the shortcut starts its program in the program folder}: the link's
        working folder, a counted UTF-16 string, is the install folder itself (Wine counts
        its terminating zero too, and the MSI's ends in a backslash)."""
        counted = [struct.pack("<H", n) + folder.encode("utf-16-le")
                   for folder in (INSTALL_DIR, INSTALL_DIR + "\\")
                   for n in (len(folder), len(folder) + 1)]
        return {link.name: any(c in link.read_bytes() for c in counted)
                for link in self.drive.rglob("*.lnk") if link.name in SHORTCUTS}

    def shortcuts(self):
        """{name: the Windows path it points to} of the program's Start menu shortcuts."""
        found = {}
        for link in self.drive.rglob("*.lnk"):
            if link.name in SHORTCUTS:
                data = link.read_bytes()
                text = data.decode("latin-1") + data.decode("utf-16-le", errors="ignore")
                target = re.search(r"[A-Za-z]:\\[^\x00]*?" + re.escape(SHORTCUTS[link.name]), text)
                found[link.name] = target.group(0) if target else None
        return found

    def program_files(self):
        return sorted(str(p.relative_to(self.install_dir)) for p in self.install_dir.rglob("*")
                      if p.is_file()) if self.install_dir.exists() else []


def assert_installed(machine, version, autostart=True):
    files = machine.program_files()
    for name in ("QuorelKeyboard.exe", "QuorelEditor.exe", "QuorelOptions.exe", "QuorelApi.dll",
                 "LICENSE.txt", "Quorel slidefiles/CustomSlidesTemplate.txt",
                 "Quorel glossaries/business.glo", "manual/quorelmanual.htm",
                 "Quorel bitmaps/medium/200/LetterNormal.png"):
        assert name in files, f"{name} was not installed"
    shortcuts = machine.shortcuts()
    for name, target in SHORTCUTS.items():
        assert shortcuts.get(name, "").lower() == f"{INSTALL_DIR}\\{target}".lower(), \
            f"the shortcut {name} points to {shortcuts.get(name)}"
    assert all(machine.working_folders().values()), \
        f"shortcuts that do not start in {INSTALL_DIR}: {machine.working_folders()}"
    entry = machine.uninstall_entry()
    assert entry and entry.get("DisplayVersion") == version and \
        entry.get("Publisher") == "Pelmarik Solutions", f"the Apps and Features entry: {entry}"
    run_value = machine.registry_value(RUN_KEY, "Quorel")
    if autostart:
        assert run_value and "QuorelKeyboard.exe" in run_value, f"the sign-in entry is {run_value}"
    else:
        assert run_value is None, f"the sign-in entry was made: {run_value}"


def assert_removed(machine, users_slides):
    assert machine.program_files() == [], f"left behind: {machine.program_files()}"
    assert not machine.install_dir.exists(), "the program folder was left"
    assert machine.shortcuts() == {}, f"shortcuts left: {machine.shortcuts()}"
    assert machine.registry_value(RUN_KEY, "Quorel") is None, "the sign-in entry was left"
    assert machine.uninstall_entry() is None, "the Apps and Features entry was left"
    assert USERS_SLIDE in users_slides.read_bytes(), "the user's slide file was touched"


def start_installed_keyboard(machine, key_map, notepad):
    """The keyboard started from the path its Start menu shortcut points to."""
    target = machine.shortcuts()["Quorel Keyboard.lnk"]
    keyboard = Keyboard(machine.desktop, machine.desktop.probe, key_map,
                        machine.linux_path(target).parent, machine.desktop.folder)
    notepad.bring_to_front()
    keyboard.start()
    return keyboard


def first_start_and_users_changes(machine, key_map):
    """A user's first start of the installed keyboard: it types, it made the user's slide file
    from the program folder, and the user changes that file and an option."""
    machine.desktop.registry.reset()
    shutil.rmtree(machine.documents(), ignore_errors=True)
    # The user's own slide file, which the first start makes.
    machine.desktop.registry.set_option("Use slides for", 0)
    notepad = Notepad(machine.desktop, machine.desktop.probe)
    notepad.start()
    keyboard = start_installed_keyboard(machine, key_map, notepad)
    for letter in "hi":
        keyboard.tap(letter)
    wait_until(lambda: notepad.text() == "hi", 10, lambda _: f"notepad shows {notepad.text()!r}")
    slides = machine.documents() / "Slidefiles" / "CustomSlides.txt"
    assert slides.is_file(), "the first start made no slide file of the user's"
    shipped = slides.read_bytes()
    assert SHIPPED_SLIDE in shipped, "the user's slide file is not the shipped template"
    slides.write_bytes(shipped.replace(SHIPPED_SLIDE, USERS_SLIDE, 1))
    machine.desktop.registry.set_option("Minimum highlight time", 7)
    return slides, notepad


@pytest.mark.timeout(900)
def test_the_setup_program_installs_upgrades_and_uninstalls_for_a_user(machine, releases, key_map):
    machine = Machine(machine)
    setup = windows_path(releases["setup"])
    # Every user's programs go under Program Files.
    assert machine.exit_code(f'"{setup}" /S /D=C:\\Quorel', "QuorelSetup") == 5
    assert machine.program_files() == [] and machine.uninstall_entry() is None
    machine.run_to_end(releases["old setup"], "/S", "/NOAUTOSTART")
    assert_installed(machine, OLD_VERSION, autostart=False)
    slides, notepad = first_start_and_users_changes(machine, key_map)

    (machine.install_dir / SITE_NOTES).write_text("the printer is in room 4\r\n")
    manual = machine.install_dir / "manual" / "quorelmanual.htm"
    old_manual = manual.read_bytes()
    keyboards = set(machine.prefix.processes("QuorelKeyboard.exe"))
    probe = machine.desktop.probe
    setup = windows_path(releases["setup"])

    # An upgrade that cannot write the new version (here a file in the way of the folder it
    # is written to, as a full disk would) changes nothing and never closes the keyboard.
    blocker = machine.linux_path(INSTALL_DIR + ".new")
    blocker.write_text("in the way")
    assert machine.exit_code(f'"{setup}" /S', "QuorelSetup") == 6
    blocker.unlink()
    assert set(machine.prefix.processes("QuorelKeyboard.exe")) == keyboards, "the keyboard was closed"
    assert_installed(machine, OLD_VERSION, autostart=False)
    assert manual.read_bytes() == old_manual and (machine.install_dir / OBSOLETE).is_file()

    # A file held by a program that does not let go (as in another user's session) keeps the
    # installed version whole and its keyboard running; the new version's files take their
    # places when Windows next starts, and the administrator is told by the exit code.
    held = f"{INSTALL_DIR}\\manual\\quorelmanual.htm"
    assert probe("hold-file", held) == "held"
    assert machine.exit_code(f'"{setup}" /S', "QuorelSetup") == 3010
    wait_until(lambda: probe.shown(KEYBOARD_CLASS), 30, "the keyboard did not come back")
    assert manual.read_bytes() == old_manual and (machine.install_dir / OBSOLETE).is_file()
    assert "QuorelKeyboard.exe" in machine.program_files()
    pending = machine.registry_value(PENDING_KEY, "PendingFileRenameOperations") or ""
    assert "Quorel.new\\manual\\quorelmanual.htm" in pending and \
        "Quorel.new\\QuorelKeyboard.exe" in pending, f"nothing waits for the restart: {pending!r}"
    assert probe("let-go-file", held) == "let go"
    # The administrator runs the upgrade again before any restart: what waited for it is moot.
    run(["wine", "reg", "delete", PENDING_KEY, "/v", "PendingFileRenameOperations", "/f"],
        timeout=60, env=machine.prefix.env)

    # Run again once nothing holds a file, the upgrade closes the running keyboard, as a user
    # would, and starts it again; it stays in the installed folder whatever it is told and
    # keeps the start at sign-in off. The older version's files go, the administrator's stay.
    before = set(machine.prefix.processes("QuorelKeyboard.exe"))
    machine.run_to_end(releases["setup"], "/S", "/D=C:\\Program Files\\Elsewhere")
    assert_installed(machine, VERSION, autostart=False)
    assert not machine.linux_path(r"C:\Program Files\Elsewhere").exists()
    assert not machine.linux_path(INSTALL_DIR + ".new").exists()
    assert not machine.linux_path(INSTALL_DIR + ".old").exists()
    assert OLD_MANUAL_MARK.encode() not in manual.read_bytes(), "the manual was not replaced"
    assert OBSOLETE not in machine.program_files(), "the older version's file was left"
    assert SITE_NOTES in machine.program_files(), "the administrator's file was lost"
    wait_until(lambda: probe.shown(KEYBOARD_CLASS), 30, "the keyboard did not come back")
    assert before.isdisjoint(machine.prefix.processes("QuorelKeyboard.exe")), \
        "the old keyboard is still running"
    assert USERS_SLIDE in slides.read_bytes(), "the upgrade changed the user's slide file"
    assert machine.desktop.registry.option("Minimum highlight time") == 7, "an option was lost"
    notepad.bring_to_front()
    keyboard = Keyboard(machine.desktop, probe, key_map, machine.install_dir, machine.desktop.folder)
    keyboard.find_origin()
    keyboard.slide("z", "north")
    wait_until(lambda: notepad.text() == "hikept by the upgrade", 10,
               lambda _: f"notepad shows {notepad.text()!r}")

    # The editor and the options program start from their shortcuts, and close when an
    # installer asks them as the system's Restart Manager does, with the question of a
    # sign-out that only closes the program.
    shortcuts = machine.shortcuts()
    for link, window in (("Quorel Editor.lnk", EDITOR_CLASS), ("Quorel Options.lnk", OPTIONS_CLASS)):
        machine.desktop.launch(shortcuts[link])
        wait_until(lambda: probe.shown(window), 30, f"{link} started nothing")
        probe("post", window, hex(0x0011), 0, 1)  # WM_QUERYENDSESSION, ENDSESSION_CLOSEAPP
        probe("post", window, hex(0x0016), 1, 1)  # WM_ENDSESSION
        wait_until(lambda: not probe.exists(window), 20, f"{window} did not close")

    # Neither an older setup program nor the MSI installs over it.
    assert machine.exit_code(f'"{windows_path(releases["old setup"])}" /S', "QuorelSetup") == 4
    msi = windows_path(releases["msi"])
    assert machine.exit_code(f'msiexec /i "{msi}" /qn', "msiexec") == 1603
    assert_installed(machine, VERSION, autostart=False)
    assert machine.registry_value(UNINSTALL_KEY, "DisplayVersion") == VERSION

    # The quiet uninstall string, run as a deployment tool runs it, closes the keyboard and
    # returns when everything is removed, with its exit code.
    uninstall = machine.registry_value(UNINSTALL_KEY, "QuietUninstallString")
    assert uninstall == f'"{INSTALL_DIR}\\Uninstall.exe" /S _?={INSTALL_DIR}', uninstall
    code = machine.exit_code(uninstall, "Uninstall")
    assert not probe.exists(KEYBOARD_CLASS)
    if code == 3010:
        # Wine cannot move the file of a running program, as Windows can: the uninstaller's
        # own file, held by the one that waits, goes at the next restart, and it says so.
        pending = machine.registry_value(PENDING_KEY, "PendingFileRenameOperations") or ""
        assert "Uninstall.exe" in pending, f"nothing waits for the restart: {pending!r}"
        (machine.install_dir / "Uninstall.exe").unlink()
    else:
        assert code == 0, f"the uninstaller's exit code is {code}"
    # The folder keeps what the administrator put there, and only that.
    assert machine.program_files() == [SITE_NOTES], machine.program_files()
    (machine.install_dir / SITE_NOTES).unlink()
    machine.install_dir.rmdir()
    assert_removed(machine, slides)
    assert machine.desktop.registry.option("Minimum highlight time") == 7, "an option was removed"


@pytest.mark.timeout(900)
def test_the_msi_installs_upgrades_and_uninstalls_for_an_administrator(machine, releases, key_map):
    machine = Machine(machine)
    # Every user's programs go under Program Files.
    old_msi = windows_path(releases["old msi"])
    assert machine.exit_code(f'msiexec /i "{old_msi}" /qn INSTALLDIR=C:\\Quorel\\', "msiexec") == 1603
    assert machine.uninstall_entry() is None
    # Without the start at sign-in, as an administrator may choose.
    machine.run_to_end("msiexec", "/i", releases["old msi"], "/qn", "ADDLOCAL=Quorel")
    assert_installed(machine, OLD_VERSION, autostart=False)
    slides, notepad = first_start_and_users_changes(machine, key_map)
    machine.desktop.probe("post", KEYBOARD_CLASS, hex(0x0010), 0)  # WM_CLOSE
    wait_until(lambda: not machine.desktop.probe.exists(KEYBOARD_CLASS), 20, "the keyboard stays")

    machine.run_to_end("msiexec", "/i", releases["msi"], "/qn")
    assert_installed(machine, VERSION)
    # The setup program does not install over the MSI.
    assert machine.exit_code(f'"{windows_path(releases["setup"])}" /S', "QuorelSetup") == 3
    assert machine.program_files() and not machine.linux_path(INSTALL_DIR + r"\Uninstall.exe").exists()
    assert USERS_SLIDE in slides.read_bytes(), "the upgrade changed the user's slide file"
    keyboard = start_installed_keyboard(machine, key_map, notepad)
    keyboard.slide("z", "north")
    wait_until(lambda: notepad.text() == "hikept by the upgrade", 10,
               lambda _: f"notepad shows {notepad.text()!r}")
    keyboard.close()

    machine.run_to_end("msiexec", "/x", releases["msi"], "/qn")
    assert_removed(machine, slides)
    assert machine.desktop.registry.option("Minimum highlight time") == 7, "an option was removed"


@pytest.mark.timeout(600)
def test_only_for_me_installs_and_removes_quorel_without_touching_the_administrators(
        machine, releases, key_map):
    machine = Machine(machine)
    user_root = r"HKCU\Software\Microsoft\Windows\CurrentVersion"
    programs = machine.drive / "users" / getpass.getuser() / "AppData" / "Local" / "Programs" / "Quorel"
    machine.run_to_end(releases["setup"], "/S", "/CURRENTUSER")
    assert (programs / "QuorelKeyboard.exe").is_file() and (programs / "Uninstall.exe").is_file()
    assert machine.registry_value(user_root + r"\Uninstall\Quorel", "DisplayVersion") == VERSION
    assert "QuorelKeyboard.exe" in (machine.registry_value(user_root + r"\Run", "Quorel") or "")
    links = [link for link in machine.drive.rglob("*.lnk") if link.name in SHORTCUTS]
    assert len(links) == len(SHORTCUTS) and all(getpass.getuser() in str(link) for link in links), \
        f"the shortcuts are not the user's own: {links}"
    assert all(target and "\\AppData\\Local\\Programs\\Quorel\\" in target
               for target in machine.shortcuts().values()), machine.shortcuts()
    # Nothing of the administrator's: no program folder, entry or sign-in for every user.
    assert not machine.install_dir.exists() and machine.uninstall_entry() is None
    assert machine.registry_value(RUN_KEY, "Quorel") is None
    slides, notepad = first_start_and_users_changes(machine, key_map)

    # An install for every user is refused while the user has their own.
    assert machine.exit_code(f'"{windows_path(releases["setup"])}" /S', "QuorelSetup") == 8
    assert not machine.install_dir.exists()

    uninstall = machine.registry_value(user_root + r"\Uninstall\Quorel", "QuietUninstallString")
    code = machine.exit_code(uninstall, "Uninstall")
    assert code in (0, 3010), f"the uninstaller's exit code is {code}"
    assert not machine.desktop.probe.exists(KEYBOARD_CLASS)
    left = [p.name for p in programs.rglob("*") if p.is_file()] if programs.exists() else []
    assert left in ([], ["Uninstall.exe"]), f"left behind: {left}"
    assert machine.shortcuts() == {}
    assert machine.registry_value(user_root + r"\Run", "Quorel") is None
    assert machine.registry_value(user_root + r"\Uninstall\Quorel", "DisplayName") is None
    assert USERS_SLIDE in slides.read_bytes(), "the user's slide file was touched"
    shutil.rmtree(programs, ignore_errors=True)


# The pages of the setup program, each kept as a screenshot for a person to look at, with
# the text that tells it and the button a user goes on with.
PAGES = (("setup_1_welcome", "Welcome to Quorel", "Next >"),
         ("setup_2_license", "License Agreement", "I Agree"),
         ("setup_3_users", "Choose Users", "Next >"),
         ("setup_4_components", "Choose Components", "Next >"),
         ("setup_5_folder", "Choose Install Location", "Install"),
         ("setup_6_installed", "Installation Complete", "Next >"),
         ("setup_7_finished", "Completing Quorel", "Finish"))


@pytest.mark.timeout(600)
def test_the_setup_programs_pages_install_quorel_for_a_person(machine, releases, out):
    machine = Machine(machine)
    probe = machine.desktop.probe
    # The setup window is the desktop's only dialog; its title changes from page to page.
    title = "*"
    machine.desktop.launch(releases["setup"])
    for name, text, button in PAGES:
        def shown():
            answer = probe("dialog", title)
            return text in answer and button in probe("buttons", title).replace("&", "")
        wait_until(shown, 60, lambda _: f"no page with {text!r}: {probe('dialog', title)}")
        machine.desktop.screenshot(out / "shots" / f"{name}.png")
        probe("press", title, button)
    wait_until(lambda: not machine.prefix.processes("QuorelSetup"), 60, "the setup program stays")
    assert_installed(machine, VERSION)
    # Finish, as it stood checked, started the keyboard; the uninstaller closes it.
    wait_until(lambda: probe.shown(KEYBOARD_CLASS), 30, "Finish started no keyboard")
    machine.run_to_end(f"{INSTALL_DIR}\\Uninstall.exe", "/S")
    wait_until(lambda: not machine.install_dir.exists() and not machine.prefix.processes("Un_")
               and not probe.exists(KEYBOARD_CLASS), 120, "the uninstaller did not finish")
    assert machine.program_files() == []
