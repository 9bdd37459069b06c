#!/usr/bin/python3
"""Lays out a complete sample disc for the menu, with stub programs.

Standard library only:

    make_sample_disc.py OUT_DIR STUB_EXE [SPLASH_EXE]

OUT_DIR becomes the disc root: every folder and file the menu expects is
made there. Each program on the disc is a copy of STUB_EXE (the stub that
records its command line and carries out its sidecar "<name>.do"); the
installers' sidecars wait a moment and then register their product the way
the real setup programs do, so that the menu greys an entry once its item
is installed. SPLASH_EXE, when given, is copied to the root, which is where
the menu takes its disc root from. An existing OUT_DIR is emptied first.
"""

import os
import shutil
import sys

UNINSTALL = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
APP_PATHS = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"
INSTALL_SLEEP_MS = 1500

SUITE_KEY = UNINSTALL + "{444E2E17-6784-4BF0-926A-996E29E73729}"
SUITE_FOLDER = "%ProgramFiles%\\Tavrin\\Nimbo"
READER_FOLDER = "%ProgramFiles%\\Adobe\\Acrobat 5.0\\Reader"


def installer(*actions):
    """A setup program's sidecar: a short wait, then its actions."""
    return ["sleep %d" % INSTALL_SLEEP_MS] + list(actions)


def registers(guid):
    """A setup program that registers its uninstall key."""
    return installer("regkey " + UNINSTALL + guid)


# Every program of the disc with its sidecar (None: ends at once).
PROGRAMS = {
    "Nimbo\\setup.exe": installer(
        "copyself " + SUITE_FOLDER + "\\TvRegister.exe",
        "regvalue SOFTWARE\\Tavrin\\Kardo PATH " + SUITE_FOLDER,
        "regkey " + SUITE_KEY,
        "broadcast"),
    # The clean-up tool runs at every start; it only has to end.
    "Nimbo\\NimboCleanup.fix": None,
    "Tavrin HotFix2\\Vexa_HotFix2.exe": installer(),
    "Adobe Updater 1.5.1\\setup.exe": installer(),
    "ExtraPlug-ins\\AfterEffects\\setup.exe":
        registers("{CB89C001-6354-46C0-AD14-ABCCB79DADA6}"),
    "ExtraPlug-ins\\3DsMax\\setup.exe":
        registers("{778B04A4-56EA-40CD-B042-E3842F375A83}"),
    "ExtraPlug-ins\\Photoshop\\setup.exe":
        registers("{EF9EEF08-037B-499F-BDB8-0DFAF9AAF562}"),
    "ExtraPlug-ins\\LightWave\\setup.exe":
        registers("{A15E3203-D026-4CBB-9947-2825E1AEE4DE}"),
    "ExtraPlug-ins\\Effects\\Setup.exe": installer(),
    "Bonus\\DesktopWallpapers\\setup.exe":
        registers("{BC63809E-2917-4E6E-AF3A-8D1EE3CDD516}"),
    "Bonus\\VFWSoftwareCodecs\\setup.exe":
        registers("{6a8189b9-edf5-4b5b-97d0-6dd18fc78470}"),
    "Bonus\\Pixelan\\spicemaster2tavrindemo.exe": None,
    "Bonus\\AcrobatReader\\Acrobat Reader 5.00.exe": installer(
        "copyself " + READER_FOLDER + "\\AcroRd32.exe",
        "regvalue \"" + APP_PATHS + "AcroRd32.exe\" Path " + READER_FOLDER),
}

MANUALS = {
    "Docs\\Manual_VexaA.pdf": "Tavrin Vexa manual A (Vexa10)",
    "Docs\\Manual_VexaB.pdf": "Tavrin Vexa manual B (Vexa100)",
}

READMES = {
    "Readme.htm": ("en", "Tavrin Vexa Readme",
                   "Sample readme of the Tavrin Vexa disc (English)."),
    "Readme\\readme.fr.htm": ("fr", "Tavrin Vexa Lisez-moi",
                              "Exemple de fichier lisez-moi (fran&ccedil;ais)."),
    "Readme\\readme.de.htm": ("de", "Tavrin Vexa Liesmich",
                              "Beispiel einer Liesmich-Datei (Deutsch)."),
    "Readme\\readme.it.htm": ("it", "Tavrin Vexa Leggimi",
                              "Esempio di file leggimi (italiano)."),
    "Readme\\readme.es.htm": ("es", "Tavrin Vexa L&eacute;ame",
                              "Ejemplo de archivo l&eacute;ame (espa&ntilde;ol)."),
    "Readme\\readme.jp.htm": ("ja", "Tavrin Vexa Readme",
                              "Sample readme of the Tavrin Vexa disc "
                              "(&#26085;&#26412;&#35486;)."),
}


def pdf_bytes(text):
    """A one-page PDF showing one line of text, with a correct xref table."""
    stream = ("BT /F1 18 Tf 72 720 Td (%s) Tj ET" % text).encode("latin-1")
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] "
        b"/Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>",
        b"<< /Length %d >>\nstream\n" % len(stream) + stream
        + b"\nendstream",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    ]
    out = bytearray(b"%PDF-1.4\n")
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += (b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n"
            % (len(objects) + 1, xref))
    return bytes(out)


def html_page(language, title, body):
    """A small readme page in the given language."""
    return ("<!DOCTYPE html>\n<html lang=\"%s\">\n<head><meta charset=\"utf-8\">"
            "<title>%s</title></head>\n<body><h1>%s</h1>\n<p>%s</p>\n"
            "</body>\n</html>\n" % (language, title, title, body))


def native(root, relative):
    """The disc path "A\\B" under root, in this system's form."""
    return os.path.join(root, *relative.split("\\"))


def write_file(root, relative, data):
    """Writes text or bytes to a file of the disc, making its folders."""
    path = native(root, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(path, mode, newline="" if mode == "w" else None) as f:
        f.write(data)


def make_disc(root, stub, splash=None):
    """Builds the disc under root; returns the number of files written."""
    if os.path.isdir(root) and os.listdir(root):
        # Only an earlier sample disc is ever removed.
        if not os.path.isfile(native(root, "Nimbo\\setup.exe")):
            raise SystemExit("refusing to empty %s: not a sample disc" % root)
        shutil.rmtree(root)
    os.makedirs(root, exist_ok=True)
    count = 0
    for relative, actions in PROGRAMS.items():
        path = native(root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        shutil.copyfile(stub, path)
        count += 1
        if actions:
            write_file(root, relative + ".do", "\r\n".join(actions) + "\r\n")
            count += 1
    for relative, text in MANUALS.items():
        write_file(root, relative, pdf_bytes(text))
        count += 1
    for relative, page in READMES.items():
        write_file(root, relative, html_page(*page))
        count += 1
    if splash:
        shutil.copyfile(splash, os.path.join(root, "Splash.exe"))
        count += 1
    return count


def main(argv):
    if len(argv) not in (3, 4):
        sys.stderr.write(__doc__)
        return 2
    root, stub = argv[1], argv[2]
    splash = argv[3] if len(argv) == 4 else None
    for path in filter(None, (stub, splash)):
        if not os.path.isfile(path):
            sys.stderr.write("no such file: %s\n" % path)
            return 1
    count = make_disc(root, stub, splash)
    print("sample disc: %d files in %s" % (count, os.path.normpath(root)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
