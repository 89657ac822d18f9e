"""Word completion on the real program: whole words offered after the first letters, from
the shipped list and from the words the user typed, also after a restart; nothing typed in
secret shown or learned, and the learned words kept when their file is held.

The keyboard does not know what lies before the caret of a window it has just come to, so
each scenario types a space first: the next word's start is then its own."""

import pytest

from harness.process import wait_until
from harness.quorel import KEYBOARD_CLASS
from harness.wine import windows_path

# The options program's button that forgets the learned words, and its choice of language.
FORGET_WORDS, LANGUAGE = 2004, 1029


def list_rows(probe):
    return probe.lines("list-rows", "ListBox", "*", "-") if probe.shown("ListBox") else []


def tap_row(desktop, probe, text):
    """A tap on the row of the suggestion list that shows `text`."""
    rows = list_rows(probe)
    assert text in rows, f"the suggestions are {rows}"
    left, top, right, bottom = probe.rect("ListBox")
    height = (bottom - top) / len(rows)
    desktop.click((left + right) // 2, int(top + height * (rows.index(text) + 0.5)))


def test_the_start_of_a_word_offers_it_whole_and_a_tap_types_the_rest(keyboard, notepad,
                                                                      probe, desktop, shot):
    keyboard.type(" keyb")
    wait_until(lambda: "keyboard" in list_rows(probe), 10,
               lambda _: f"keyboard not offered: {list_rows(probe)}")
    shot("completions_of_keyb")
    tap_row(desktop, probe, "keyboard")
    notepad.expect_text(" keyboard ")


def test_a_mark_goes_before_the_keyboards_space_and_a_sentence_starts_with_a_capital(
        keyboard, notepad, probe, desktop, shot):
    keyboard.type(" keyb")
    wait_until(lambda: "keyboard" in list_rows(probe), 10,
               lambda _: f"keyboard not offered: {list_rows(probe)}")
    tap_row(desktop, probe, "keyboard")
    keyboard.type(",")
    notepad.expect_text(" keyboard, ")
    keyboard.type("it. ")
    assert probe("sync", KEYBOARD_CLASS) == "synced"
    shot("capital_after_a_sentence")
    keyboard.type("h")
    notepad.expect_text(" keyboard, it. H")
    # One tap on Shift takes the capital away; two spaces end a sentence too.
    keyboard.type("i! ")
    keyboard.tap("<shift>")
    keyboard.type("x  y")
    notepad.expect_text(" keyboard, it. Hi! x. Y")


def test_a_word_typed_twice_after_another_is_offered_next(keyboard, notepad, probe, desktop):
    keyboard.type(" zyx wvu zyx wvu zyx ")
    wait_until(lambda: list_rows(probe) == ["wvu"], 10,
               lambda _: f"the next words are {list_rows(probe)}")
    tap_row(desktop, probe, "wvu")
    notepad.expect_text(" zyx wvu zyx wvu zyx wvu ")


def test_a_french_layout_offers_french_words_and_the_accents_find_them(keyboard, notepad, probe,
                                                                       desktop, french_input):
    keyboard.close()
    keyboard.env.update(french_input)
    keyboard.start()
    notepad.bring_to_front()
    keyboard.type(" fran")
    keyboard.tap("<acute>")
    keyboard.tap("c")  # "ç" on the acute letters
    wait_until(lambda: "français" in list_rows(probe), 10,
               lambda _: f"français not offered: {list_rows(probe)}")
    tap_row(desktop, probe, "français")
    notepad.expect_text(" français ")


def test_a_new_word_typed_twice_is_offered_also_after_a_restart(keyboard, notepad, probe,
                                                                desktop):
    keyboard.tap("<space>")
    for _ in range(2):
        keyboard.type("zyxwv")
        keyboard.tap("<space>")
    notepad.expect_text(" zyxwv zyxwv ")
    keyboard.close()  # the learned words are saved at exit
    keyboard.start()
    notepad.bring_to_front()
    keyboard.type(" zy")
    wait_until(lambda: "zyxwv" in list_rows(probe), 10,
               lambda _: f"zyxwv not offered: {list_rows(probe)}")
    tap_row(desktop, probe, "zyxwv")
    notepad.expect_text(" zyxwv zyxwv  zyxwv ")


def offered_after_sync(keyboard, probe):
    """The suggestions once the keyboard has handled every pen event so far."""
    assert probe("sync", KEYBOARD_CLASS) == "synced"
    return list_rows(probe)


def swipe_row(desktop, probe, text):
    """A slide of the pen sideways across the row that shows `text`, off the list's edge."""
    rows = list_rows(probe)
    assert text in rows, f"the suggestions are {rows}"
    left, top, right, bottom = probe.rect("ListBox")
    height = (bottom - top) // len(rows)
    y = top + height * rows.index(text) + height // 2
    ox, oy = desktop.origin()
    moves = ["mousemove", ox + left + 4, oy + y, "mousedown", 1]
    for step in range(1, 9):
        moves += ["sleep", 0.02, "mousemove", ox + left + 4 + step * height, oy + y]
    desktop.xdotool(*moves, "mouseup", 1)


def test_a_slide_across_a_word_takes_it_away_also_after_a_restart(keyboard, notepad, probe,
                                                                  desktop):
    keyboard.type(" keyb")
    wait_until(lambda: "keyboard" in list_rows(probe), 10,
               lambda _: f"keyboard not offered: {list_rows(probe)}")
    swipe_row(desktop, probe, "keyboard")
    wait_until(lambda: "keyboard" not in list_rows(probe), 10, "the slide left keyboard offered")
    assert list_rows(probe), "the other words of keyb went with it"
    notepad.expect_text(" keyb")  # the slide typed nothing
    keyboard.close()
    keyboard.start()
    notepad.bring_to_front()
    keyboard.tap("<space>")
    keyboard.type("keyb")
    notepad.expect_text(" keyb keyb")
    rows = offered_after_sync(keyboard, probe)
    assert rows and "keyboard" not in rows, f"after a restart the suggestions are {rows}"


def test_nothing_typed_into_a_password_box_is_shown_or_learned(keyboard, notepad, probe):
    # The same typing into notepad is learned and offered: the keyboard learns here.
    keyboard.tap("<space>")
    for _ in range(2):
        keyboard.type("wvqzx")
        keyboard.tap("<space>")
    keyboard.type("wvq")
    wait_until(lambda: "wvqzx" in list_rows(probe), 10,
               lambda _: f"the word typed into notepad is not offered: {list_rows(probe)}")
    assert probe("password-box") == "shown"
    wait_until(lambda: probe("foreground") == "QuorelPasswordWindow", 10,
               "the password window is not in front")
    # Its first letters would offer the word learned in notepad: nothing shows.
    keyboard.type(" wvq")
    assert offered_after_sync(keyboard, probe) == [], "the list shows in a password box"
    keyboard.type("zx ")
    for _ in range(2):
        keyboard.type("qzxwv")
        keyboard.tap("<space>")
    wait_until(lambda: probe("control-text", "QuorelPasswordWindow", "*", "Edit")
               == " wvqzx qzxwv qzxwv ", 10, "the keys did not reach the password box")
    notepad.bring_to_front()
    keyboard.type(" qzx")
    notepad.expect_text(" wvqzx wvqzx wvq qzx")
    rows = offered_after_sync(keyboard, probe)
    assert "qzxwv" not in rows, f"a password was learned: {rows}"


def learned_file(desktop):
    """The user's learned words file inside the prefix (its folder made)."""
    documents = next((desktop.prefix.path / "drive_c" / "users").glob("*/Documents"))
    (documents / "Quorel").mkdir(exist_ok=True)
    return documents / "Quorel" / "Learned words.txt"


def test_a_learned_file_held_at_start_keeps_its_words(keyboard, notepad, probe, desktop):
    path = learned_file(desktop)
    path.write_bytes(b"wvqzk\t7\t7\r\n")
    keyboard.close()
    assert probe("hold-file", windows_path(path)) == "held"
    try:
        keyboard.start()
        wait_until(lambda: any("cannot read" in row for row in list_rows(probe)), 10,
                   lambda _: f"the user was not told: {list_rows(probe)}")
        notepad.bring_to_front()
        keyboard.tap("<space>")
        for _ in range(2):
            keyboard.type("zyxwv")
            keyboard.tap("<space>")
        notepad.expect_text(" zyxwv zyxwv ")
    finally:
        assert probe("let-go-file", windows_path(path)) == "let go"
    keyboard.close()  # the file is read at last, and the two made one
    text = path.read_bytes().decode("utf-8-sig")
    assert "wvqzk\t7\t7" in text and "zyxwv\t2\t9" in text, text


def start_console(desktop, probe):
    desktop.launch("wineconsole.exe", "cmd")
    wait_until(lambda: probe.exists("WineConsoleClass"), 30, "no console window came up")
    # Beside the keyboard, which a window in front would cover in the virtual desktop, and
    # away from where notepad is clicked.
    probe("place", "WineConsoleClass", 650, 430, 370, 300)
    wait_until(lambda: probe("foreground") == "WineConsoleClass", 10,
               lambda _: f"the console is not in front: {probe('foreground')} is")


@pytest.mark.parametrize("learn_there", [
    pytest.param(False, id="by-default"),
    pytest.param(True, id="with-the-option", marks=pytest.mark.options(**{"Learn in terminals": 1})),
])
def test_a_word_typed_into_a_console_is_learned_only_with_the_option(keyboard, notepad, probe,
                                                                     desktop, shot, learn_there):
    start_console(desktop, probe)
    keyboard.tap("<space>")
    for _ in range(2):
        keyboard.type("qzxwv")
        keyboard.tap("<space>")
    assert probe("sync", KEYBOARD_CLASS) == "synced"
    shot(f"console_{'learning' if learn_there else 'not_learning'}")
    notepad.bring_to_front()
    keyboard.type(" qzx")
    notepad.expect_text(" qzx")
    rows = offered_after_sync(keyboard, probe)
    assert ("qzxwv" in rows) == learn_there, f"the suggestions are {rows}"


# A slide whose text begins a word and asks for its completion, and a slide from the space
# key, whose space typed at pen down the slide takes back, followed by a tap on <expand>.
@pytest.mark.user_slides(q="keyb<expand>", **{"<space>": "keyb"})
def test_a_word_begun_by_a_slide_completes_with_expand(keyboard, notepad):
    keyboard.tap("<space>")
    keyboard.slide("q", "north")
    notepad.expect_text(" keyboard ")
    keyboard.slide("<space>", "north")
    notepad.expect_text(" keyboard keyb")
    keyboard.tap("<expand>")
    notepad.expect_text(" keyboard keyboard ")


def test_the_options_program_forgets_every_learned_word(keyboard, notepad, probe, desktop):
    from test_keyboard import choose
    from test_options import OPTIONS_CLASS, Options

    keyboard.tap("<space>")
    for _ in range(2):
        keyboard.type("zyxwv")
        keyboard.tap("<space>")
    keyboard.type("zy")
    wait_until(lambda: "zyxwv" in list_rows(probe), 10, "the word typed twice is not offered")
    choose(keyboard, probe, "Options...")
    wait_until(lambda: probe.shown(OPTIONS_CLASS), 30, "Options... started no options program")
    options = Options(desktop, probe)
    options.tab(3)
    # The page holds its last choice, the button below it and the window's buttons below that.
    rect = lambda control: tuple(int(n) for n in probe("control-rect", OPTIONS_CLASS, "Quorel Options",
                                                       control).split())
    wait_until(lambda: probe("control-rect", OPTIONS_CLASS, "Quorel Options", FORGET_WORDS)
               not in ("none", "hidden"), 10, "the Words page does not show")
    language, forget, ok = rect(LANGUAGE), rect(FORGET_WORDS), rect(1)
    assert language[3] <= forget[1] and forget[3] <= ok[1], (language, forget, ok)
    options.click(FORGET_WORDS)
    wait_until(lambda: "Forget every word" in probe("dialog", "Quorel Options"), 10,
               "no question before forgetting")
    probe("press", "Quorel Options", "6")  # Yes
    wait_until(lambda: probe("dialog", "Quorel Options") == "The learned words are forgotten.", 10,
               lambda _: f"the options program said {probe('dialog', 'Quorel Options')!r}")
    probe("press", "Quorel Options", "1")
    probe("post", OPTIONS_CLASS, hex(0x0010), 0)  # WM_CLOSE
    notepad.bring_to_front()
    keyboard.tap("<space>")
    keyboard.type("zy")
    notepad.expect_text(" zyxwv zyxwv zy zy")
    assert "zyxwv" not in offered_after_sync(keyboard, probe), "the keyboard still offers it"
    keyboard.close()
    keyboard.start()
    notepad.bring_to_front()
    keyboard.tap("<space>")
    keyboard.type("zy")
    notepad.expect_text(" zyxwv zyxwv zy zy zy")
    assert "zyxwv" not in offered_after_sync(keyboard, probe), "the file still holds it"

