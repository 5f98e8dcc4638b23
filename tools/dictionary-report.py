#!/usr/bin/env python3
"""Report how good a first impression the shipped word list makes.

    python3 tools/dictionary-report.py [--data DIR] [--word-file NUM1DB]

A new user sees, for every digit string, the words of its record with the most
preferred one on top. This prints, for data/words.txt, how often that top word
gives the same number by sound as by the program's letter rules, how often it
is a concrete noun one can picture, how many digit strings have a word at all,
and the top words of a sample of strings. It exits with status 1 when a figure
falls short of its goal, so it doubles as a test.

It needs only the files in data/: words.txt, sound-codes.txt and
concrete-nouns.txt (both written by tools/make-wordlist.py). Given the word
file the build made from words.txt (--word-file), it also checks that the
program ranks every record's top word as this report assumes.
"""

import argparse
import sys
from pathlib import Path

from wordcodes import (PICTURE_RANK, SPECIALIST_RANK, letter_code, read_ranks,
                       read_sound_codes, read_word_set)

REPO_DATA = Path(__file__).resolve().parent.parent / "data"

# The first ninety digits of pi in threes: a number every user tries.
SAMPLE = ("314 159 265 358 979 323 846 264 338 327 950 288 419 716 939 "
          "937 510 582 097 494 459 230 781 640 628 620 899 862 803 482").split()

PREFERRED_WORDS = 5000

# Digit strings whose record holds a thing to picture beside a more common
# word that is none; the thing must come first.
PICTURE_BEFORE = {"331": ("mammoth", "maimed"), "515": ("ladle", "little"),
                  "137": ("tomahawk", "atomic"), "526": ("lounge", "lunge"),
                  "846": ("forge", "average"), "031": ("smith", "seemed"),
                  "728": ("convoy", "convey"), "935": ("pommel", "pummel")}


class Figure:
    """One measured share and the least it may be."""

    def __init__(self, name, hits, total, goal):
        self.name, self.hits, self.total, self.goal = name, hits, total, goal

    def ok(self):
        return self.hits >= self.goal * self.total

    def __str__(self):
        share = 100.0 * self.hits / self.total if self.total else 100.0
        mark = "ok" if self.ok() else "BELOW GOAL"
        return (f"{self.name}: {self.hits} of {self.total} ({share:.1f} %), "
                f"goal {100 * self.goal:g} %: {mark}")


def read_word_file(path):
    """Return {key: words, most preferred first} of a built word file."""
    records = {}
    with open(path, "rb") as f:
        for line in f:
            fields = line.strip().strip(b'"').decode("latin-1").split(":")
            records[fields[0]] = list(reversed(fields[1:-1]))
    return records


def measure(words, sounds, concrete, ranks):
    """Return the figures and the top word of every digit string."""
    top = {}
    agreeing_codes, concrete_codes, agreeing_concrete_codes = set(), set(), set()
    picture_codes = set()
    agreeing = set()
    for word in words:
        code = letter_code(word)
        top.setdefault(code, word)
        # A word only specialists know need not come first, agree as it may.
        if code in sounds.get(word, ()) and ranks.get(word) != SPECIALIST_RANK:
            agreeing.add(word)
            agreeing_codes.add(code)
            if word in concrete:
                agreeing_concrete_codes.add(code)
        if word in concrete:
            concrete_codes.add(code)
        if ranks.get(word) == PICTURE_RANK:
            picture_codes.add(code)

    def strings(length):
        return [f"{n:0{length}d}" for n in range(10 ** length)]

    def share_of_tops(name, codes, wanted, goal):
        return Figure(name, sum(1 for c in codes if wanted(top[c])), len(codes), goal)

    two = strings(2)
    three = strings(3)
    figures = [
        Figure("2-digit strings with a word", sum(1 for s in two if s in top),
               len(two), 1.0),
        Figure("3-digit strings with a word", sum(1 for s in three if s in top),
               len(three), 0.88),
        share_of_tops("2-digit strings whose top word agrees by sound",
                      [s for s in two if s in agreeing_codes],
                      lambda w: w in agreeing, 1.0),
        share_of_tops("3-digit strings whose top word agrees by sound",
                      [s for s in three if s in agreeing_codes],
                      lambda w: w in agreeing, 0.98),
        share_of_tops("3-digit strings with an agreeing concrete noun, "
                      "topped by one",
                      [s for s in three if s in agreeing_concrete_codes],
                      lambda w: w in agreeing and w in concrete, 0.98),
        share_of_tops("3-digit strings with an everyday agreeing concrete noun, "
                      "topped by one",
                      [s for s in three if s in picture_codes],
                      lambda w: ranks.get(w) == PICTURE_RANK, 0.98),
        share_of_tops("3-digit strings with a concrete noun, topped by one",
                      [s for s in three if s in concrete_codes],
                      lambda w: w in concrete, 0.80),
        Figure(f"first {PREFERRED_WORDS} words that agree by sound",
               sum(1 for w in words[:PREFERRED_WORDS] if w in agreeing),
               min(PREFERRED_WORDS, len(words)), 0.95),
    ]
    return figures, top


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", default=REPO_DATA, type=Path,
                        help="folder of words.txt and its companions")
    parser.add_argument("--words", type=Path,
                        help="the word list to judge (default: words.txt in --data)")
    parser.add_argument("--word-file", type=Path,
                        help="the word file built from the list, to compare with")
    args = parser.parse_args()

    with open(args.words or args.data / "words.txt", encoding="ascii") as f:
        words = [line.strip() for line in f if line.strip()]
    sounds = read_sound_codes(args.data / "sound-codes.txt")
    concrete = read_word_set(args.data / "concrete-nouns.txt")
    ranks = read_ranks(args.data / "ranks.db")

    figures, top = measure(words, sounds, concrete, ranks)
    failed = [f for f in figures if not f.ok()]
    for figure in figures:
        print(figure)
    for code, (thing, other) in PICTURE_BEFORE.items():
        if top.get(code) != thing:
            failed.append(code)
            print(f"{code}: {top.get(code)} comes first, not {thing} (before {other})")

    print(f"the things to picture before a common word come first: "
          f"{'ok' if all(top.get(c) == t for c, (t, _) in PICTURE_BEFORE.items()) else 'NO'} "
          f"({', '.join(f'{c} {t}' for c, (t, _) in PICTURE_BEFORE.items())})")

    print("\nTop words of the digits of pi in threes (* agrees by sound, "
          "+ concrete noun):")
    for code in SAMPLE:
        word = top.get(code)
        marks = ""
        if word:
            marks = ("*" if code in sounds.get(word, ()) else "") + \
                    ("+" if word in concrete else "")
        print(f"  {code} {word or '-'} {marks}".rstrip())

    if args.word_file:
        records = read_word_file(args.word_file)
        wrong = [key for key, listed in records.items()
                 if key != "~" and listed and top.get(key) != listed[0]]
        print(f"\n{args.word_file.name}: {len(records)} records, "
              f"{len(wrong)} with another top word than the list's")
        if wrong:
            failed.append(wrong)
            print("  " + " ".join(f"{k}:{records[k][0]}/{top.get(k)}"
                                  for k in wrong[:10]))

    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
