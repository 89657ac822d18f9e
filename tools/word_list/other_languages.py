#!/usr/bin/env python3
"""Writes the word lists of the languages other than English into a package's
"Quorel words" folder, each with its licence beside it:
    other_languages.py WORD_LIST_TOOL OUT_FOLDER WORK_FOLDER
Each list is one of Debian's word lists, ordered by how often its words were counted: in
the Spanish and Italian texts of libpresage-data, or in the language's translated manual
pages (manpages-fr and its like), since Debian ships no other body of text in them."""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DICT = "/usr/share/dict"
DOC = "/usr/share/doc"
MAN = "/usr/share/man"

# Language, its list's file stem, Debian's word list (file, package), where its counts
# come from (kind, package, source).
LANGUAGES = [
    ("French", "french", "french", "wfrench", "manual", "manpages-fr", [f"{MAN}/fr"]),
    ("German", "german", "ngerman", "wngerman", "manual", "manpages-de", [f"{MAN}/de"]),
    ("Spanish", "spanish", "spanish", "wspanish", "text", "libpresage-data",
     ["/usr/share/presage/database_es.db"]),
    ("Italian", "italian", "italian", "witalian", "text", "libpresage-data",
     ["/usr/share/presage/database_it.db"]),
    ("Portuguese", "portuguese", "portuguese", "wportuguese", "manual", "manpages-pt-br",
     [f"{MAN}/pt_BR", f"{MAN}/pt"]),
    ("Dutch", "dutch", "dutch", "wdutch", "manual", "manpages-nl", [f"{MAN}/nl"]),
]


def read(path):
    with open(path, encoding="utf-8", errors="replace") as file:
        return file.read()


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    tool, out, work = sys.argv[1:]
    os.makedirs(work, exist_ok=True)
    for language, stem, words, words_package, kind, counts_package, sources in LANGUAGES:
        counts = os.path.join(work, f"{stem}-counts.tsv")
        pairs = []
        if kind == "text":
            pairs = [os.path.join(work, f"{stem}-pairs.tsv")]
            command = [sys.executable, os.path.join(HERE, "text_counts.py"), sources[0], counts,
                       *pairs]
            counted_by = f"the {language} texts of {counts_package}"
        else:
            folders = [folder for folder in sources if os.path.isdir(folder)]
            command = [sys.executable, os.path.join(HERE, "manual_counts.py"), counts, *folders]
            counted_by = f"the {language} manual pages of {counts_package}"
        subprocess.run(command, check=True)
        counted = os.path.getsize(counts) > 0
        subprocess.run([tool, "--from-file", language, os.path.join(DICT, words),
                        os.path.join(out, f"{stem}.txt"),
                        *([counts, counted_by, *pairs] if counted else [])], check=True)
        with open(os.path.join(out, f"{stem}-copyright.txt"), "w", encoding="utf-8",
                  newline="\r\n") as file:
            file.write(f"The {language} words come from Debian's {words_package}, under this "
                       "licence:\n\n")
            file.write(read(os.path.join(DOC, words_package, "copyright")))
            if counted:
                file.write(f"\n\nTheir order{' and the next words listed' if pairs else ''} "
                           f"come{'' if pairs else 's'} from the counts of {counted_by}, under "
                           "this licence:\n\n")
                file.write(read(os.path.join(DOC, counts_package, "copyright")))


if __name__ == "__main__":
    main()
