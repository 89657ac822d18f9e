"""The manual's pictures, taken from the programs as a user sees them and compared with the
ones the manual ships (data/manual/images). A picture that no longer shows what the program
shows fails here; `make manual-pictures` takes them all anew for a commit."""

import shutil
import subprocess
from pathlib import Path

import pytest

from harness.editor import EDITOR_CLASS, GLOSSARY, Editor
from harness.process import run, wait_until
from harness.quorel import KEYBOARD_CLASS

ROOT = Path(__file__).resolve().parents[2]
SHIPPED = ROOT / "data" / "manual" / "images"
LISTED = ROOT / "tests" / "manual" / "pictures.txt"
# Pixels that may differ: a caret that blinks, a focus rectangle drawn a moment later; a
# tab more or a word changed is more than that.
TOLERANCE = 0.0005
FEWEST_ALLOWED = 40


def listed():
    return [line.split()[0] for line in LISTED.read_text().splitlines()
            if line.strip() and not line.startswith("#")]


def picture(request, desktop, out, name, *rects):
    """The part of the desktop the rectangles cover, against the manual's picture."""
    taken = out / "manual" / name
    whole = out / "manual" / f"{name}.desktop.png"
    desktop.screenshot(whole)
    left, top = min(r[0] for r in rects), min(r[1] for r in rects)
    right, bottom = max(r[2] for r in rects), max(r[3] for r in rects)
    run(["convert", str(whole), "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage",
         "-strip", str(taken)], timeout=30, check=True, what="cropping a picture")
    shipped = SHIPPED / name
    if request.config.getoption("--update-manual"):
        shutil.copy(taken, shipped)
        return
    assert shipped.exists(), f"{name} is not in the manual's pictures: make manual-pictures"
    sizes = [run(["identify", "-format", "%w %h", str(path)], timeout=30, check=True,
                 what="the size of a picture").stdout.decode() for path in (taken, shipped)]
    assert sizes[0] == sizes[1], (f"{name} is {sizes[1]} in the manual and {sizes[0]} on the "
                                  f"screen; look at {taken}, then make manual-pictures and commit")
    # compare prints how many pixels differ beyond a small fuzz, on stderr; two pictures of
    # another size cannot be compared and say so.
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "8%", str(taken), str(shipped),
                             "null:"], capture_output=True, timeout=60)
    counted = result.stderr.decode(errors="replace").split()
    try:
        differing = float(counted[0])
    except (IndexError, ValueError):
        differing = None
    width, height = right - left, bottom - top
    said = result.stderr.decode(errors="replace").strip()
    allowed = max(FEWEST_ALLOWED, TOLERANCE * width * height)
    assert differing is not None and differing <= allowed, (
        f"{name} no longer shows what the program shows ({said}); look at {taken}, then "
        f"make manual-pictures and commit")


def test_the_pictures_taken_are_the_ones_listed():
    taken = sorted(name[len("test_picture_"):] + ".png" for name in globals()
                   if name.startswith("test_picture_"))
    assert taken == sorted(listed())


def test_picture_keyboard_medium(request, keyboard, desktop, out):
    picture(request, desktop, out, "keyboard_medium.png", keyboard.rect())


def test_picture_keyboard_numbers(request, keyboard, desktop, probe, out):
    keyboard.tap("<123>")
    assert probe("sync", KEYBOARD_CLASS) == "synced"
    picture(request, desktop, out, "keyboard_numbers.png", keyboard.rect())


def test_picture_keyboard_acute(request, keyboard, desktop, probe, out):
    keyboard.tap("<acute>")
    assert probe("sync", KEYBOARD_CLASS) == "synced"
    picture(request, desktop, out, "keyboard_acute.png", keyboard.rect())


# The minimum slide file: p slides south-east to a full stop and its neighbours.
@pytest.mark.options(**{"Use slides for": 2})
def test_picture_slide_preview(request, keyboard, desktop, probe, out):
    with keyboard.holding_slide("p", "south-east"):
        wait_until(lambda: probe.shown("ListBox"), 10, "no preview list")
        picture(request, desktop, out, "slide_preview.png", keyboard.rect(), probe.rect("ListBox"))


def test_picture_glossary_suggestions(request, keyboard, notepad, desktop, probe, out):
    keyboard.type(" app")
    notepad.expect_text(" app")
    wait_until(lambda: probe.shown("ListBox") and len(probe.lines("list-rows", "ListBox", "*", "-")) >= 4,
               10, "no glossary expansions and words for app")
    picture(request, desktop, out, "glossary_suggestions.png", keyboard.rect(),
            probe.rect("ListBox"))


def test_picture_editor(request, desktop, probe, registry, out):
    # The shipped glossary, as a user's first glossary is.
    package = Path(request.config.getoption("--package"))
    shutil.copy(package / "Quorel glossaries" / "business.glo",
                desktop.prefix.path / "drive_c" / "business.glo")
    registry.set_setting("Glossary file", "C:\\business.glo")
    editor = Editor(desktop, probe, str(package))
    editor.start()
    editor.tab("glossary")
    wait_until(lambda: editor.row_count(GLOSSARY) > 10, 10, "the glossary is not listed")
    picture(request, desktop, out, "editor.png", probe.rect(EDITOR_CLASS))


def test_picture_options(request, desktop, probe, out):
    from test_options import OPTIONS_CLASS

    desktop.launch(Path(request.config.getoption("--package")) / "QuorelOptions.exe")
    wait_until(lambda: probe.shown(OPTIONS_CLASS), 30, "the options program did not come up")
    picture(request, desktop, out, "options.png", probe.rect(OPTIONS_CLASS))
