"""The editor: slide files and glossaries changed through its windows with the pen and the
system keyboard, saved at once, and picked up by the running keyboard."""
from pathlib import Path

import pytest

from harness.editor import (ADD, CLOSE, DELETE, DIALOG, DIRECTION_COMBO, EDIT, EDITOR_CLASS,
                            GLOSSARY, LETTER, MACRO, MEMO, MOVE_DOWN, MOVE_UP, OK, SHORT_FORM,
                            SLIDES, SPECIAL_KEY, Editor)
from harness.process import wait_for_value, wait_until

GLOSSARY_TEXT = b"[Words]\r\n\r\n[Phrases]\r\n\r\nbtw\t\tby the way\r\n"


@pytest.fixture
def glossary_file(desktop, registry):
    """A glossary of the user's own, named in the settings before any program starts."""
    path = desktop.prefix.path / "drive_c" / "user.glo"
    path.write_bytes(GLOSSARY_TEXT)
    registry.set_setting("Glossary file", "C:\\user.glo")
    return path


@pytest.fixture
def editor(desktop, probe, request):
    program = Editor(desktop, probe, request.config.getoption("--package"))
    yield program


def slide_file(desktop):
    return desktop.prefix.path / "drive_c" / "user_slides.txt"


@pytest.mark.user_slides(q="queue")
def test_a_slide_and_an_expansion_added_in_the_editor_reach_the_running_keyboard(
        glossary_file, keyboard, notepad, editor, desktop, probe, shot):
    editor.start()
    shot("editor_direction_tab")
    editor.tab("letter")
    editor.type_into(LETTER, "z")
    wait_until(lambda: editor.rows(SLIDES) == [], 10, "the letter z lists slides")
    editor.click(ADD)
    editor.wait_dialog("Add Letter Slide")
    # The key is fixed and the memo has the focus; North is the remembered direction.
    desktop.xdotool("type", "--delay", 30, "zed")
    shot("editor_add_letter_slide")
    editor.click(OK, (DIALOG, "Add Letter Slide"))
    wait_for_value(lambda: editor.rows(SLIDES), ["N\tzed"], 10, "the letter z's rows")
    saved = slide_file(desktop).read_bytes()
    assert b"z\t\tzed\r\n" in saved.split(b"[NORTH]")[1], saved

    editor.tab("glossary")
    shot("editor_glossary_tab")
    editor.click(ADD)
    editor.wait_dialog("Add Expansion")
    desktop.xdotool("type", "--delay", 30, "qq")  # the short form has the focus
    editor.type_into(MEMO, "quick question", (DIALOG, "Add Expansion"))
    editor.click(OK, (DIALOG, "Add Expansion"))
    wait_until(lambda: "qq\tquick question" in editor.rows(GLOSSARY), 10,
               lambda _: f"the glossary rows are {editor.rows(GLOSSARY)}")
    assert b"qq\t\tquick question\r\n" in glossary_file.read_bytes()

    # Without a restart the keyboard types the new slide and offers the new expansion.
    editor.close()
    notepad.bring_to_front()
    keyboard.slide("z", "north")
    notepad.expect_text("zed")
    keyboard.tap("<space>")
    keyboard.type("qq")
    wait_until(lambda: probe.shown("ListBox"), 5, "no suggestions for qq")
    rows = probe.lines("list-rows", "ListBox", "*", "-")
    assert any(row.startswith("quick question") for row in rows), f"the suggestions are {rows}"
