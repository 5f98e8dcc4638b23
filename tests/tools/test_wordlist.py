"""Checks of the rules tools/make-wordlist.py ranks the shipped words by."""

import importlib.machinery
import os
import sys
import types
import unittest
from pathlib import Path

TOOLS = Path(__file__).resolve().parents[2] / "tools"
sys.path.insert(0, str(TOOLS))

from wordcodes import letter_code, sound_code  # noqa: E402

# The builder's file name is no module name, so it is loaded by path.
loader = importlib.machinery.SourceFileLoader("make_wordlist", str(TOOLS / "make-wordlist.py"))
make_wordlist = types.ModuleType(loader.name)
make_wordlist.__file__ = loader.path
loader.exec_module(make_wordlist)

WORDNET = Path(os.environ.get("NUMBRILL_WORDNET_DIR", "/usr/share/wordnet"))


class SoundCode(unittest.TestCase):
    def test_words_that_sound_otherwise_than_spelt(self):
        # word, pronunciation, by sound, by the letters
        for word, phonemes, by_sound, by_letters in (
            ("dog", "D AO1 G", "17", "16"),
            ("ship", "SH IH1 P", "69", "09"),
            ("city", "S IH1 T IY0", "01", "71"),
            ("box", "B AA1 K S", "970", "9"),
            ("back", "B AE1 K", "97", "977"),
            ("sing", "S IH1 NG", "027", "026"),
            ("bird", "B ER1 D", "941", "941"),
            ("thumb", "TH AH1 M", "13", "139"),
            ("hallway", "HH AO1 L W EY2", "5", "5"),
        ):
            with self.subTest(word=word):
                self.assertEqual(sound_code(phonemes.split()), by_sound)
                self.assertEqual(letter_code(word), by_letters)


class Inflections(unittest.TestCase):
    def test_forms_covered_and_not(self):
        for word, covered, not_covered in (
            ("gore", {"gores", "gored", "goring"}, {"goreing", "goreed"}),
            ("murder", {"murders", "murdered", "murdering"}, {"murderred"}),
            ("strip", {"strips", "stripped", "stripping"}, {"striped"}),
            ("seduce", {"seduces", "seduced", "seducing"}, {"seduceed"}),
            ("carcass", {"carcasses"}, {"carcasss"}),
            ("ovary", {"ovaries"}, {"ovarys"}),
        ):
            with self.subTest(word=word):
                forms = make_wordlist.inflections(word)
                self.assertLessEqual(covered, forms)
                self.assertFalse(not_covered & forms)


@unittest.skipUnless((WORDNET / "data.noun").is_file(), "WordNet is not installed")
class ConcreteNouns(unittest.TestCase):
    def test_first_senses_one_can_picture(self):
        # True: counts as a concrete noun. The others are listed with a
        # concrete first sense that nobody thinks of first.
        cases = {
            "dog": True, "tulip": True, "cottage": True, "eunuch": True,
            "jars": True, "geese": True, "pump": True, "sun": True, "moon": True,
            # rarely met as a noun, but no more often as a verb or adjective
            "ladle": True, "tomahawk": True, "pommel": True, "lounge": True,
            "smith": True,  # the first sense is a name, the next a metalworker
            "dry": False,   # a prohibitionist, but mostly an adjective
            "mod": False,   # a person, but as often an adjective
            "me": False, "or": False, "us": False,  # states
            "am": False, "re": False,  # chemical elements
            "ways": False,  # the plural of way, not a slipway
            "season": False,
        }
        found = make_wordlist.concrete_nouns(WORDNET, make_wordlist.BUILTIN_LEXNAMES,
                                             set(cases))
        for word, concrete in cases.items():
            with self.subTest(word=word):
                self.assertEqual(word in found, concrete)


if __name__ == "__main__":
    unittest.main()
