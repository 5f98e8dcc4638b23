#!/usr/bin/env python3
"""Report how easily a new user pictures the chains Suggest Words proposes.

    python3 tools/chain-report.py --dict-tool NUMBRILL_DICT --dir SHARE_DIR [--data DIR]

Runs `numbrill-dict chain` on the first 100 digits of pi and on 20 random
100-digit strings (always the same ones), with the dictionary of SHARE_DIR and
an empty list of remembered numbers, and prints the chains and four figures.
A word counts as a picture when the ranks file of --data (data/ranks.db,
written by tools/make-wordlist.py) ranks it an everyday concrete noun that
sounds as it is spelt. It exits with status 1 when a figure misses its goal,
so it doubles as a test.
"""

import argparse
import importlib.machinery
import random
import shutil
import subprocess
import sys
import tempfile
import types
from pathlib import Path

from wordcodes import PICTURE_RANK, SPECIALIST_RANK, read_ranks, read_word_set

TOOLS = Path(__file__).resolve().parent
REPO_DATA = TOOLS.parent / "data"

PI = ("31415926535897932384626433832795028841971693993751"
      "05820974944592307816406286208998628034825342117067")
SEED = 20261207
RANDOM_STRINGS = 20

PICTURE_GOAL = 0.95       # share of the chains' words
WORDS_PER_100_GOAL = 40


def builder():
    # The list builder's file name is no module name, so it is loaded by path;
    # it knows which forms of the awkward words are left for last.
    loader = importlib.machinery.SourceFileLoader(
        "make_wordlist", str(TOOLS / "make-wordlist.py"))
    module = types.ModuleType(loader.name)
    module.__file__ = loader.path
    loader.exec_module(module)
    return module


def chain(tool, share_dir, digits):
    result = subprocess.run([str(tool), "chain", "--dir", str(share_dir), digits],
                            capture_output=True, text=True, check=True)
    return [line.split(" ", 1) for line in result.stdout.splitlines() if line]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dict-tool", required=True, type=Path,
                        help="the built numbrill-dict")
    parser.add_argument("--dir", required=True, type=Path,
                        help="the installation folder holding data/num1.db")
    parser.add_argument("--data", default=REPO_DATA, type=Path,
                        help="folder of ranks.db and awkward.txt, to judge words by")
    args = parser.parse_args()

    ranks = read_ranks(args.data / "ranks.db")
    awkward = builder().with_inflections(read_word_set(args.data / "awkward.txt"))
    generator = random.Random(SEED)
    numbers = [("pi", PI)] + [
        (f"random {i + 1}", "".join(generator.choice("0123456789") for _ in range(100)))
        for i in range(RANDOM_STRINGS)]

    words, uncovered = [], []
    # A copy of the dictionary without rv.db: every word counts as unused.
    with tempfile.TemporaryDirectory() as scratch:
        share = Path(scratch)
        (share / "data").mkdir()
        for name in ("num1.db", "num.db", "ranks.db"):
            if (args.dir / "data" / name).is_file():
                shutil.copy(args.dir / "data" / name, share / "data" / name)
        for name, digits in numbers:
            links = chain(args.dict_tool, share, digits)
            words += [word for _, word in links]
            covered = "".join(value for value, _ in links)
            if covered != digits:
                uncovered.append(name)
            if name == "pi":
                print("pi: " + " ".join(word for _, word in links) + "\n")

    pictures = sum(1 for w in words if ranks.get(w) == PICTURE_RANK)
    specialist = [w for w in words if ranks.get(w) == SPECIALIST_RANK and w not in awkward]
    awkward_used = [w for w in words if w in awkward]
    share = pictures / len(words) if words else 0.0
    per_100 = 100.0 * len(words) / (100 * len(numbers))

    figures = [
        (f"picture words: {pictures} of {len(words)} ({100 * share:.1f} %), "
         f"goal {100 * PICTURE_GOAL:g} %", share >= PICTURE_GOAL),
        (f"words per 100 digits: {per_100:.1f}, goal at most {WORDS_PER_100_GOAL}",
         per_100 <= WORDS_PER_100_GOAL),
        (f"specialist words: {len(specialist)} {' '.join(specialist)}".rstrip()
         + ", goal none", not specialist),
        (f"awkward words: {len(awkward_used)} {' '.join(awkward_used)}".rstrip()
         + ", goal none", not awkward_used),
        (f"strings fully covered: {len(numbers) - len(uncovered)} of {len(numbers)}"
         + (f" (not: {', '.join(uncovered)})" if uncovered else ""), not uncovered),
    ]
    for text, ok in figures:
        print(f"{text}: {'ok' if ok else 'BELOW GOAL'}")
    return 0 if all(ok for _, ok in figures) else 1


if __name__ == "__main__":
    sys.exit(main())
