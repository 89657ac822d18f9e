#!/usr/bin/env python3
"""Writes "word<TAB>count" lines from the unigram counts of an n-gram database of Debian's
libpresage-data (/usr/share/presage/database_en.db, _es, _it), for quorel_word_list to order
the words of a list, and of the pairs of words that followed each other in that text (the
next word offered after a word and a space):
    text_counts.py DATABASE OUT_FILE [PAIRS_FILE]"""

import sqlite3
import sys


def decoded(word):
    if not isinstance(word, bytes):
        return None
    try:
        return word.decode("utf-8")
    except UnicodeDecodeError:
        return word.decode("latin-1")


def plain(word):
    return isinstance(word, str) and word and not any(c in word for c in "\t\n ")


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    database, out = sys.argv[1], sys.argv[2]
    pairs_out = sys.argv[3] if len(sys.argv) == 4 else None
    try:
        connection = sqlite3.connect(f"file:{database}?mode=ro", uri=True)
        # The Spanish and Italian databases hold their words in Latin-1, the English in UTF-8.
        connection.text_factory = bytes
        rows = [(decoded(word), count) for word, count in
                connection.execute("SELECT word, count FROM _1_gram WHERE count > 0")]
        # A pair seen once is chance more often than habit.
        pairs = [(decoded(first), decoded(word), count) for first, word, count in
                 connection.execute("SELECT word_1, word, count FROM _2_gram WHERE count > 1")
                 ] if pairs_out else []
    except sqlite3.Error as error:
        sys.exit(f"text_counts.py: cannot read {database}: {error}")
    with open(out, "w", encoding="utf-8", newline="\n") as file:
        for word, count in sorted(rows):
            if plain(word):
                file.write(f"{word}\t{int(count)}\n")
    print(f"{out}: {len(rows)} counted words")
    if pairs_out:
        with open(pairs_out, "w", encoding="utf-8", newline="\n") as file:
            for first, word, count in sorted(pairs):
                if plain(first) and plain(word):
                    file.write(f"{first}\t{word}\t{int(count)}\n")
        print(f"{pairs_out}: {len(pairs)} counted pairs")


if __name__ == "__main__":
    main()
