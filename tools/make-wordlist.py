#!/usr/bin/env python3
"""Build data/words.txt, the word list the Numbrill dictionary is made from.

The words come from Debian's `scowl` package (the SCOWL word lists) and are
ranked with the help of `wordnet-base` (the WordNet 3.0 database). Run this by
hand whenever the sources or data/blocklist.txt change, then commit the result;
the build only ever reads the finished words.txt.

    python3 tools/make-wordlist.py [--scowl-dir DIR] [--wordnet-dir DIR]

Which words are kept:
  * English and American-spelling SCOWL words up to size 70, plain lowercase
    a-z only (no names, abbreviations, contractions, possessives or accents);
  * not on the blocklist, not a single letter, and with at least one consonant
    that stands for a digit (a word that encodes to nothing is no use).

Order of the output, most preferred first:
  1. SCOWL size level: a word belongs to the lowest level that lists it;
  2. concrete nouns first, i.e. words whose most frequent noun sense in WordNet
     is an artifact, animal, food, body part, plant, person or place;
  3. shorter words first;
  4. alphabetical.
"""

import argparse
import os
import sys
from collections import Counter
from pathlib import Path

REPO_DATA = Path(__file__).resolve().parent.parent / "data"

LEVELS = (10, 20, 35, 40, 50, 55, 60, 70)
LIST_KINDS = ("english-words", "american-words")

# Refuse to write a list smaller than this; it means a source went missing.
MIN_WORDS = 60000

CONCRETE_LEXFILES = {
    "noun.artifact", "noun.animal", "noun.food", "noun.body",
    "noun.plant", "noun.person", "noun.location",
}

# WordNet 3.0's lexicographer file numbers, as documented in lexnames(5WN).
# Debian's wordnet-base leaves out the `lexnames` file itself; when a copy is
# present in the WordNet directory (or given with --lexnames) it is used instead.
BUILTIN_LEXNAMES = (
    "adj.all", "adj.pert", "adv.all", "noun.Tops", "noun.act", "noun.animal",
    "noun.artifact", "noun.attribute", "noun.body", "noun.cognition",
    "noun.communication", "noun.event", "noun.feeling", "noun.food",
    "noun.group", "noun.location", "noun.motive", "noun.object", "noun.person",
    "noun.phenomenon", "noun.plant", "noun.possession", "noun.process",
    "noun.quantity", "noun.relation", "noun.shape", "noun.state",
    "noun.substance", "noun.time", "verb.body", "verb.change",
    "verb.cognition", "verb.communication", "verb.competition",
    "verb.consumption", "verb.contact", "verb.creation", "verb.emotion",
    "verb.motion", "verb.perception", "verb.possession", "verb.social",
    "verb.stative", "verb.weather", "adj.ppl",
)

# The phonetic code, letter by letter. Only lowercase words reach this table,
# so the capital Z that also stands for 0 never comes up here.
DIGITS = {
    "s": "0", "t": "1", "d": "1", "n": "2", "m": "3", "r": "4", "l": "5",
    "j": "6", "g": "6", "c": "7", "k": "7", "f": "8", "v": "8", "p": "9",
    "b": "9",
}
PLAIN_LETTERS = set("abcdefghijklmnopqrstuvwxyz")


def fail(message):
    sys.exit(f"make-wordlist: {message}")


def read_scowl(scowl_dir):
    """Return {word: level} for every plain lowercase word, at its lowest level."""
    levels = {}
    for level in LEVELS:
        for kind in LIST_KINDS:
            path = Path(scowl_dir) / f"{kind}.{level}"
            if not path.is_file():
                fail(f"missing SCOWL list {path}")
            # Upstream ships ISO-8859-1, Debian converts to UTF-8. Latin-1 reads
            # either without error, and any non-ASCII byte fails the a-z test
            # below, so accented words are dropped whichever it is.
            with open(path, encoding="latin-1") as f:
                for line in f:
                    word = line.strip()
                    if word and set(word) <= PLAIN_LETTERS:
                        levels.setdefault(word, level)
    return levels


def read_blocklist(path):
    with open(path, encoding="utf-8") as f:
        return {line.strip() for line in f
                if line.strip() and not line.lstrip().startswith("#")}


def read_lexnames(path):
    """Return the lexicographer file names indexed by number."""
    if path is None:
        return BUILTIN_LEXNAMES
    names = {}
    with open(path, encoding="ascii") as f:
        for line in f:
            fields = line.split()
            if len(fields) >= 2:
                names[int(fields[0])] = fields[1]
    return tuple(names.get(i, "") for i in range(max(names) + 1))


def concrete_nouns(wordnet_dir, lexnames, words):
    """Return the subset of words whose first noun sense is concrete."""
    # index.noun: lemma pos synset_cnt p_cnt [ptr_symbol...] sense_cnt
    # tagsense_cnt synset_offset... with the senses in frequency order.
    # The licence header lines start with spaces.
    first_sense = {}
    with open(Path(wordnet_dir) / "index.noun", encoding="latin-1") as f:
        for line in f:
            if line.startswith(" "):
                continue
            fields = line.split()
            if fields[0] in words:
                pointer_count = int(fields[3])
                first_sense[fields[0]] = int(fields[6 + pointer_count])

    # A synset offset is the byte position of its line in data.noun, and the
    # line's second field is the lexicographer file number.
    concrete = set()
    with open(Path(wordnet_dir) / "data.noun", "rb") as f:
        for word, offset in first_sense.items():
            f.seek(offset)
            fields = f.readline().split()
            if int(fields[0]) != offset:
                fail(f"data.noun has no synset at offset {offset} ({word})")
            if lexnames[int(fields[1])] in CONCRETE_LEXFILES:
                concrete.add(word)
    return concrete


def phonetic_code(word):
    """The digit string of a word, computed exactly as the program does."""
    code = []
    previous = ""
    for current in word:
        if previous == "k" and current != "n":
            # The pending k sounds; this also makes "kk" two sounds, not one
            # doubled letter.
            code.append("7")
        elif current == previous:
            continue
        if current != "k":
            code.append(DIGITS.get(current, ""))
        previous = current
    if previous == "k":
        code.append("7")
    return "".join(code)


def coverage(words, length):
    codes = {phonetic_code(w) for w in words}
    return sum(1 for n in range(10 ** length) if f"{n:0{length}d}" in codes)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--scowl-dir", default="/usr/share/dict/scowl",
                        help="directory of the SCOWL lists (default: %(default)s)")
    parser.add_argument("--wordnet-dir", default="/usr/share/wordnet",
                        help="WordNet database directory (default: %(default)s)")
    parser.add_argument("--lexnames", help="WordNet lexnames file (default: the "
                        "one in the WordNet directory, else the built-in table)")
    parser.add_argument("--blocklist", default=REPO_DATA / "blocklist.txt",
                        type=Path, help="words to leave out")
    parser.add_argument("--output", default=REPO_DATA / "words.txt", type=Path,
                        help="where to write the list")
    args = parser.parse_args()

    lexnames_path = args.lexnames
    if lexnames_path is None and (Path(args.wordnet_dir) / "lexnames").is_file():
        lexnames_path = Path(args.wordnet_dir) / "lexnames"

    levels = read_scowl(args.scowl_dir)
    blocked = read_blocklist(args.blocklist)

    dropped = Counter()
    for word in list(levels):
        if word in blocked:
            dropped["on the blocklist"] += 1
        elif len(word) == 1:
            dropped["single letters"] += 1
        elif not set(word) & DIGITS.keys():
            dropped["without a coded consonant"] += 1
        else:
            continue
        del levels[word]

    concrete = concrete_nouns(args.wordnet_dir, read_lexnames(lexnames_path),
                              levels)
    words = sorted(levels, key=lambda w: (levels[w], w not in concrete, len(w), w))
    if len(words) < MIN_WORDS:
        fail(f"only {len(words)} words, expected at least {MIN_WORDS}; "
             "are the sources complete?")

    # Write next to the target first, so a failed run never leaves half a file.
    temporary = args.output.with_name(args.output.name + ".tmp")
    with open(temporary, "w", encoding="ascii", newline="\n") as f:
        f.writelines(word + "\n" for word in words)
    os.replace(temporary, args.output)

    print(f"{args.output.name}: {len(words)} words, "
          f"{len(concrete)} of them concrete nouns")
    per_level = Counter(levels.values())
    concrete_per_level = Counter(levels[w] for w in concrete)
    for level in LEVELS:
        print(f"  level {level:2}: {per_level[level]:6} words "
              f"({concrete_per_level[level]} concrete nouns)")
    for reason, count in sorted(dropped.items()):
        print(f"  dropped {count} {reason}")
    print(f"  lexicographer files from: {lexnames_path or 'built-in table'}")
    print(f"  codes covered: {coverage(words, 2)} of 100 two-digit, "
          f"{coverage(words, 3)} of 1000 three-digit strings")


if __name__ == "__main__":
    main()
