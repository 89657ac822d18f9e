"""The editor: slide files and glossaries changed through its windows with the pen and the
system keyboard, saved at once, and picked up by the running keyboard."""
from pathlib import Path

import pytest

from harness.editor import (ADD, CLOSE, DELETE, DIALOG, DIRECTION_COMBO, EDIT, EDITOR_CLASS,
                            EDITOR_TITLE, FIND, KEYBOARD_NOTICE, SPECIAL_KEY_COMBO, USE_FILE,
                            GLOSSARY, LETTER, LETTER_EDIT, MACRO, MEMO, MOVE_DOWN, MOVE_UP, NEW,
                            OK, OPEN, READ_AGAIN, READ_NOTICE, SAVE_AS, SLIDES, SPECIAL_KEY, UNDO,
                            Editor)
from harness.process import run, wait_for_value, wait_until
from harness.quorel import KEYBOARD_CLASS, OPTIONS_CHANGED
from harness.wine import windows_path

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


QUEUE_SLIDES = (b"\r\n[NORTH]\r\n\r\nq\t\tone\r\nq\t\ttwo\r\nq\t\tthree\r\n"
                b"\r\n[NORTHEAST]\r\n\r\nq\t\tfour\r\n")


@pytest.fixture
def queue_slides(desktop, registry):
    """A slide file of the user's in which q slides north to three alternatives."""
    path = slide_file(desktop)
    path.write_bytes(QUEUE_SLIDES)
    registry.set_setting("Custom slides file", "C:\\user_slides.txt")
    registry.set_option("Use slides for", 0)
    return path


def test_rows_move_within_their_caption_survive_a_restart_and_delete_together(
        queue_slides, editor, desktop):
    editor.start()
    editor.tab("letter")
    editor.type_into(LETTER, "q")
    rows = ["N\tone", "N\ttwo", "N\tthree", "NE\tfour"]
    wait_for_value(lambda: editor.rows(SLIDES), rows, 10, "q's rows")

    editor.click(EDIT)
    assert editor.message("Cannot edit") == "No slide definition is selected"
    editor.click_row(SLIDES, 0)
    editor.click(MOVE_UP)
    assert editor.message("Cannot move up") == "Already at top."
    editor.click_row(SLIDES, 2)
    editor.click(MOVE_DOWN)
    assert editor.message("Cannot move down") == "N after NE"
    editor.click_row(SLIDES, 3)
    editor.click(MOVE_DOWN)
    assert editor.message("Cannot move down") == "Already at bottom."
    assert editor.rows(SLIDES) == rows

    editor.click_row(SLIDES, 0)
    editor.click(MOVE_DOWN)
    rows = ["N\ttwo", "N\tone", "N\tthree", "NE\tfour"]
    wait_for_value(lambda: editor.rows(SLIDES), rows, 10, "q's rows after a move down")
    saved = queue_slides.read_bytes()
    assert saved.index(b"q\t\ttwo") < saved.index(b"q\t\tone"), saved

    # The editor opens again as it was left: the letter tab, q, and the new order.
    editor.close()
    editor.start()
    wait_for_value(lambda: editor.rows(SLIDES), rows, 10, "q's rows after a restart")
    assert editor.text_of(LETTER) == "q"

    editor.click_row(SLIDES, 0)
    editor.click_row(SLIDES, 2, add=True)
    editor.click(EDIT)
    assert editor.message("Cannot edit") == "Multiple selection not allowed."
    editor.click(DELETE)
    editor.wait_dialog("Confirm delete")
    assert editor.probe("dialog", "Confirm delete") == (
        "You have selected several slide definitions.\r\nAre you sure you want to delete them all?")
    editor.tap_button("Confirm delete", "Yes")
    wait_for_value(lambda: editor.rows(SLIDES), ["N\tone", "NE\tfour"], 10, "q's rows after delete")
    saved = queue_slides.read_bytes()
    assert b"two" not in saved and b"three" not in saved and b"q\t\tone" in saved, saved

    # Undo brings both back where they stood, in the list and in the file.
    editor.click(UNDO)
    wait_for_value(lambda: editor.rows(SLIDES), rows, 10, "q's rows after undo")
    assert editor.selected(SLIDES) == [0, 2]
    saved = queue_slides.read_bytes()
    assert saved.index(b"q\t\ttwo") < saved.index(b"q\t\tone") < saved.index(b"q\t\tthree"), saved


def test_a_second_start_brings_the_first_editor_forward(queue_slides, editor, desktop, probe):
    editor.start()
    probe("post", EDITOR_CLASS, 0x112, 0xF020)  # minimised, as by its title bar's button
    wait_for_value(lambda: probe("iconic", EDITOR_CLASS), "iconic", 10, "the editor")
    second = editor.launch()
    wait_until(lambda: second.poll() is not None, 30, "the second editor did not end")
    assert editor.count() == 1
    # The first one is back, in front, where the user can work in it.
    wait_for_value(lambda: probe("iconic", EDITOR_CLASS), "normal", 10, "the first editor")
    wait_for_value(lambda: probe("foreground"), EDITOR_CLASS, 10, "the window in front")


def place_above_the_keyboard(probe):
    """The editor's remembered place: above the keyboard, which lies from y 560 down."""
    key = "Software\\Pelmarik Solutions\\Quorel\\Quorel Editor"
    for name, value in (("left", 0), ("top", 0), ("width", 800), ("height", 540)):
        probe("reg-dword", key, f"mru main form {name}", value)


@pytest.mark.user_slides(q="queue")
def test_a_special_key_tapped_on_the_keyboard_chooses_itself_only_in_the_special_key_box(
        keyboard, notepad, editor, probe, desktop):
    place_above_the_keyboard(probe)
    editor.start()
    editor.tab("special key")  # the special key box has the focus
    wait_for_value(lambda: editor.text_of(SPECIAL_KEY), "<acute>", 10, "the special key box")
    keyboard.tap("<shift>")
    wait_for_value(lambda: editor.text_of(SPECIAL_KEY), "<shift>", 10, "the special key box")
    # With the focus elsewhere the keyboard's keys go on to the application in front.
    editor.click_row(SLIDES, 0) if editor.rows(SLIDES) else editor.click(SLIDES)
    keyboard.tap("<123>")
    keyboard.tap("<abc>", panel="digits")
    # Whatever the keyboard posted has reached the editor and been handled.
    assert probe("sync", KEYBOARD_CLASS) == "synced"
    assert probe("sync", EDITOR_CLASS) == "synced"
    assert editor.text_of(SPECIAL_KEY) == "<shift>"


def test_insert_macro_puts_a_special_key_and_a_picked_character_into_the_text(
        glossary_file, editor, probe, desktop, shot):
    from test_key_menu import Picker

    dialog = (DIALOG, "Add Expansion")
    editor.start()
    editor.tab("glossary")
    editor.click(ADD)
    editor.wait_dialog("Add Expansion")
    desktop.xdotool("type", "--delay", 30, "tb")
    editor.click(MACRO, dialog)
    wait_until(lambda: probe.shown("#32768"), 10, "no special key menu")
    probe("menu-keys", "down", "right", "down", "down", "return")  # special character, tab
    wait_for_value(lambda: editor.text_of(MEMO, dialog), "<tab>", 10, "the memo")
    editor.click(MACRO, dialog)
    wait_until(lambda: probe.shown("#32768"), 10, "no special key menu")
    probe("menu-keys", "down", "right", "return")  # special character, unicode
    picker = Picker(None, probe)
    row, column = divmod(65, picker.columns)
    picker.click_cell(row, column)
    wait_for_value(picker.result_text, "A", 10, "the picker's result")
    picker.ok()
    wait_for_value(lambda: editor.text_of(MEMO, dialog), "<tab>A", 10, "the memo")
    shot("editor_insert_macro")
    editor.click(OK, dialog)
    wait_until(lambda: "tb\t<tab>A" in editor.rows(GLOSSARY), 10,
               lambda _: f"the glossary rows are {editor.rows(GLOSSARY)}")
    assert b"tb\t\t<tab>A\r\n" in glossary_file.read_bytes()


def test_without_a_slide_file_the_first_change_asks_where_and_new_refuses_existing_files(
        editor, probe, desktop):
    editor.start()
    editor.tab("letter")
    editor.type_into(LETTER, "z")
    editor.click(ADD)
    editor.wait_dialog("New")  # no slide file yet: where should the change go?
    probe("press", "New", "2")
    wait_until(lambda: not probe.exists(DIALOG, "New"), 10, "the chooser stays")
    assert not probe.exists(DIALOG, "Add Letter Slide"), "the change went on without a file"

    # The chooser refuses a file that exists, and stays open.
    existing = desktop.prefix.path / "drive_c" / "taken.txt"
    existing.write_bytes(b"mine")
    editor.click(ADD)
    editor.wait_dialog("New")
    probe.set_text("New", "1148", "C:\\taken.txt")
    probe("press", "New", "1")
    assert editor.message("Please chose another filename") == "C:\\taken.txt already exists"
    assert probe.shown(DIALOG, "New")
    assert existing.read_bytes() == b"mine"
    probe.set_text("New", "1148", "C:\\fresh.txt")
    probe("press", "New", "1")
    editor.wait_dialog("Add Letter Slide")
    desktop.xdotool("type", "--delay", 30, "zed")
    editor.click(OK, (DIALOG, "Add Letter Slide"))
    fresh = desktop.prefix.path / "drive_c" / "fresh.txt"
    wait_until(lambda: fresh.exists() and b"z\t\tzed" in fresh.read_bytes(), 10,
               "the first slide did not reach the file chosen for it")


def add_an_entry_that_cannot_be_saved(editor, desktop, registry, name):
    """The editor on a glossary in a folder that goes away under it, as a network share may;
    an entry added then cannot be saved, which is told. Returns the folder."""
    folder = desktop.prefix.path / "drive_c" / name
    folder.mkdir()
    (folder / "team.glo").write_bytes(GLOSSARY_TEXT)
    registry.set_setting("Glossary file", f"C:\\{name}\\team.glo")
    editor.start()
    editor.tab("glossary")
    wait_for_value(lambda: editor.rows(GLOSSARY), ["btw\tby the way"], 10, "the glossary rows")
    (folder / "team.glo").unlink()
    folder.rmdir()
    dialog = (DIALOG, "Add Expansion")
    editor.click(ADD)
    editor.wait_dialog("Add Expansion")
    desktop.xdotool("type", "--delay", 30, "asap")
    editor.type_into(MEMO, "as soon as possible", dialog)
    editor.click(OK, dialog)
    assert editor.message("Quorel") == f"Can't open glossary C:\\{name}\\team.glo."
    assert editor.status().startswith("Not saved"), editor.status()
    return folder


def test_a_failed_save_is_told_and_the_next_change_saves_everything(editor, probe, desktop,
                                                                    registry):
    folder = add_an_entry_that_cannot_be_saved(editor, desktop, registry, "shared")

    # The folder is back: the next change writes the one before it too.
    folder.mkdir()
    editor.click_row(GLOSSARY, 1)
    editor.click(DELETE)
    editor.wait_dialog("Confirm delete")
    assert probe("dialog", "Confirm delete") == \
        "Are you sure you want to delete the selected glossary entry?"
    editor.tap_button("Confirm delete", "Yes")
    wait_for_value(editor.status, "C:\\shared\\team.glo", 10, "the status bar")
    saved = (folder / "team.glo").read_bytes()
    assert b"asap\t\tas soon as possible" in saved and b"btw" not in saved, saved


def test_find_short_form_selects_the_first_match_and_the_add_key_starts_the_editor(
        glossary_file, keyboard, notepad, editor, probe, desktop):
    glossary_file.write_bytes(b"[Words]\r\n\r\n[Phrases]\r\n\r\n" + b"".join(
        form + b"\t\t" + form + b" text\r\n" for form in (b"aa", b"ab", b"abc", b"b", b"bc")))
    place_above_the_keyboard(probe)
    # The keyboard's add key starts the editor, as its menu's Edit does.
    keyboard.tap("<add>")
    wait_until(lambda: probe.shown(EDITOR_CLASS), 30, "the add key started no editor")
    editor.tab("glossary")
    editor.type_into(FIND, "ab")
    wait_for_value(lambda: editor.selected(GLOSSARY), [1], 10, "the rows found for ab")
    # Typed letters are taken in lower case, and a new text searches from the first row.
    editor.type_into(FIND, "\b\bB")
    wait_for_value(lambda: editor.text_of(FIND), "b", 10, "the find text")
    wait_for_value(lambda: editor.selected(GLOSSARY), [3], 10, "the rows found for B")
    editor.type_into(FIND, "x")
    wait_for_value(lambda: editor.selected(GLOSSARY), [], 10, "the rows found for bx")


def test_the_dialog_checks_converts_and_moves_an_edited_slide_to_its_direction(
        queue_slides, editor, probe, desktop, registry, shot):
    editor.start()  # on the direction tab, North: q's three slides
    wait_for_value(lambda: editor.rows(SLIDES), ["q\tone", "q\ttwo", "q\tthree"], 10, "North")
    add = (DIALOG, "Add Letter Slide")
    editor.click(ADD)
    editor.wait_dialog("Add Letter Slide")
    editor.click(OK, add)
    assert editor.message("Cannot save") == "No key specified."
    editor.type_into(LETTER_EDIT, "w", add)
    # An escape of NUL would end the text there: it types nothing and is refused.
    editor.type_into(MEMO, "&#0;", add)
    editor.click(OK, add)
    assert editor.message("Cannot save") == "Slide text to produce is empty."
    # A leading space, an entity escape and a line break, as a user types them.
    editor.click(MEMO, add)
    desktop.xdotool("key", "ctrl+a")
    desktop.xdotool("type", "--delay", 30, " &#233;\ntwo")
    editor.click(OK, add)
    wait_until(lambda: "w\t<space>\u00e9\u00b6two" in editor.rows(SLIDES), 10,
               lambda _: f"North lists {editor.rows(SLIDES)}")

    # Edited on the letter tab with another direction, it moves to that direction.
    editor.tab("letter")
    editor.type_into(LETTER, "w")
    wait_for_value(lambda: editor.rows(SLIDES), ["N\t<space>\u00e9\u00b6two"], 10, "w's rows")
    rect = tuple(int(n) for n in probe("row-rect", EDITOR_CLASS, "Quorel Editor", SLIDES, 0).split())
    dx, dy = desktop.origin()
    desktop.xdotool("mousemove", dx + rect[0] + 20, dy + (rect[1] + rect[3]) // 2, "click",
                    "--repeat", 2, "--delay", 80, 1)
    edit = (DIALOG, "Edit Letter Slide")
    editor.wait_dialog("Edit Letter Slide")
    shot("editor_edit_letter_slide")
    assert editor.text_of(MEMO, edit) == " \u00e9\r\ntwo".replace(" ", "<space>", 1)
    desktop.xdotool("type", "!")  # the caret waits at the end of the text
    wait_for_value(lambda: editor.text_of(MEMO, edit), "<space>\u00e9\r\ntwo!", 10, "the memo")
    editor.click(DIRECTION_COMBO, edit)
    desktop.xdotool("key", "Escape", *["Down"] * 5)  # from North to South West
    wait_for_value(lambda: editor.text_of(DIRECTION_COMBO, edit), "South West", 10, "direction")
    editor.click(OK, edit)
    wait_for_value(lambda: editor.rows(SLIDES), ["SW\t<space>\u00e9\u00b6two!"], 10, "w's rows")
    assert b"[SOUTHWEST]" in queue_slides.read_bytes()

    # The next slide added from the letter tab starts with the direction chosen last.
    editor.click(ADD)
    editor.wait_dialog("Add Letter Slide")
    assert editor.text_of(DIRECTION_COMBO, add) == "South West"
    desktop.xdotool("key", "Escape")
    wait_until(lambda: not probe.exists(DIALOG, "Add Letter Slide"), 10, "Escape left the dialog up")
    assert editor.rows(SLIDES) == ["SW\t<space>\u00e9\u00b6two!"]


def test_new_copies_the_template_save_as_copies_the_file_and_open_reads_one(
        queue_slides, editor, probe, desktop, registry):
    editor.start()
    editor.tab("letter")
    editor.click(NEW)
    editor.wait_dialog("New")
    probe.set_text("New", "1148", "C:\\made.txt")
    probe("press", "New", "1")
    made = desktop.prefix.path / "drive_c" / "made.txt"
    wait_until(made.exists, 10, "New made no file")
    template = Path(editor.exe.parent / "Quorel slidefiles" / "CapsOnlySlides.txt").read_bytes()
    assert made.read_bytes() == template
    wait_for_value(lambda: registry.setting("Custom slides file"), "C:\\made.txt", 10, "the slide file")

    editor.click(SAVE_AS)
    editor.wait_dialog("Save As")
    probe.set_text("Save As", "1148", "C:\\copy.txt")
    probe("press", "Save As", "1")
    copy = desktop.prefix.path / "drive_c" / "copy.txt"
    wait_until(copy.exists, 10, "Save As wrote no file")
    wait_for_value(editor.status, "C:\\copy.txt", 10, "the status bar")
    assert copy.read_bytes() == made.read_bytes() == template

    editor.click(OPEN)
    editor.wait_dialog("Open")
    probe.set_text("Open", "1148", "C:\\user_slides.txt")
    probe("press", "Open", "1")
    editor.type_into(LETTER, "q")
    wait_for_value(lambda: len(editor.rows(SLIDES)), 4, 10, "q's rows after Open")
    assert registry.setting("Custom slides file") == "C:\\user_slides.txt"


def test_the_letter_y_with_diaeresis_lists_and_takes_only_its_own_slides(editor, desktop,
                                                                         registry):
    path = slide_file(desktop)
    path.write_bytes(b"\r\n[NORTH]\r\n\r\na\t\tapple\r\n\xff\t\tyumlaut\r\n")
    registry.set_setting("Custom slides file", "C:\\user_slides.txt")
    # Left on the letter tab with the letter U+00FF, which no key of this display types.
    key = "Software\\Pelmarik Solutions\\Quorel\\Quorel Editor"
    editor.probe("reg-dword", key, "mru main tab index", 1)
    editor.probe("reg-dword", key, "mru main letter", 0xFF)
    editor.start()
    wait_for_value(lambda: editor.text_of(LETTER), "\u00ff", 10, "the letter box")
    wait_for_value(lambda: editor.rows(SLIDES), ["N\tyumlaut"], 10, "the rows of \u00ff")
    editor.click(ADD)
    editor.wait_dialog("Add Letter Slide")
    desktop.xdotool("type", "--delay", 30, "second")
    editor.click(OK, (DIALOG, "Add Letter Slide"))
    wait_for_value(lambda: editor.rows(SLIDES), ["N\tyumlaut", "N\tsecond"], 10,
                   "the rows of \u00ff after an add")
    assert b"\xff\t\tsecond\r\n" in path.read_bytes()


def test_a_change_not_on_disk_is_saved_at_close_or_the_user_is_asked(editor, probe, desktop,
                                                                     registry):
    folder = add_an_entry_that_cannot_be_saved(editor, desktop, registry, "closing")

    # Close tries the save again; when it fails the user is asked, and may stay.
    editor.click(CLOSE)
    assert editor.message("Quorel") == "Can't open glossary C:\\closing\\team.glo."
    editor.wait_dialog(EDITOR_TITLE)
    assert "C:\\closing\\team.glo could not be saved" in probe("dialog", EDITOR_TITLE)
    editor.tap_button(EDITOR_TITLE, "Cancel")
    wait_until(lambda: not probe.exists(DIALOG, EDITOR_TITLE), 10, "the question stays up")
    assert editor.count() == 1 and editor.status().startswith("Not saved"), editor.status()

    # The folder is back: Close saves the change without a word and the editor goes.
    folder.mkdir()
    editor.close()
    saved = (folder / "team.glo").read_bytes()
    assert b"asap\t\tas soon as possible" in saved and b"btw\t\tby the way" in saved, saved


def test_the_editor_is_worked_from_the_keyboard_and_undo_takes_a_delete_back(
        glossary_file, editor, probe, desktop):
    # In the library's own form, so that a file written back is byte for byte the same.
    glossary_file.write_bytes(b"[Words]\r\n\r\nb\t\tb text\r\n\r\n\r\n[Phrases]\r\n\r\n" + b"".join(
        form + b"\t\t" + form + b" text\r\n" for form in (b"aa", b"ab", b"abc", b"bc")))
    before = glossary_file.read_bytes()
    key = "Software\\Pelmarik Solutions\\Quorel\\Quorel Editor"
    editor.start()
    editor.tab("glossary")
    wait_for_value(lambda: editor.row_count(GLOSSARY), 5, 10, "the glossary rows")
    editor.click_row(GLOSSARY, 0)
    # A letter typed in the list goes to the first row it begins, as in any list.
    desktop.xdotool("type", "b")
    wait_for_value(lambda: editor.selected(GLOSSARY), [3], 10, "the row found for b")
    desktop.xdotool("key", "Delete")
    editor.wait_dialog("Confirm delete")
    desktop.xdotool("key", "Return")  # Yes
    wait_until(lambda: "b\tb text" not in editor.rows(GLOSSARY), 10, "the row stays")
    assert b"b\t\tb text" not in glossary_file.read_bytes()

    # Ctrl+Z takes the delete back, on disk too, and says so; Ctrl+Y does it again.
    desktop.xdotool("key", "ctrl+z")
    wait_until(lambda: "b\tb text" in editor.rows(GLOSSARY), 10, "the row did not come back")
    wait_for_value(glossary_file.read_bytes, before, 10, "the glossary file")
    assert editor.status() == "Undone: deleting an entry"
    desktop.xdotool("key", "ctrl+y")
    wait_until(lambda: "b\tb text" not in editor.rows(GLOSSARY), 10, "Ctrl+Y did not delete it")
    assert editor.status() == "Redone: deleting an entry"
    desktop.xdotool("key", "ctrl+z")
    wait_for_value(glossary_file.read_bytes, before, 10, "the glossary file")
    assert editor.selected(GLOSSARY) == [3]

    # Enter edits the row, Insert adds one; Ctrl+Tab and Ctrl+Shift+Tab change tabs.
    desktop.xdotool("key", "Return")
    editor.wait_dialog("Edit Expansion")
    desktop.xdotool("key", "Escape")
    wait_until(lambda: not probe.exists(DIALOG, "Edit Expansion"), 10, "the dialog stays")
    desktop.xdotool("key", "Insert")
    editor.wait_dialog("Add Expansion")
    desktop.xdotool("key", "Escape")
    wait_until(lambda: not probe.exists(DIALOG, "Add Expansion"), 10, "the dialog stays")
    desktop.xdotool("key", "ctrl+Tab")
    wait_for_value(lambda: probe("reg-get", key, "mru main tab index"), "dword 0", 10, "the tab")
    desktop.xdotool("key", "ctrl+shift+Tab")
    wait_for_value(lambda: probe("reg-get", key, "mru main tab index"), "dword 3", 10, "the tab")


@pytest.mark.user_slides(q="queue")
def test_add_without_a_chosen_key_lets_the_user_choose_it_in_the_dialog(editor, probe, desktop):
    key = "Software\\Pelmarik Solutions\\Quorel\\Quorel Editor"
    probe("reg-dword", key, "mru main special key combo index", 0xFFFFFFFF)  # none chosen
    editor.start()
    editor.tab("letter")
    editor.click(LETTER)
    desktop.xdotool("key", "BackSpace")  # no letter: nothing listed
    wait_for_value(lambda: editor.text_of(LETTER), "", 10, "the letter box")
    add = (DIALOG, "Add Letter Slide")
    editor.click(ADD)
    editor.wait_dialog("Add Letter Slide")
    desktop.xdotool("type", "--delay", 30, "z")  # the letter box has the focus
    editor.type_into(MEMO, "zed", add)
    editor.click(OK, add)
    # The tab now lists the letter chosen, with the new slide.
    wait_for_value(lambda: editor.text_of(LETTER), "z", 10, "the letter box")
    wait_for_value(lambda: editor.rows(SLIDES), ["N\tzed"], 10, "z's rows")

    editor.tab("special key")
    wait_for_value(lambda: editor.text_of(SPECIAL_KEY), "", 10, "the special key box")
    special = (DIALOG, "Add Special Key Slide")
    editor.click(ADD)
    editor.wait_dialog("Add Special Key Slide")
    assert editor.text_of(SPECIAL_KEY_COMBO, special) == ""
    desktop.xdotool("key", "Down")  # the key box has the focus: its first key
    wait_for_value(lambda: editor.text_of(SPECIAL_KEY_COMBO, special), "<acute>", 10, "the key")
    editor.type_into(MEMO, "sharp", special)
    editor.click(OK, special)
    wait_for_value(lambda: editor.text_of(SPECIAL_KEY), "<acute>", 10, "the special key box")
    wait_for_value(lambda: editor.rows(SLIDES), ["N\tsharp"], 10, "<acute>'s rows")


@pytest.mark.user_slides(q="queue")
def test_the_editor_says_when_the_keyboard_types_from_another_file_and_switches_it(
        keyboard, notepad, editor, probe, registry, shot):
    # The keyboard is told to type from the shipped capitals instead of the user's file.
    registry.set_option("Use slides for", 1)
    keyboard.post(OPTIONS_CHANGED, 1)
    place_above_the_keyboard(probe)
    editor.start()
    wait_for_value(lambda: editor.text_of(KEYBOARD_NOTICE),
                   "The keyboard types slides from CapsOnlySlides.txt, not from this file.", 10,
                   "the notice")
    shot("editor_keyboard_notice")
    editor.click(USE_FILE)
    wait_for_value(lambda: registry.option("Use slides for"), 0, 10, "the slide file used")
    wait_for_value(lambda: editor.probe("control-rect", EDITOR_CLASS, EDITOR_TITLE, USE_FILE),
                   "hidden", 10, "the button")
    editor.close()
    notepad.bring_to_front()
    keyboard.slide("q", "north")
    notepad.expect_text("queue")


def test_a_glossary_held_at_start_is_never_replaced_and_is_read_again(glossary_file, editor,
                                                                       probe, desktop, shot):
    """A sync client or a scanner holds the glossary without sharing as the editor starts:
    it is shown as not read, an add is refused rather than written over 300 entries, and
    once let go it is read again and changed as usual."""
    held = windows_path(glossary_file)
    assert probe("hold-file", held) == "held"
    try:
        # The box comes up as the editor reads its files, before its window shows.
        editor.launch()
        assert editor.message("Quorel", timeout=30) == "Can't open glossary C:\\user.glo."
        wait_until(lambda: probe.shown(EDITOR_CLASS), 30, "the editor's window did not come up")
        editor.tab("glossary")
        wait_until(lambda: "could not be read" in editor.text_of(READ_NOTICE), 10,
                   "the editor does not say that the glossary was not read")
        shot("editor_glossary_not_read")
        editor.click(ADD)
        assert editor.message("Quorel") == "Can't open glossary C:\\user.glo."
        assert "nothing is saved to it" in editor.message("Cannot save")
    finally:
        assert probe("let-go-file", held) == "let go"
    assert glossary_file.read_bytes() == GLOSSARY_TEXT
    editor.click(READ_AGAIN)
    wait_for_value(lambda: editor.rows(GLOSSARY), ["btw\tby the way"], 10, "the glossary rows")
    add_expansion(editor, desktop, "asap", "as soon as possible")
    wait_until(lambda: b"asap\t\tas soon as possible" in glossary_file.read_bytes(), 10,
               "the entry was not saved")
    assert b"btw\t\tby the way" in glossary_file.read_bytes()


def add_expansion(editor, desktop, short_form, text):
    dialog = (DIALOG, "Add Expansion")
    editor.click(ADD)
    editor.wait_dialog("Add Expansion")
    desktop.xdotool("type", "--delay", 30, short_form)
    editor.type_into(MEMO, text, dialog)
    editor.click(OK, dialog)
    wait_until(lambda: not editor.probe.exists(*dialog), 10, "the dialog stays up")


def test_a_change_made_by_another_program_survives_the_editors_next_save(glossary_file, editor,
                                                                         probe, desktop):
    editor.start()
    editor.tab("glossary")
    wait_for_value(lambda: editor.rows(GLOSSARY), ["btw\tby the way"], 10, "the glossary rows")
    # Another program (a second editor, notepad, a sync client) writes the file meanwhile.
    glossary_file.write_bytes(GLOSSARY_TEXT + b"fyi\t\tfor your information\r\n")
    dialog = (DIALOG, "Add Expansion")
    editor.click(ADD)
    assert "changed by another program" in editor.message(EDITOR_TITLE)
    assert editor.rows(GLOSSARY) == ["btw\tby the way", "fyi\tfor your information"]
    add_expansion(editor, desktop, "asap", "as soon as possible")
    wait_until(lambda: b"asap\t\tas soon as possible" in glossary_file.read_bytes(), 10,
               "the entry was not saved")
    assert b"fyi\t\tfor your information" in glossary_file.read_bytes()
    assert not probe.exists(*dialog)


def test_open_after_a_failed_save_asks_and_altgr_is_no_shortcut(editor, probe, desktop, registry):
    add_an_entry_that_cannot_be_saved(editor, desktop, registry, "offline")
    editor.click(OPEN)
    editor.wait_dialog(EDITOR_TITLE)
    assert "is not saved" in probe("dialog", EDITOR_TITLE)
    editor.tap_button(EDITOR_TITLE, "Cancel")
    wait_until(lambda: not probe.exists(DIALOG, EDITOR_TITLE), 10, "the question stays up")
    assert editor.status().startswith("Not saved"), editor.status()

    # AltGr is Ctrl and Alt together; on layouts where it types letters, AltGr+Z is a letter
    # and takes nothing back. Ctrl+Z alone does.
    rows = editor.rows(GLOSSARY)
    editor.click(FIND)
    desktop.xdotool("key", "ctrl+alt+z")
    assert probe("sync", EDITOR_CLASS) == "synced"
    assert editor.rows(GLOSSARY) == rows
    desktop.xdotool("key", "ctrl+z")
    wait_until(lambda: editor.rows(GLOSSARY) != rows, 10, "Ctrl+Z took nothing back")


@pytest.mark.user_slides(q="queue")
def test_undo_shows_the_change_it_takes_back_on_its_own_tab(editor, probe, desktop):
    key = "Software\\Pelmarik Solutions\\Quorel\\Quorel Editor"
    editor.start()
    editor.tab("letter")
    editor.type_into(LETTER, "q")
    wait_for_value(lambda: editor.rows(SLIDES), ["N\tqueue"], 10, "the slides of q")
    editor.click_row(SLIDES, 0)
    editor.click(DELETE)
    editor.wait_dialog("Confirm delete")
    editor.tap_button("Confirm delete", "Yes")
    wait_for_value(lambda: editor.rows(SLIDES), [], 10, "the slides of q after the delete")
    # On another tab, listing other keys, Undo brings back the tab the delete was made on.
    editor.tab("direction")
    wait_for_value(lambda: probe("reg-get", key, "mru main tab index"), "dword 0", 10, "the tab")
    editor.click(UNDO)
    wait_for_value(lambda: probe("reg-get", key, "mru main tab index"), "dword 1", 10,
                   "the tab after Undo")
    wait_for_value(lambda: editor.rows(SLIDES), ["N\tqueue"], 10, "the slides of q after Undo")
    assert editor.selected(SLIDES) == [0]
    assert editor.status() == "Undone: deleting a slide"


class HttpOpener:
    """The machine's program for web addresses, which Wine looks up in HKEY_LOCAL_MACHINE
    only: set for a test and set back after it, as the rest of the run expects it."""

    KEY = r"HKLM\Software\Classes\http\shell\open\command"

    def __init__(self, desktop):
        self.env = desktop.prefix.env
        answer = run(["wine", "reg", "query", self.KEY, "/ve"], timeout=60, env=self.env,
                     what="the program for web addresses").stdout.decode(errors="replace")
        self.before = answer.split("REG_SZ", 1)[1].strip() if "REG_SZ" in answer else None

    def set(self, command):
        run(["wine", "reg", "add", self.KEY, "/ve", "/d", command, "/f"], timeout=60,
            env=self.env, check=True, what="setting the program for web addresses")

    def restore(self):
        if self.before is not None:
            self.set(self.before)


def test_help_opens_the_manual_at_the_editors_and_the_options_section(editor, probe, desktop,
                                                                      registry, request):
    """F1 and the Help buttons start the program that opens web addresses (here the probe,
    which writes down the address it was given) with the manual at the program's section."""
    from test_options import OPTIONS_CLASS

    asked = desktop.prefix.path / "drive_c" / "address.txt"
    probe_exe = windows_path(request.config.getoption("--probe"))
    opener = HttpOpener(desktop)
    opener.set(f'"{probe_exe}" record-url C:\\address.txt "%1"')
    request.addfinalizer(opener.restore)
    editor.start()
    editor.tab("glossary")  # the editor in front, with a control of its own in the focus
    desktop.xdotool("key", "F1")
    wait_until(asked.exists, 20, "F1 started nothing")
    address = asked.read_text()
    assert address.startswith("file:///") and address.endswith("/manual/quorelmanual.htm#editor"), address

    asked.unlink()
    desktop.launch(Path(request.config.getoption("--package")) / "QuorelOptions.exe")
    wait_until(lambda: probe.shown(OPTIONS_CLASS), 30, "the options program did not come up")
    editor.click(103, (OPTIONS_CLASS, "Quorel Options"))  # Help
    wait_until(asked.exists, 20, "Help started nothing")
    assert asked.read_text().endswith("/manual/quorelmanual.htm#options"), asked.read_text()
