"""Word completion on the real program: whole words offered after the first letters, from
the shipped list and from the words the user typed, also after a restart."""

from harness.process import wait_until


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
                                                                      probe, desktop):
    keyboard.type("keyb")
    wait_until(lambda: "keyboard" in list_rows(probe), 10,
               lambda _: f"keyboard not offered: {list_rows(probe)}")
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
