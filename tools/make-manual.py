#!/usr/bin/env python3
"""Makes the user manuals (PDF) from their sources in docs/manual/.

The sources use a small part of Markdown: "# " title, "## " and "### " headings,
paragraphs, "- " list items and "![caption](picture.png)" for a picture (8-bit RGB
PNG, not interlaced). The output uses the PDF standard fonts Helvetica and
Helvetica-Bold, so nothing but Python is needed, and it is the same byte for byte on
every run: the PDFs are kept in the repository and a test checks they are current.

    tools/make-manual.py           writes the PDFs into data/HELP/...
    tools/make-manual.py --check   fails when a kept PDF differs from its source
"""
import os
import re
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOFTWARE = "data/HELP/{lang}/Index/Seiten/Produkte/Software"
MANUALS = [
    ("docs/manual/de/Handbuch.md", SOFTWARE + "/Halvora/Handbuch/Handbuch_Halvora_DE.pdf", "DE"),
    ("docs/manual/de/Uebersicht.md", SOFTWARE + "/Index_DE.pdf", "DE"),
    ("docs/manual/en/Manual.md", SOFTWARE + "/Halvora/Manual/Manual_Halvora_EN.pdf", "EN"),
    ("docs/manual/en/Overview.md", SOFTWARE + "/Index_EN.pdf", "EN"),
]

# Advance widths (1/1000 em) of the characters 32..126 and of the few others the
# manuals use, from the metrics of the standard fonts.
ASCII_WIDTHS = {
    "F1": [278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556, 556, 556,
           556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667, 611, 778, 722, 278,
           500, 667, 556, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469,
           556, 333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556, 556, 556, 333, 500,
           278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584],
    "F2": [278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556, 556, 556,
           556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611, 975, 722, 722, 722, 722, 667, 611, 778, 722, 278,
           556, 722, 611, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 333, 278, 333, 584,
           556, 333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556, 278, 889, 611, 611, 611, 611, 389, 556,
           333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584],
}
OTHER_WIDTHS = {
    "F1": {"Ä": 667, "Ö": 778, "Ü": 722, "ä": 556, "ö": 556, "ü": 556, "ß": 611, "–": 556, "„": 333, "“": 333,
           "”": 333, "•": 350, "é": 556, "°": 400, "’": 222, "…": 1000},
    "F2": {"Ä": 722, "Ö": 778, "Ü": 722, "ä": 556, "ö": 611, "ü": 611, "ß": 611, "–": 556, "„": 500, "“": 500,
           "”": 500, "•": 350, "é": 556, "°": 400, "’": 278, "…": 1000},
}

PAGE_W, PAGE_H = 595, 842          # A4 in points
LEFT, RIGHT, TOP, BOTTOM = 64, 64, 64, 64
TEXT_W = PAGE_W - LEFT - RIGHT

STYLES = {   # font, size, leading, space before, space after
    "title": ("F2", 22, 28, 0, 14),
    "h2": ("F2", 14, 18, 12, 4),
    "h3": ("F2", 11.5, 15, 8, 2),
    "p": ("F1", 10.5, 14, 0, 6),
    "li": ("F1", 10.5, 14, 0, 2),
    "caption": ("F1", 9, 12, 4, 10),
}


def text_width(text, font, size):
    total = 0
    for ch in text:
        code = ord(ch)
        if 32 <= code <= 126:
            total += ASCII_WIDTHS[font][code - 32]
        elif ch in OTHER_WIDTHS[font]:
            total += OTHER_WIDTHS[font][ch]
        else:
            raise ValueError("character %r has no width in the manual's fonts" % ch)
    return total * size / 1000.0


def wrap(text, font, size, width):
    lines, line = [], ""
    for word in text.split():
        candidate = word if not line else line + " " + word
        if line and text_width(candidate, font, size) > width:
            lines.append(line)
            line = word
        else:
            line = candidate
    if line:
        lines.append(line)
    return lines


def pdf_string(text):
    data = text.encode("cp1252")
    return b"(" + data.replace(b"\\", b"\\\\").replace(b"(", b"\\(").replace(b")", b"\\)") + b")"


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + " is not a PNG picture")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", chunk)
        elif kind == b"IDAT":
            idat += chunk
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 2 or interlace != 0:
        raise ValueError(path + ": only 8-bit RGB pictures without interlacing are supported")
    return width, height, idat


class Document:
    def __init__(self):
        self.pages = []      # content streams
        self.images = []     # (width, height, png data)
        self.ops = []
        self.y = PAGE_H - TOP

    def new_page(self):
        if self.ops:
            self.pages.append("\n".join(self.ops))
        self.ops = []
        self.y = PAGE_H - TOP

    def room(self, height):
        if self.y - height < BOTTOM:
            self.new_page()

    def text_line(self, x, text, font, size):
        self.ops.append("BT /%s %.1f Tf %.2f %.2f Td %s Tj ET" % (font, size, x, self.y, pdf_string(text).decode("latin-1")))

    def block(self, style, text, indent=0, bullet=False):
        font, size, leading, before, after = STYLES[style]
        lines = wrap(text, font, size, TEXT_W - indent)
        if self.y < PAGE_H - TOP:
            self.y -= before
        # A heading stays with at least two lines of what follows.
        self.room(leading * (len(lines) + (2 if style.startswith("h") or style == "title" else 0)))
        for i, line in enumerate(lines):
            self.y -= leading
            if bullet and i == 0:
                self.text_line(LEFT + indent - 11, "•", font, size)
            self.text_line(LEFT + indent, line, font, size)
        self.y -= after

    def picture(self, path, caption):
        width, height, idat = read_png(path)
        scale = min(1.0, TEXT_W / width)
        w, h = width * scale, height * scale
        self.room(h + 30)
        self.y -= h + 4
        self.images.append((width, height, idat))
        self.ops.append("q %.2f 0 0 %.2f %.2f %.2f cm /Im%d Do Q" % (w, h, LEFT, self.y, len(self.images)))
        if caption:
            self.block("caption", caption)

    def render(self):
        self.new_page()
        objects = []

        def add(body):
            objects.append(body)
            return len(objects)

        catalog = add(None)
        pages = add(None)
        fonts = [add(b"<< /Type /Font /Subtype /Type1 /BaseFont /%s /Encoding /WinAnsiEncoding >>" % name)
                 for name in (b"Helvetica", b"Helvetica-Bold")]
        images = []
        for width, height, idat in self.images:
            head = (b"<< /Type /XObject /Subtype /Image /Width %d /Height %d /ColorSpace /DeviceRGB "
                    b"/BitsPerComponent 8 /Filter /FlateDecode /DecodeParms << /Predictor 15 /Colors 3 "
                    b"/BitsPerComponent 8 /Columns %d >> /Length %d >>" % (width, height, width, len(idat)))
            images.append(add(head + b"\nstream\n" + idat + b"\nendstream"))
        xobjects = b" ".join(b"/Im%d %d 0 R" % (i + 1, n) for i, n in enumerate(images))
        resources = b"<< /Font << /F1 %d 0 R /F2 %d 0 R >> /XObject << %s >> >>" % (fonts[0], fonts[1], xobjects)
        kids = []
        for number, content in enumerate(self.pages, 1):
            footer = "BT /F1 8 Tf %.2f %.2f Td (%d) Tj ET" % (PAGE_W / 2 - 4, BOTTOM / 2, number)
            # Uncompressed, so that the output does not depend on the zlib in use.
            stream = (content + "\n" + footer).encode("latin-1")
            c = add(b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"\nendstream")
            kids.append(add(b"<< /Type /Page /Parent %d 0 R /MediaBox [0 0 %d %d] /Resources %s /Contents %d 0 R >>"
                            % (pages, PAGE_W, PAGE_H, resources, c)))
        objects[catalog - 1] = b"<< /Type /Catalog /Pages %d 0 R >>" % pages
        objects[pages - 1] = b"<< /Type /Pages /Kids [%s] /Count %d >>" % (
            b" ".join(b"%d 0 R" % k for k in kids), len(kids))
        out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
        offsets = []
        for number, body in enumerate(objects, 1):
            offsets.append(len(out))
            out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
        xref = len(out)
        out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
        for offset in offsets:
            out += b"%010d 00000 n \n" % offset
        out += b"trailer\n<< /Size %d /Root %d 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, catalog, xref)
        return bytes(out)


def build(source):
    doc = Document()
    folder = os.path.dirname(source)
    paragraph = []

    def flush():
        if paragraph:
            doc.block("p", " ".join(paragraph))
            paragraph.clear()

    with open(source, encoding="utf-8") as f:
        for raw in f:
            line = raw.rstrip("\n").strip()
            picture = re.match(r"!\[(.*)\]\((.+)\)$", line)
            if not line:
                flush()
            elif line.startswith("### "):
                flush()
                doc.block("h3", line[4:])
            elif line.startswith("## "):
                flush()
                doc.block("h2", line[3:])
            elif line.startswith("# "):
                flush()
                doc.block("title", line[2:])
            elif line.startswith("- "):
                flush()
                doc.block("li", line[2:], indent=14, bullet=True)
            elif picture:
                flush()
                doc.picture(os.path.normpath(os.path.join(folder, picture.group(2))), picture.group(1))
            else:
                paragraph.append(line)
    flush()
    return doc.render()


def main():
    check = "--check" in sys.argv[1:]
    stale = []
    for source, target, lang in MANUALS:
        pdf = build(os.path.join(ROOT, source))
        path = os.path.join(ROOT, target.format(lang=lang))
        if check:
            try:
                with open(path, "rb") as f:
                    if f.read() != pdf:
                        stale.append(target.format(lang=lang))
            except OSError:
                stale.append(target.format(lang=lang))
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path + ".tmp", "wb") as f:
            f.write(pdf)
            f.flush()
            os.fsync(f.fileno())
        os.replace(path + ".tmp", path)
    if stale:
        print("not made from their current sources (run tools/make-manual.py):", *stale, sep="\n  ")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
