"""The two ways of turning a word into digits, shared by the dictionary tools.

letter_code() is the program's own rule, which works on the spelling;
sound_code() reads a pronunciation instead. A word whose letter code equals
one of its sound codes gives the same number whether it is decoded from the
page or by ear.
"""

# The phonetic code, letter by letter. Only lowercase words reach this table,
# so the capital Z that also stands for 0 never comes up here.
LETTER_DIGITS = {
    "s": "0", "t": "1", "d": "1", "n": "2", "m": "3", "r": "4", "l": "5",
    "j": "6", "g": "6", "c": "7", "k": "7", "f": "8", "v": "8", "p": "9",
    "b": "9",
}

# The usual sound-based reading of the same code, by ARPAbet phoneme (stress
# marks removed). ER is the r-coloured vowel of "bird" and "butter"; NG is the
# n of "sing", which carries a g sound with it. Vowels, W, Y and HH give
# nothing.
SOUND_DIGITS = {
    "S": "0", "Z": "0",
    "T": "1", "D": "1", "TH": "1", "DH": "1",
    "N": "2", "M": "3", "R": "4", "ER": "4", "L": "5",
    "JH": "6", "CH": "6", "SH": "6", "ZH": "6",
    "K": "7", "G": "7", "F": "8", "V": "8", "P": "9", "B": "9",
    "NG": "27",
}


def letter_code(word):
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
            code.append(LETTER_DIGITS.get(current, ""))
        previous = current
    if previous == "k":
        code.append("7")
    return "".join(code)


def sound_code(phonemes):
    """The digit string of a pronunciation given as ARPAbet phonemes."""
    return "".join(SOUND_DIGITS.get(p.rstrip("012"), "") for p in phonemes)


def read_sound_codes(path):
    """Read a sound-code file: {word: set of digit strings}.

    Each line holds a word and its sound codes, separated by blanks; "-" stands
    for a pronunciation that gives no digit at all.
    """
    codes = {}
    with open(path, encoding="ascii") as f:
        for line in f:
            fields = line.split()
            if fields and not fields[0].startswith("#"):
                codes[fields[0]] = {"" if c == "-" else c for c in fields[1:]}
    return codes


def write_sound_codes(path, codes, words):
    """Write the sound codes of those words that have any, in word order."""
    with open(path, "w", encoding="ascii", newline="\n") as f:
        for word in words:
            if word in codes:
                listed = " ".join(c or "-" for c in sorted(codes[word]))
                f.write(f"{word} {listed}\n")


def read_word_set(path):
    """Read a list of words, one a line; "#" starts a comment line."""
    with open(path, encoding="utf-8") as f:
        return {line.strip() for line in f
                if line.strip() and not line.lstrip().startswith("#")}


# The ranks file written by make-wordlist.py: how easily a new user pictures a
# word, 1 best, 5 for specialist and awkward words; unlisted words are 4.
RANKS_HEADER = "numbrill word ranks 1"
DEFAULT_RANK = 4
PICTURE_RANK = 1
SPECIALIST_RANK = 5


def read_ranks(path):
    """Read a ranks file: {word: rank} of the words it lists."""
    with open(path, encoding="ascii", newline="") as f:
        lines = f.read().split("\r\n")
    if lines[0] != RANKS_HEADER or lines[-1] != "" or not lines[-2].startswith("end "):
        raise ValueError(f"{path}: not a complete ranks file")
    ranks = {}
    for line in lines[1:-2]:
        rank, word = line.split(" ")
        ranks[word] = int(rank)
    if len(ranks) != int(lines[-2][4:]):
        raise ValueError(f"{path}: the count at the end does not match")
    return ranks
