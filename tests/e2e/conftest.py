"""Fixtures of the end-to-end tests: the virtual display and the Wine prefix for the run;
for each test, a Wine desktop with the probe, the options reset, notepad placed and in
front, and the keyboard started beside it; all of them stopped after the test.

Markers set the scene before the keyboard starts:
  @pytest.mark.options(**{"Use slides for": 2})   numeric options
  @pytest.mark.user_slides("<duo>")               a slide file of the user's in use, whose
                                                  north slide from q types that text
  @pytest.mark.user_slides(w="<hide>")            ... and from w, and so on
  @pytest.mark.measure                            a measurement, run only with --measure
  @pytest.mark.timings                            the keyboard times itself (keyboard.timings)
  @pytest.mark.dpi(192)                           the display at that scale (LogPixels) for
                                                  every program the test starts
"""

import re
import shutil
from pathlib import Path

import pytest

from harness.process import run, wait_until
from harness.quorel import Keyboard, KeyMap, Notepad, Registry
from harness.wine import Desktop, Display, Prefix, Probe, windows_path

ROOT = Path(__file__).resolve().parents[2]


def pytest_addoption(parser):
    group = parser.getgroup("quorel")
    group.addoption("--package", default=str(ROOT / "dist" / "Quorel"),
                    help="the laid-out package")
    group.addoption("--probe", default=str(ROOT / "build" / "windows" / "bin" / "quorel_probe.exe"),
                    help="the probe program")
    group.addoption("--floor", default=str(ROOT / "build" / "windows" / "bin" / "quorel_floor.exe"),
                    help="the bare window the pen timings are measured against")
    group.addoption("--key-map", default=str(ROOT / "build" / "host" / "quorel_key_map"),
                    help="the host key map tool")
    group.addoption("--out", default=str(ROOT / "build" / "e2e"),
                    help="screenshots, logs and the prefix go here")
    group.addoption("--release", default=str(ROOT / "dist"),
                    help="where make release left the setup program and the MSI")
    group.addoption("--measure", action="store_true",
                    help="run the measurements (make measure) instead of the tests")
    group.addoption("--update-manual", action="store_true",
                    help="take the manual's pictures anew into data/manual/images")


def pytest_configure(config):
    for line in ("options(**values): numeric options set before the keyboard starts",
                 "user_slides(text, **key_texts): a user slide file whose north slides from q (and the keys named) type those texts",
                 "measure: a measurement, not a test; run with --measure",
                 "timings: the keyboard times its answers to the pen into keyboard.timings",
                 "dpi(value): the display scale the test's programs start with"):
        config.addinivalue_line("markers", line)


def pytest_collection_modifyitems(config, items):
    measuring = config.getoption("--measure")
    kept, dropped = [], []
    for item in items:
        (kept if (item.get_closest_marker("measure") is not None) == measuring else dropped).append(item)
    if dropped:
        config.hook.pytest_deselected(items=dropped)
        items[:] = kept


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    setattr(item, "report_" + report.when, report)


def pytest_terminal_summary(terminalreporter):
    if Probe.restarts:
        terminalreporter.section("probe restarts")
        for line in Probe.restarts:
            terminalreporter.write_line(line)


@pytest.fixture(scope="session")
def out(request):
    folder = Path(request.config.getoption("--out"))
    # What a run leaves is about that run only.
    for old in ("failed", "tests"):
        shutil.rmtree(folder / old, ignore_errors=True)
    folder.mkdir(parents=True, exist_ok=True)
    return folder


@pytest.fixture(scope="session")
def display():
    server = Display()
    yield server
    server.stop()


@pytest.fixture(scope="session")
def prefix(display, out):
    wine_prefix = Prefix(out / "prefix", display)
    yield wine_prefix
    wine_prefix.kill()


@pytest.fixture(scope="session")
def key_map(request):
    return KeyMap(request.config.getoption("--key-map"))


@pytest.fixture(scope="session")
def french_input(out):
    """The environment of a Wine process whose input language is French. Wine 8 answers the
    keyboard layout of every thread, another program's too, with the layout of the asking
    process's locale, so the keyboard started in this environment sees a French layout in
    the window it types into. The locale is made here (Debian: locales), since a test
    machine generates none but C."""
    folder = out / "locales"
    made = folder / "fr_FR.UTF-8"
    if not made.is_dir():
        folder.mkdir(parents=True, exist_ok=True)
        result = run(["localedef", "-i", "fr_FR", "-f", "UTF-8", str(made)], timeout=120,
                     what="making a French locale")
        assert made.is_dir(), f"localedef made no French locale: {result.stderr.decode(errors='replace')}"
    return {"LOCPATH": str(folder), "LC_ALL": "fr_FR.UTF-8"}


@pytest.fixture
def test_folder(out, request):
    # A test's parameters may hold characters that Windows paths cannot.
    folder = out / "tests" / re.sub(r"[^A-Za-z0-9_.-]", "_", request.node.name)
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    return folder


@pytest.fixture
def shot(desktop, out):
    """Keeps a screenshot that a person should look at under build/e2e/shots/."""
    def take(name):
        desktop.screenshot(out / "shots" / f"{name}.png")
    return take


def user_slide_file(marker):
    """The slide file of a user_slides marker: its one text slides north from q; its keyword
    texts slide north from the key they name."""
    slides = dict(marker.kwargs)
    if marker.args:
        slides["q"] = marker.args[0]
    lines = b"".join(key.encode("latin-1") + b"\t\t" + text.encode("latin-1") + b"\r\n"
                     for key, text in slides.items())
    return b"\r\n[NORTH]\r\n\r\n" + lines


def _failed(node):
    return any(getattr(node, "report_" + when, None) is not None
               and getattr(node, "report_" + when).failed for when in ("setup", "call"))


@pytest.fixture
def desktop(prefix, display, out, test_folder, request):
    """The Wine desktop with the probe on it, and the options reset to the baseline."""
    marker = request.node.get_closest_marker("dpi")
    wine_desktop = Desktop(prefix, display, test_folder, marker.args[0] if marker else 96)
    try:
        wine_desktop.probe = Probe(wine_desktop, request.config.getoption("--probe"), test_folder)
        registry = Registry(wine_desktop.probe)
        registry.reset(wine_desktop.dpi)
        # Words one scenario taught the keyboard, or took away, are not the next one's.
        for learned in (prefix.path / "drive_c" / "users").glob("*/Documents/Quorel/Learned words*"):
            learned.unlink()
        marker = request.node.get_closest_marker("options")
        for name, value in (marker.kwargs if marker else {}).items():
            registry.set_option(name, value)
        marker = request.node.get_closest_marker("user_slides")
        if marker is not None:
            slides = prefix.path / "drive_c" / "user_slides.txt"
            slides.write_bytes(user_slide_file(marker))
            registry.set_setting("Custom slides file", "C:\\user_slides.txt")
            registry.set_option("Use slides for", 0)
        yield wine_desktop
    finally:
        if _failed(request.node):
            failed = out / "failed"
            wine_desktop.screenshot(failed / f"{request.node.name}.png")
            log = test_folder / "keyboard.log"
            if log.exists():
                failed.mkdir(parents=True, exist_ok=True)
                shutil.copy(log, failed / f"{request.node.name}.keyboard.log")
        wine_desktop.stop()


@pytest.fixture
def probe(desktop):
    return desktop.probe


@pytest.fixture
def registry(probe):
    return Registry(probe)


@pytest.fixture
def notepad(desktop):
    application = Notepad(desktop, desktop.probe)
    application.start()
    return application


@pytest.fixture
def keyboard(desktop, notepad, key_map, request, registry):
    """The keyboard started beside notepad, with notepad in front."""
    program = Keyboard(desktop, desktop.probe, key_map, request.config.getoption("--package"),
                       desktop.folder)
    program.size = registry.option("Keyboard size") or 2
    program.dpi = desktop.dpi
    if request.node.get_closest_marker("timings") is not None:
        program.timings = desktop.folder / "timings.txt"
        program.env["QUOREL_TIMINGS"] = windows_path(program.timings)
    notepad.bring_to_front()
    program.start()
    # The keyboard comes up without taking the focus from the application.
    wait_until(notepad.in_front, 5,
               lambda _: f"after the keyboard started {desktop.probe('foreground')} has the focus")
    return program
