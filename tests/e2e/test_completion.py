"""Word completion on the real program: whole words offered after the first letters, from
the shipped list and from the words the user typed, also after a restart."""

from harness.process import wait_until
from harness.quorel import KEYBOARD_CLASS

# The options program's button that forgets the learned words.
FORGET_WORDS = 2004


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
    keyboard.type("keyb")
    wait_until(lambda: "keyboard" in list_rows(probe), 10,
               lambda _: f"keyboard not offered: {list_rows(probe)}")
    shot("completions_of_keyb")
    tap_row(desktop, probe, "keyboard")
    notepad.expect_text("keyboard ")


def test_a_new_word_typed_twice_is_offered_also_after_a_restart(keyboard, notepad, probe,
                                                                desktop):
    for _ in range(2):
        keyboard.type("zyxwv")
        keyboard.tap("<space>")
    notepad.expect_text("zyxwv zyxwv ")
    keyboard.close()  # the learned words are saved at exit
    keyboard.start()
    notepad.bring_to_front()
    keyboard.type("zy")
    wait_until(lambda: "zyxwv" in list_rows(probe), 10,
               lambda _: f"zyxwv not offered: {list_rows(probe)}")
    tap_row(desktop, probe, "zyxwv")
    notepad.expect_text("zyxwv zyxwv zyxwv ")


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
    keyboard.type("keyb")
    wait_until(lambda: "keyboard" in list_rows(probe), 10,
               lambda _: f"keyboard not offered: {list_rows(probe)}")
    swipe_row(desktop, probe, "keyboard")
    wait_until(lambda: "keyboard" not in list_rows(probe), 10, "the slide left keyboard offered")
    assert list_rows(probe), "the other words of keyb went with it"
    notepad.expect_text("keyb")  # the slide typed nothing
    keyboard.close()
    keyboard.start()
    notepad.bring_to_front()
    keyboard.tap("<space>")
    keyboard.type("keyb")
    notepad.expect_text("keyb keyb")
    rows = offered_after_sync(keyboard, probe)
    assert rows and "keyboard" not in rows, f"after a restart the suggestions are {rows}"


def test_nothing_typed_into_a_password_box_is_learned(keyboard, notepad, probe):
    # The same typing into notepad is learned: the keyboard learns in this scenario.
    for _ in range(2):
        keyboard.type("wvqzx")
        keyboard.tap("<space>")
    assert probe("password-box") == "shown"
    wait_until(lambda: probe("foreground") == "QuorelPasswordWindow", 10,
               "the password window is not in front")
    for _ in range(2):
        keyboard.type("qzxwv")
        keyboard.tap("<space>")
    wait_until(lambda: probe("control-text", "QuorelPasswordWindow", "*", "Edit") == "qzxwv qzxwv ",
               10, "the keys did not reach the password box")
    notepad.bring_to_front()
    keyboard.type("wvq")
    wait_until(lambda: "wvqzx" in list_rows(probe), 10,
               lambda _: f"the word typed into notepad is not offered: {list_rows(probe)}")
    keyboard.tap("<space>")
    keyboard.type("qzx")
    notepad.expect_text("wvqzx wvqzx wvq qzx")
    rows = offered_after_sync(keyboard, probe)
    assert "qzxwv" not in rows, f"a password was learned: {rows}"


def test_the_options_program_forgets_every_learned_word(keyboard, notepad, probe, desktop):
    from test_keyboard import choose
    from test_options import OPTIONS_CLASS, Options

    for _ in range(2):
        keyboard.type("zyxwv")
        keyboard.tap("<space>")
    keyboard.type("zy")
    wait_until(lambda: "zyxwv" in list_rows(probe), 10, "the word typed twice is not offered")
    choose(keyboard, probe, "Options...")
    wait_until(lambda: probe.shown(OPTIONS_CLASS), 30, "Options... started no options program")
    options = Options(desktop, probe)
    options.tab(3)
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
    notepad.expect_text("zyxwv zyxwv zy zy")
    assert "zyxwv" not in offered_after_sync(keyboard, probe), "the keyboard still offers it"
    keyboard.close()
    keyboard.start()
    notepad.bring_to_front()
    keyboard.tap("<space>")
    keyboard.type("zy")
    notepad.expect_text("zyxwv zyxwv zy zy zy")
    assert "zyxwv" not in offered_after_sync(keyboard, probe), "the file still holds it"

