#!/usr/bin/env python3
"""Build data/words.txt, the word list the Numbrill dictionary is made from.

The words come from Debian's `scowl` package (the SCOWL word lists), are
checked against the CMU Pronouncing Dictionary and ranked with the help of
`wordnet-base` (the WordNet 3.0 database). Run this by hand whenever the
sources, data/blocklist.txt or data/awkward.txt change, then commit the
results; the build only ever reads the finished files.

    python3 tools/make-wordlist.py --cmudict PATH [--scowl-dir DIR] [--wordnet-dir DIR]

PATH is the pronouncing dictionary: the `index.js` of the npm package
`cmu-pronouncing-dictionary` (or the folder holding it), or a plain cmudict
file with one "word  PH O NE S" entry a line.

Which words are kept:
  * English and American-spelling SCOWL words up to size 70, plain lowercase
    a-z only (no names, abbreviations, contractions, possessives or accents);
  * not on the blocklist, not a single letter, and with at least one
    consonant that stands for a digit (a word that encodes to nothing is no
    use).

Order of the output, most preferred first. A word "agrees" when the program's
letter code gives one of the numbers its pronunciations give by sound.
  1. agreeing concrete nouns of everyday words (SCOWL size 50 or less);
  2. agreeing concrete nouns of SCOWL sizes 55 and 60;
  3. other agreeing everyday words;
  4. other agreeing words, among them the words only specialists know
     (SCOWL size 70), concrete or not;
  5. words that do not agree, or that the pronouncing dictionary lacks;
  6. abbreviations (words without a vowel, y counting as one);
  7. words awkward to picture in front of others (data/awkward.txt).
Within a group: lower SCOWL size first, then concrete nouns, shorter words,
alphabetical order.

Besides words.txt it writes data/sound-codes.txt (each listed word's sound
codes) and data/concrete-nouns.txt (the listed words counted as concrete
nouns), so that tools/dictionary-report.py can judge the list without the
sources.
"""

import argparse
import os
import re
import sys
from collections import Counter, defaultdict
from pathlib import Path

from wordcodes import (DEFAULT_RANK, LETTER_DIGITS, RANKS_HEADER, letter_code,
                       read_word_set, sound_code, write_sound_codes)

REPO_DATA = Path(__file__).resolve().parent.parent / "data"

LEVELS = (10, 20, 35, 40, 50, 55, 60, 70)
LIST_KINDS = ("english-words", "american-words")

# SCOWL sizes up to 50 hold the words everyone knows; size 70 adds the ones
# only specialists use (anonym, argufy, mikva, fogbow).
EVERYDAY_LEVEL = 50
SPECIALIST_LEVEL = 70

# Refuse to write a list smaller than this; it means a source went missing.
MIN_WORDS = 60000

# Things one can see and picture: people, animals, made things, body parts,
# food, natural objects, plants and substances.
CONCRETE_LEXFILES = {
    "noun.person", "noun.animal", "noun.artifact", "noun.body",
    "noun.food", "noun.object", "noun.plant", "noun.substance",
}

# A noun sense never met in WordNet's tagged texts still counts when the word
# was met at most this often as a verb, adjective or adverb.
RARE_NOUN_TAGS = 3

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

PLAIN_LETTERS = set("abcdefghijklmnopqrstuvwxyz")
VOWELS = set("aeiouy")


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


def inflections(word):
    """A word with its regular plural, past and -ing forms."""
    forms = {word}
    if word.endswith(("s", "x", "z", "ch", "sh")):
        forms.add(word + "es")
    elif word.endswith("y") and word[-2:-1] not in VOWELS:
        forms |= {word[:-1] + "ies", word[:-1] + "ied"}
    else:
        forms.add(word + "s")
    syllables = len(re.findall("[aeiouy]+", word))
    if syllables == 1 and len(word) >= 3 and word[-1] not in VOWELS | {"w", "x"} \
            and word[-2] in VOWELS and word[-3] not in VOWELS:
        # A short syllable doubles its final consonant: strip, stripped.
        forms |= {word + word[-1] + "ed", word + word[-1] + "ing"}
    elif word.endswith("e"):
        forms |= {word + "d", word[:-1] + "ing"}
    else:
        forms |= {word + "ed", word + "ing"}
    return forms


def with_inflections(words):
    return set().union(*map(inflections, words))


CMU_JS_ENTRY = re.compile(r'^\s*"([^"]+)":\s*"([^"]*)"')


def read_cmudict(path):
    """Return {word: set of sound codes} from the CMU Pronouncing Dictionary.

    Reads either the JavaScript module of the npm package or a plain cmudict
    file. Alternative pronunciations ("word(2)") add codes to their word.
    """
    path = Path(path)
    if path.is_dir():
        path = path / "index.js"
    if not path.is_file():
        fail(f"no pronouncing dictionary at {path}")
    module = path.suffix == ".js"
    codes = defaultdict(set)
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            if module:
                match = CMU_JS_ENTRY.match(line)
                if not match:
                    continue
                word, phonemes = match.group(1), match.group(2).split()
            else:
                fields = line.split("#", 1)[0].split()
                if len(fields) < 2 or line.startswith(";;;"):
                    continue
                word, phonemes = fields[0], fields[1:]
            word = re.sub(r"\(\d+\)$", "", word).lower()
            if set(word) <= PLAIN_LETTERS:
                codes[word].add(sound_code(phonemes))
    if len(codes) < 100000:
        fail(f"{path} holds only {len(codes)} words; is it the whole dictionary?")
    return codes


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


def read_index(path, words):
    """Return {lemma: (sense count, [synset offsets])} of one WordNet index."""
    # Each line: lemma pos synset_cnt p_cnt [ptr_symbol...] sense_cnt
    # tagsense_cnt synset_offset... with the senses in frequency order. The
    # licence header lines start with spaces.
    entries = {}
    with open(path, encoding="latin-1") as f:
        for line in f:
            if line.startswith(" "):
                continue
            fields = line.split()
            if fields[0] in words:
                pointer_count = int(fields[3])
                entries[fields[0]] = (int(fields[2]),
                                      [int(o) for o in fields[6 + pointer_count:]])
    return entries


def read_tag_counts(path, words):
    """Return {(lemma, part of speech): [count of each sense, by sense number]}.

    The counts say how often each sense was met in WordNet's tagged texts;
    part of speech 1 is noun, 2 verb, 3 and 5 adjective, 4 adverb.
    """
    counts = defaultdict(lambda: defaultdict(int))
    if not path.is_file():
        return counts
    with open(path, encoding="latin-1") as f:
        for line in f:
            fields = line.split()
            if len(fields) != 3:
                continue
            lemma, _, rest = fields[0].partition("%")
            if lemma not in words:
                continue
            pos = "3" if rest[0] == "5" else rest[0]
            counts[lemma, pos][int(fields[1])] += int(fields[2])
    return counts


def plural_bases(wordnet_dir, words):
    """Return {plural: singular} for the words that are plurals of a noun."""
    with open(wordnet_dir / "index.noun", encoding="latin-1") as f:
        nouns = {line.split(" ", 1)[0] for line in f if not line.startswith(" ")}
    irregular = {}
    with open(wordnet_dir / "noun.exc", encoding="latin-1") as f:
        for line in f:
            fields = line.split()
            if len(fields) >= 2:
                irregular[fields[0]] = fields[1]
    endings = (("ses", "s"), ("xes", "x"), ("zes", "z"), ("ches", "ch"),
               ("shes", "sh"), ("men", "man"), ("ies", "y"), ("s", ""))
    bases = {}
    for word in words:
        if word in irregular:
            bases[word] = irregular[word]
            continue
        for ending, replacement in endings:
            if word.endswith(ending) and word[:-len(ending)] + replacement in nouns:
                bases[word] = word[:-len(ending)] + replacement
                break
    return bases


def concrete_nouns(wordnet_dir, lexnames, words, picturable=frozenset()):
    """Return the subset of words that are concrete nouns.

    A word counts when its most frequent noun sense spelt in lowercase is
    something one can see (see CONCRETE_LEXFILES), and the noun is not a rare use of a word that is mostly
    something else: "dry" is listed with a first noun sense of a person, but
    nobody thinks of one. The words of `picturable` count whatever WordNet
    says of them.
    """
    wordnet_dir = Path(wordnet_dir)
    # WordNet lists nouns in the singular; a plural is as concrete as its
    # singular ("jars", "geese").
    singular = plural_bases(wordnet_dir, words)
    lemmas = set(words) | set(singular.values())
    nouns = read_index(wordnet_dir / "index.noun", lemmas)
    describing = defaultdict(int)  # senses of each word as adjective or adverb
    for part in ("adj", "adv"):
        for word, (senses, _) in read_index(wordnet_dir / f"index.{part}", words).items():
            describing[word] += senses
    tags = read_tag_counts(wordnet_dir / "cntlist.rev", lemmas)

    def is_concrete(word, senses, offsets, f):
        if word in picturable:
            return True
        # The word's own first sense decides: a sense whose synset spells the
        # word only with capitals is a name or a symbol ("Smith" the economist
        # before the smith at his forge; "Am", the element), so it is skipped.
        for number, offset in enumerate(offsets, 1):
            # A synset offset is the byte position of its line in data.noun;
            # the line holds the lexicographer file number, then its words.
            f.seek(offset)
            fields = f.readline().split()
            if int(fields[0]) != offset:
                fail(f"data.noun has no synset at offset {offset} ({word})")
            spellings = [fields[4 + 2 * i].decode("latin-1")
                         for i in range(int(fields[3], 16))]
            if word in spellings:
                break
        else:
            return False
        if lexnames[int(fields[1])] not in CONCRETE_LEXFILES:
            return False
        # A noun sense met in WordNet's tagged texts counts. One never met
        # there is a rare use of a word that is mostly a verb or adjective
        # ("dry" is listed with a first noun sense of a prohibitionist) unless
        # the word is rare either way. Then an adjective reading as common
        # as the noun wins ("mod"), but a verb does not: most things are also
        # something one does with them, and a ladle stays a thing.
        if tags[word, "1"][number] > 0:
            return True
        if sum(sum(tags[word, pos].values()) for pos in "234") > RARE_NOUN_TAGS:
            return False
        return describing[word] < senses

    with open(wordnet_dir / "data.noun", "rb") as f:
        concrete = {word for word, (senses, offsets) in nouns.items()
                    if is_concrete(word, senses, offsets, f)}
    for word, base in singular.items():
        # "ways" is listed as a noun of its own, but is mostly the plural of
        # "way": the more frequent reading decides.
        if word not in nouns or tags[base, "1"][1] > tags[word, "1"][1]:
            if base in concrete:
                concrete.add(word)
            else:
                concrete.discard(word)
    return concrete & set(words)


def coverage(words, length):
    codes = {letter_code(w) for w in words}
    return sum(1 for n in range(10 ** length) if f"{n:0{length}d}" in codes)


def write_lines(path, lines):
    # Write next to the target first, so a failed run never leaves half a file.
    temporary = path.with_name(path.name + ".tmp")
    with open(temporary, "w", encoding="ascii", newline="\n") as f:
        f.writelines(line + "\n" for line in lines)
    os.replace(temporary, path)


# The ranks file: a header line, one "RANK WORD" line for every word whose rank
# is not DEFAULT_RANK, and a last line "end COUNT" with the number of word
# lines, so that a reader can tell a cut-off file; ASCII, CR LF line ends.
RANKS = (
    (1, "agreeing everyday concrete nouns"),
    (2, "other agreeing concrete nouns"),
    (3, "other agreeing everyday words"),
    (4, "the rest"),
    (5, "specialist and awkward words"),
)


def write_ranks(path, ranked):
    lines = [f"{rank} {word}" for word, rank in ranked if rank != DEFAULT_RANK]
    temporary = path.with_name(path.name + ".tmp")
    with open(temporary, "w", encoding="ascii", newline="\r\n") as f:
        f.writelines(line + "\n" for line in [RANKS_HEADER, *lines, f"end {len(lines)}"])
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cmudict", required=True, type=Path,
                        help="the CMU Pronouncing Dictionary (npm package folder, "
                        "its index.js, or a plain cmudict file)")
    parser.add_argument("--scowl-dir", default="/usr/share/dict/scowl",
                        help="directory of the SCOWL lists (default: %(default)s)")
    parser.add_argument("--wordnet-dir", default="/usr/share/wordnet",
                        help="WordNet database directory (default: %(default)s)")
    parser.add_argument("--lexnames", help="WordNet lexnames file (default: the "
                        "one in the WordNet directory, else the built-in table)")
    parser.add_argument("--blocklist", default=REPO_DATA / "blocklist.txt",
                        type=Path, help="words to leave out")
    parser.add_argument("--awkward", default=REPO_DATA / "awkward.txt",
                        type=Path, help="words to put last in their record")
    parser.add_argument("--picturable", default=REPO_DATA / "picturable.txt",
                        type=Path, help="words to count as concrete nouns")
    parser.add_argument("--ranks", default=REPO_DATA / "ranks.db", type=Path,
                        help="where to write the words' ranks")
    parser.add_argument("--output", default=REPO_DATA / "words.txt", type=Path,
                        help="where to write the list")
    parser.add_argument("--sound-codes", default=REPO_DATA / "sound-codes.txt",
                        type=Path, help="where to write the words' sound codes")
    parser.add_argument("--concrete", default=REPO_DATA / "concrete-nouns.txt",
                        type=Path, help="where to write the concrete nouns")
    args = parser.parse_args()

    lexnames_path = args.lexnames
    if lexnames_path is None and (Path(args.wordnet_dir) / "lexnames").is_file():
        lexnames_path = Path(args.wordnet_dir) / "lexnames"

    levels = read_scowl(args.scowl_dir)
    blocked = read_word_set(args.blocklist)
    awkward = with_inflections(read_word_set(args.awkward))
    sounds = read_cmudict(args.cmudict)

    dropped = Counter()
    for word in list(levels):
        if word in blocked:
            dropped["on the blocklist"] += 1
        elif len(word) == 1:
            dropped["single letters"] += 1
        elif not set(word) & LETTER_DIGITS.keys():
            dropped["without a coded consonant"] += 1
        else:
            continue
        del levels[word]

    concrete = concrete_nouns(args.wordnet_dir, read_lexnames(lexnames_path),
                              levels, read_word_set(args.picturable))

    # A thing only specialists have heard of (a kittiwake, a fescue) is no
    # easier to picture than an abstract word.
    concrete = {w for w in concrete if levels[w] < SPECIALIST_LEVEL}

    def group(word):
        if word in awkward:
            return 6
        if not set(word) & VOWELS:
            return 5
        if letter_code(word) not in sounds.get(word, ()):
            return 4
        if word in concrete:
            return 0 if levels[word] <= EVERYDAY_LEVEL else 1
        return 2 if levels[word] <= EVERYDAY_LEVEL else 3

    def rank(word):
        """How easily a new user pictures the word, 1 best; see RANKS."""
        if word in awkward or levels[word] >= SPECIALIST_LEVEL:
            return 5
        return min(group(word), 3) + 1

    # The ranks come first, so that the first word of every record is also
    # the one the chain search finds cheapest.
    words = sorted(levels, key=lambda w: (rank(w), group(w), levels[w],
                                          w not in concrete, len(w), w))
    if len(words) < MIN_WORDS:
        fail(f"only {len(words)} words, expected at least {MIN_WORDS}; "
             "are the sources complete?")

    write_lines(args.output, words)
    write_sound_codes(args.sound_codes, sounds, words)
    write_lines(args.concrete, [w for w in words if w in concrete])
    write_ranks(args.ranks, [(w, rank(w)) for w in words])

    groups = Counter(group(w) for w in words)
    print(f"{args.output.name}: {len(words)} words, "
          f"{len(concrete)} of them concrete nouns, "
          f"{sum(1 for w in words if w in sounds)} in the pronouncing dictionary")
    for number, name in enumerate((
            "agreeing everyday concrete nouns", "agreeing other concrete nouns",
            "other agreeing everyday words", "other agreeing words", "not agreeing or not pronounced",
            "abbreviations", "awkward words")):
        print(f"  {groups[number]:6} {name}")
    ranks = Counter(rank(w) for w in words)
    for number, name in RANKS:
        print(f"  {ranks[number]:6} of rank {number}, {name}")
    for reason, count in sorted(dropped.items()):
        print(f"  dropped {count} {reason}")
    print(f"  lexicographer files from: {lexnames_path or 'built-in table'}")
    print(f"  codes covered: {coverage(words, 2)} of 100 two-digit, "
          f"{coverage(words, 3)} of 1000 three-digit strings")


if __name__ == "__main__":
    main()
