"""The keyboard, the editor and the options program at the display scales tablets run at:
the keyboard as large on the glass and its art drawn for the scale, taps and slides where
the keys are shown, a glossary expansion and the preview list; the editor and the options
program set at the scale with nothing cut off."""
from pathlib import Path

import pytest

from harness.editor import (ADD, CLOSE, DELETE, EDIT, EDITOR_CLASS, MOVE_DOWN, MOVE_UP, NEW,
                            OPEN, PAGES, SAVE_AS, UNDO, Editor)
from harness.process import run, wait_until
from harness.quorel import WIDTHS
from test_keyboard import choose
from test_options import APPLY, CANCEL, OK, OPTIONS_CLASS, OPTIONS_TITLE, SIDE_BAR, SIZE

SCALES = [pytest.param(dpi, marks=pytest.mark.dpi(dpi), id=f"{dpi}dpi") for dpi in (96, 144, 192)]


def scaled(length, dpi):
    return length * dpi // 96


@pytest.fixture
def two_north_slides(desktop, registry):
    """A slide file of the user's in which q slides north to two texts: a list to show, upwards
    where even a small screen at 200 % has room for it."""
    (desktop.prefix.path / "drive_c" / "scales.txt").write_bytes(
        b"\r\n[NORTH]\r\n\r\nq\t\tone\r\nq\t\ttwo\r\n")
    registry.set_setting("Custom slides file", "C:\\scales.txt")
    registry.set_option("Use slides for", 0)


@pytest.mark.parametrize("dpi", SCALES)
def test_the_keyboard_is_as_large_on_the_glass_and_its_keys_type_at_every_scale(
        dpi, two_north_slides, keyboard, notepad, probe, shot):
    left, top, right, bottom = keyboard.rect()
    # The medium keyboard's client area and a border of a pixel or two.
    assert abs((right - left) - scaled(WIDTHS[2], dpi)) <= 4, (left, right)
    shot(f"keyboard_at_{dpi}_dpi")
    # Every letter's centre, where the scaled key map puts it, types that letter.
    keyboard.type("thequickbrownfxjmpsvlazydg")
    notepad.expect_text("thequickbrownfxjmpsvlazydg")
    # A slide, its preview list while the pen is down, and a glossary expansion.
    keyboard.tap("<space>")
    with keyboard.holding_slide("q", "north"):
        wait_until(lambda: probe.shown("ListBox"), 10, "no preview list while sliding")
        assert probe.lines("list-rows", "ListBox", "*", "-") == ["two", "one"]
        shot(f"preview_list_at_{dpi}_dpi")
    notepad.expect_text("thequickbrownfxjmpsvlazydg one")
    keyboard.tap("<space>")
    keyboard.type("btw")
    wait_until(lambda: probe.shown("ListBox"), 10, "no suggestions for btw")
    keyboard.tap("<expand>")
    notepad.expect_text("thequickbrownfxjmpsvlazydg one by the way ")


def test_a_change_of_scale_lays_the_keyboard_out_anew_and_typing_goes_on(keyboard, notepad,
                                                                         probe, shot):
    # As the system tells a window moved to a monitor at 200 %, which Wine's one monitor
    # never does by itself.
    keyboard.post(0x02E0, 192 | 192 << 16)  # WM_DPICHANGED
    keyboard.dpi = 192
    wait_until(lambda: abs(keyboard.width() - scaled(WIDTHS[2], 192)) <= 4, 10,
               lambda _: f"the keyboard is {keyboard.width()} wide")
    keyboard.find_origin()
    shot("keyboard_after_a_change_of_scale")
    # It stays on the screen, and the application keeps the focus.
    left, top, right, bottom = keyboard.rect()
    assert left >= 0 and top >= 0 and right <= 1024 and bottom <= 768, keyboard.rect()
    assert notepad.in_front(), probe("foreground")
    keyboard.type("scale")
    notepad.expect_text("scale")


def inside(inner, outer):
    return (inner[0] >= outer[0] and inner[1] >= outer[1] and inner[2] <= outer[2]
            and inner[3] <= outer[3])


@pytest.mark.parametrize("dpi", SCALES)
def test_the_editor_and_the_options_program_are_set_at_the_scale_with_nothing_cut_off(
        dpi, keyboard, probe, desktop, request, shot):
    editor = Editor(desktop, probe, request.config.getoption("--package"))
    editor.start()
    window = probe.rect(EDITOR_CLASS)
    assert inside(window, (0, 0, *desktop.size)), f"the editor lies at {window}"
    # The tab pictures drawn for the scale, and every button whole in the window.
    tab = [int(n) for n in probe("tab-rect", EDITOR_CLASS, "Quorel Editor", PAGES, 0).split()]
    assert tab[3] - tab[1] >= scaled(83, dpi), f"the first tab is {tab}"
    for button in (NEW, OPEN, SAVE_AS, CLOSE, ADD, EDIT, DELETE, UNDO, MOVE_UP, MOVE_DOWN):
        assert inside(editor.rect_of(button), window), f"button {button} is cut off"
    shot(f"editor_at_{dpi}_dpi")
    editor.close()

    choose(keyboard, probe, "Options...")
    wait_until(lambda: probe.shown(OPTIONS_CLASS), 30, "Options... started no options program")
    window = probe.rect(OPTIONS_CLASS)
    assert inside(window, (0, 0, *desktop.size)), f"the options program lies at {window}"
    for control in (SIZE, SIDE_BAR, APPLY, OK, CANCEL, 101):  # 101: Restore defaults
        rect = tuple(int(n) for n in probe("control-rect", OPTIONS_CLASS, OPTIONS_TITLE,
                                           control).split())
        assert inside(rect, window), f"control {control} is cut off"
    shot(f"options_at_{dpi}_dpi")


def columns_unlike(reference, shot_path, folder):
    """Columns of the screenshot that differ from the reference anywhere, beyond the small
    difference of the art's 256-colour palettes."""
    diff = folder / "difference.png"
    run(["compare", "-fuzz", "6%", "-highlight-color", "white", "-lowlight-color", "black",
         str(reference), str(shot_path), str(diff)], timeout=60, what="comparing with the art")
    width = int(run(["identify", "-format", "%w", str(diff)], timeout=30, check=True,
                    what="the difference's width").stdout)
    profile = run(["convert", str(diff), "-colorspace", "gray", "-scale", f"{width}x1!",
                   "-depth", "16", "txt:-"], timeout=30, check=True,
                  what="the difference by column").stdout.decode().splitlines()[1:]
    return [line.split(":")[0].split(",")[0] for line in profile if not line.rstrip().endswith("black")
            and "(0)" not in line and "gray(0" not in line]


# At the scales between the art's whole ones, where a panel's place rounds otherwise than its
# picture: the keyboard's client area is the whole keyboard as the art draws it, with no
# column between panels unpainted or shifted.
@pytest.mark.parametrize("dpi", [pytest.param(dpi, marks=pytest.mark.dpi(dpi), id=f"{dpi}dpi")
                                 for dpi in (120, 144, 168)])
def test_no_column_between_panels_is_unpainted(dpi, keyboard, desktop, probe, request, test_folder,
                                               shot):
    reference = test_folder / "whole.png"
    art_tool = Path(request.config.getoption("--key-map")).parent / "tools" / "panel_art" / "quorel_panel_art"
    run([str(art_tool), "--keyboard", "2", str(keyboard.sidebar), str(dpi), str(reference)],
        timeout=60, check=True, what="drawing the whole keyboard")
    width, height = (int(n) for n in run(["identify", "-format", "%w %h", str(reference)],
                                          timeout=30, check=True, what="the reference's size").stdout.split())
    left, top = keyboard.client_origin
    screen = test_folder / "screen.png"
    desktop.screenshot(screen)
    client = test_folder / "client.png"
    run(["convert", str(screen), "-crop", f"{width}x{height}+{left}+{top}", "+repage", str(client)],
        timeout=30, check=True, what="cropping the keyboard")
    shot(f"keyboard_seams_at_{dpi}_dpi")
    unlike = columns_unlike(reference, client, test_folder)
    assert unlike == [], f"{len(unlike)} columns of the keyboard differ from its art: {unlike[:20]}"


# The font dialog at 144 dpi: the preview font shown and kept in points, and OK without a
# change leaves it as it was.
@pytest.mark.dpi(144)
@pytest.mark.options(**{"Slides font size": 11, "Slides font bold": 1})
def test_the_font_dialog_keeps_the_points_at_144_dpi(keyboard, notepad, probe, registry, shot):
    registry.probe("reg-sz", registry.OPTIONS, "Slides font name", "DejaVu Sans")
    keyboard.close()  # started again with the font set
    keyboard.start()
    notepad.bring_to_front()
    choose(keyboard, probe, "Preview font...")
    wait_until(lambda: probe.exists("#32770", "Font"), 15, "no font dialog")
    shot("font_dialog_at_144_dpi")
    probe("press", "Font", 1)  # OK
    wait_until(lambda: not probe.exists("#32770"), 10, "the font dialog stays")
    assert registry.option("Slides font size") == 11
    assert registry.option("Slides font bold") == 1
    assert probe("reg-get", registry.OPTIONS, "Slides font name") == "sz DejaVu Sans"
