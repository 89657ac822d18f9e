#!/usr/bin/env python3
"""Writes "word<TAB>count" lines from the words of a language's translated manual pages
(Debian's manpages-fr, manpages-de, manpages-nl, manpages-pt-br: /usr/share/man/fr and its
like), for quorel_word_list to order the words of a list that comes in no order of use:
    manual_counts.py OUT_FILE FOLDER..."""

import collections
import gzip
import os
import re
import sys

# Font changes, named characters, strings and the like: \fB, \(aq, \*(Tm, \-, \&.
ESCAPE = re.compile(r"\\(?:f(?:\[[^\]]*\]|\(..|.)|\(..|\*(?:\(..|\[[^\]]*\]|.)|\[[^\]]*\]|[sn][-+]?\d*|.)")
WORD = re.compile(r"[^\W\d_]+(?:['’][^\W\d_]+)*")


def words_of(text):
    for line in text.splitlines():
        if line.startswith(('.\\"', "'\\\"")):
            continue  # a comment
        if line.startswith((".", "'")):
            fields = line.split(None, 1)
            line = fields[1] if len(fields) == 2 else ""  # the request's arguments
        yield from WORD.findall(ESCAPE.sub(" ", line))


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    out, folders = sys.argv[1], sys.argv[2:]
    counts = collections.Counter()
    pages = 0
    for folder in folders:
        for root, _, names in os.walk(folder):
            for name in sorted(names):
                path = os.path.join(root, name)
                if os.path.islink(path):
                    continue  # the same page under another name
                try:
                    opener = gzip.open if name.endswith(".gz") else open
                    with opener(path, "rb") as page:
                        text = page.read().decode("utf-8", errors="replace")
                except OSError:
                    continue
                pages += 1
                counts.update(word.lower() for word in words_of(text))
    if not counts:
        # A machine that installs no manual pages (a trimmed image): the list is then ordered
        # by length alone, and says so.
        print(f"manual_counts.py: warning: no manual pages in {' '.join(folders) or '(none)'}",
              file=sys.stderr)
    with open(out, "w", encoding="utf-8", newline="\n") as file:
        for word, count in sorted(counts.items()):
            file.write(f"{word}\t{count}\n")
    print(f"{out}: {len(counts)} counted words from {pages} pages")


if __name__ == "__main__":
    main()
