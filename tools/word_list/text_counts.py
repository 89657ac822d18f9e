#!/usr/bin/env python3
"""Writes "word<TAB>count" lines from the unigram counts of an n-gram database of Debian's
libpresage-data (/usr/share/presage/database_en.db, _es, _it), for quorel_word_list to order
the words of a list:
    text_counts.py DATABASE OUT_FILE"""

import sqlite3
import sys


def decoded(word):
    if not isinstance(word, bytes):
        return None
    try:
        return word.decode("utf-8")
    except UnicodeDecodeError:
        return word.decode("latin-1")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    database, out = sys.argv[1], sys.argv[2]
    try:
        connection = sqlite3.connect(f"file:{database}?mode=ro", uri=True)
        # The Spanish and Italian databases hold their words in Latin-1, the English in UTF-8.
        connection.text_factory = bytes
        rows = [(decoded(word), count) for word, count in
                connection.execute("SELECT word, count FROM _1_gram WHERE count > 0")]
    except sqlite3.Error as error:
        sys.exit(f"text_counts.py: cannot read {database}: {error}")
    with open(out, "w", encoding="utf-8", newline="\n") as file:
        for word, count in sorted(rows):
            if isinstance(word, str) and word and "\t" not in word and "\n" not in word:
                file.write(f"{word}\t{int(count)}\n")
    print(f"{out}: {len(rows)} counted words")


if __name__ == "__main__":
    main()
