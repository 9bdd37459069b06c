#!/usr/bin/env python3
"""Reads the menu's string table in its six languages and checks its shape.

Standard library only:

    python3 tools/check_strings.py [resource-folder]

The folder (default src/res) holds resource.h and strings/<Language>.rc.
Checks each file's language statement, that every block holds exactly the
identifiers it should (the English block its 106, every other block the same
at its offset less the English-only ones, German and Italian one note at 85),
that each translation keeps the English placeholders, line breaks, empty
lines, numbers and product names, and the rows that must read alike in every
language. Prints one line per check and a closing "N passed, N failed" line;
exits non-zero on any failure.
"""

import collections
import os
import re
import sys

# English identifiers not in use between 1000 and 1116.
UNUSED_NUMBERS = {1001, 1015, 1031, 1033, 1034, 1035, 1038, 1050, 1053, 1085, 1098}
ENGLISH_IDS = set(range(1000, 1117)) - UNUSED_NUMBERS

# Read fixed (or never) and so held by the English block alone.
ENGLISH_ONLY = {1032, *range(1040, 1050), 1051, 1052, *range(1054, 1058), 1059, 1077, 1081, 1097, 1099}

README_FILE = 1058  # + offset: the language's readme file name
LANGUAGE_NAME = 1096  # + offset in the other blocks: the language's own name
SAME_IN_ALL = (1107, 1110, 1112)
SUITE_QUESTION_CAPTION = 1101
UPDATER_NOTE = 85

LANGUAGES = [
    # file, offset, LANGUAGE statement, rows that must read exactly so
    ("English", 0, "LANG_ENGLISH, SUBLANG_ENGLISH_US",
     {1000: "Install Tavrin Nimbo", 1012: "Exit", 1028: "Cannot find the file : '%s'",
      1058: "Readme.htm", 1096: "%s\\ExtraPlug-ins\\Effects", 1099: "English"}),
    ("French", 1000, "LANG_FRENCH, SUBLANG_FRENCH",
     {1000: "Installer Tavrin Nimbo", 1012: "Quitter", 1028: "Impossible de trouver le fichier : '%s'",
      1058: "readme.fr.htm", 1096: "Français"}),
    ("German", 2000, "LANG_GERMAN, SUBLANG_GERMAN",
     {1000: "Tavrin Nimbo installieren", 1012: "Beenden", 1028: "Folgende Datei wurde nicht gefunden: '%s'",
      1058: "readme.de.htm", 1096: "Deutsch"}),
    ("Italian", 3000, "LANG_ITALIAN, SUBLANG_ITALIAN",
     {1000: "Installa Tavrin Nimbo", 1012: "Esci", 1028: "Impossibile trovare il file: '%s'",
      1058: "readme.it.htm", 1096: "Italiano"}),
    ("Spanish", 4000, "LANG_SPANISH, SUBLANG_SPANISH_MEXICAN",
     {1000: "Instalar Tavrin Nimbo", 1012: "Salir", 1028: "No se encuentra el archivo:'%s'",
      1058: "readme.es.htm", 1096: "Español"}),
    ("Japanese", 5000, "LANG_JAPANESE, SUBLANG_DEFAULT",
     {1000: "Tavrin Nimbo のインストール", 1012: "終了", 1028: "次のファイルが見つかりません: '%s'",
      1058: "readme.jp.htm", 1096: "日本語"}),
]
NOTE_LANGUAGES = {"German", "Italian"}
UPDATER_NOTE_TEXT = "The Adobe Updater 1.5.1 is already installed"
HOTFIX_PLACEHOLDER = "This text is yet to be defined"

# Names that a translation keeps as they stand in English.
PRODUCT_NAMES = ["Tavrin Nimbo", "Tavrin Vexa", "Tavrin VFW", "Vexa100", "Adobe After Effects", "3ds max",
                 "LightWave 3D", "Pixélan SpiceMaster", "Acrobat Reader", "Adobe Premiere Pro",
                 "Adobe Photoshop", "TvRegister", "Readme.htm", "Microsoft DirectX", "Hotfix 2", "PDF"]

DEFINE = re.compile(r"^\s*#define\s+(IDS_\w+)\s+(\d+)\s*$")
ENTRY = re.compile(r'^\s*([A-Za-z_]\w*|\d+)(?:\s*\+\s*(\d+))?\s+"((?:[^"]|"")*)"\s*$')
DIRECTIVE = re.compile(r"%.")
NUMBER = re.compile(r"(?<![\w.])\d+(?:\.\d+)*(?!\w)")


class Checker:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, ok, what, detail=""):
        if ok:
            self.passed += 1
            print("ok      " + what)
        else:
            self.failed += 1
            print("FAILED  " + what + (": " + detail if detail else ""))


def read_ids(header):
    ids = {}
    with open(header, encoding="utf-8") as source:
        for line in source:
            match = DEFINE.match(line)
            if match:
                ids[match.group(1)] = int(match.group(2))
    return ids


def unescape(quoted):
    """Turns the inside of an rc string literal into its text; None if it holds an unknown escape."""
    text = []
    i = 0
    while i < len(quoted):
        char = quoted[i]
        if char == '"':  # only ever doubled, as the pattern ensures
            text.append('"')
            i += 2
        elif char == "\\":
            escaped = quoted[i + 1:i + 2]
            if escaped not in ("\\", "n", "t"):
                return None
            text.append({"\\": "\\", "n": "\n", "t": "\t"}[escaped])
            i += 2
        else:
            text.append(char)
            i += 1
    return "".join(text)


def read_block(path, ids, problems):
    """Returns the file's LANGUAGE statement and its texts by number."""
    with open(path, encoding="utf-8") as source:
        lines = source.read().split("\n")
    # The code page and the shared ids come before the language statement.
    code = [line for line in lines if line.strip() and not line.strip().startswith(("//", "#"))]
    language = code[0].strip() if code else ""
    texts = {}
    inside = False
    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        if not stripped or stripped.startswith("//"):
            continue
        if stripped == "BEGIN":
            inside = True
            continue
        if stripped == "END":
            inside = False
            continue
        if not inside:
            continue
        match = ENTRY.match(line)
        if not match:
            problems.append("line %d is no string entry" % number)
            continue
        name, offset, quoted = match.groups()
        if name.isdigit():
            identifier = int(name)
        elif name in ids:
            identifier = ids[name]
        else:
            problems.append("line %d: unknown identifier %s" % (number, name))
            continue
        identifier += int(offset or 0)
        text = unescape(quoted)
        if text is None:
            problems.append("line %d: unknown escape sequence" % number)
            continue
        if identifier in texts:
            problems.append("line %d: %d is given twice" % (number, identifier))
        texts[identifier] = text
    return language, texts


def blank_lines(text):
    return [not part.strip() for part in text.split("\n")]


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "res")
    checker = Checker()
    ids = read_ids(os.path.join(folder, "resource.h"))
    checker.check(len([n for n in ids.values() if n in ENGLISH_IDS]) == len(ENGLISH_IDS),
                  "resource.h names every English text", "%d names" % len(ids))

    blocks = {}
    for language, offset, statement, rows in LANGUAGES:
        problems = []
        tag, texts = read_block(os.path.join(folder, "strings", language + ".rc"), ids, problems)
        blocks[language] = texts
        checker.check(not problems, language + ": every line of the table reads", "; ".join(problems))
        checker.check(tag == "LANGUAGE " + statement, language + ": opens with its language statement", tag)
        with open(os.path.join(folder, "strings", language + ".rc"), encoding="utf-8") as source:
            checker.check("#pragma code_page(65001)" in source.read(),
                          language + ": names its own code page, UTF-8", "no #pragma code_page(65001)")

        expected = {n + offset for n in ENGLISH_IDS if offset == 0 or n not in ENGLISH_ONLY}
        if language in NOTE_LANGUAGES:
            expected.add(offset + 1000 + UPDATER_NOTE)
        missing = sorted(expected - set(texts))
        extra = sorted(set(texts) - expected)
        checker.check(not missing and not extra, "%s: holds exactly its %d texts" % (language, len(expected)),
                      "missing %s, unexpected %s" % (missing, extra))
        empty = sorted(n for n, text in texts.items() if not text)
        checker.check(not empty, language + ": no text is empty", str(empty))

        wrong = ["%d %r" % (n + offset, texts.get(n + offset)) for n, text in rows.items()
                 if texts.get(n + offset) != text]
        checker.check(not wrong, language + ": the fixed rows read as given", "; ".join(wrong))
        if language in NOTE_LANGUAGES:
            note = texts.get(offset + 1000 + UPDATER_NOTE)
            checker.check(note == UPDATER_NOTE_TEXT, language + ": carries the updater note at 85", repr(note))

    english = blocks["English"]
    checker.check(english.get(1107) == HOTFIX_PLACEHOLDER, "English: the hotfix placeholder text")
    for language, offset, _, _ in LANGUAGES[1:]:
        texts = blocks[language]
        same = [n for n in SAME_IN_ALL if texts.get(n + offset) != english[n]]
        checker.check(not same, language + ": 1107, 1110 and 1112 stand as in English", str(same))
        caption = texts.get(SUITE_QUESTION_CAPTION + offset)
        checker.check(caption and caption != english[SUITE_QUESTION_CAPTION],
                      language + ": the suite question caption is translated", repr(caption))

        translated = [n for n in ENGLISH_IDS - ENGLISH_ONLY - {README_FILE, LANGUAGE_NAME, *SAME_IN_ALL}
                      if n + offset in texts]
        rules = [
            ("keeps the English placeholders", lambda text: DIRECTIVE.findall(text)),
            ("keeps the English line breaks and empty lines", blank_lines),
            ("keeps the English numbers", lambda text: sorted(NUMBER.findall(text))),
            ("keeps the product names", lambda text: [name for name in PRODUCT_NAMES if name in text]),
        ]
        for rule, shape in rules:
            differ = []
            for n in sorted(translated):
                want, have = shape(english[n]), shape(texts[n + offset])
                if rule.startswith("keeps the product") and not set(want) <= set(have):
                    differ.append("%d lacks %s" % (n + offset, sorted(set(want) - set(have))))
                elif not rule.startswith("keeps the product") and want != have:
                    differ.append("%d %s against %s" % (n + offset, have, want))
            checker.check(not differ, "%s: %s (%d texts)" % (language, rule, len(translated)), "; ".join(differ))
        untranslated = [n + offset for n in translated
                        if texts[n + offset] == english[n] and n != SUITE_QUESTION_CAPTION]
        checker.check(not untranslated, language + ": every text is translated", str(untranslated))

    counts = collections.Counter()
    for texts in blocks.values():
        counts.update(texts.keys())
    twice = sorted(n for n, count in counts.items() if count > 1)
    checker.check(not twice, "no identifier is used by two languages", str(twice))

    print("%d passed, %d failed" % (checker.passed, checker.failed))
    return 1 if checker.failed else 0


if __name__ == "__main__":
    sys.exit(main())
