#!/usr/bin/env python3
"""Writes src/text/sjis_tables.cpp from Python's JIS codecs.

    gen_sjis_tables.py OUT.cpp        write the tables
    gen_sjis_tables.py --check FILE   exit 0 if FILE is what would be written, else 1

The tables:
  UnicodeToSjisPages   received text: the Shift_JISX0213 mapping with the system's own choices
  Jis0212Table         JIS X 0212 kanji to their Shift_JIS-2004 codes
  SjisSingleByteShown, SjisTwoByteShown, SjisPairs
                       what a Shift-JIS code shows: code page 932 as Windows shows it, the
                       JIS X 0213 character in the user-defined area and wherever cp932 has none
  SjisTypedExceptions  typed characters that do not go through UnicodeToSjisPages

Every choice that departs from a codec is checked against the codec, so that a codec change
stops the generator instead of silently changing a table.
"""

import difflib
import shutil
import subprocess
import sys

# ---------------------------------------------------------------------------------------------
# Helpers


class TableError(Exception):
    pass


def require(condition, message):
    if not condition:
        raise TableError(message)


def code_of(data):
    """Bytes of one Shift-JIS character as the 16-bit code: < 0x100 single byte."""
    return int.from_bytes(data, "big")


def encode(codec, text):
    try:
        data = text.encode(codec)
    except UnicodeEncodeError:
        return None
    return code_of(data) if 1 <= len(data) <= 2 else None


def decode(codec, data):
    try:
        return data.decode(codec)
    except UnicodeDecodeError:
        return None


def hex_list(values):
    return ", ".join("%#x" % v for v in values)


# ---------------------------------------------------------------------------------------------
# UnicodeToSjisPages


def spans(*items):
    """Code points from single values and inclusive (first, last) ranges."""
    result = []
    for item in items:
        if isinstance(item, tuple):
            result.extend(range(item[0], item[1] + 1))
        else:
            result.append(item)
    return result


ASCII_CHOICES = {0x005C: 0x5C, 0x007E: 0x7E, 0x0080: 0x80}
CP932_CHOICES = {
    0xFF5E: 0x8160, 0xFF0D: 0x817C, 0xFF3C: 0x815F, 0xFFE0: 0x8191, 0xFFE1: 0x8192,
    0xFFE2: 0x81CA, 0x2225: 0x8161,
    0xF8F0: 0xA0, 0xF8F1: 0xFD, 0xF8F2: 0xFE, 0xF8F3: 0xFF,
}
GREEK_CHOICES = {0x00B5: 0x83CA, 0x2211: 0x83B0}
# The JIS dash: this codec gives 0x815C to HORIZONTAL BAR only, but JIS X 0213 itself, glibc and
# every Mac and Linux mailer write it as EM DASH, which would otherwise arrive as "?".
DASH_CHOICES = {0x2014: 0x815C}
NO_MAPPING = spans(
    0x203E, 0x2047, 0x2051, (0x23BE, 0x23CC), 0x23CE, (0x24EB, 0x24FE), (0x2616, 0x2617),
    (0x303B, 0x303D), (0x3095, 0x3096), (0x309F, 0x30A0), 0x30FF, (0x3251, 0x325F),
    (0x32B1, 0x32BF), 0x69EA, 0x9B2D, (0xFA30, 0xFA6A), 0xFF02, 0xFF07)
# What the published mapping already gives and keeps: the wave dash, double vertical line and
# minus sign stay at their JIS codes (received text would otherwise lose them; Windows' look-alikes
# share those codes), and the yen sign stays the single byte 0x5C.
KEPT_PUBLISHED = {0x301C: 0x8160, 0x2016: 0x8161, 0x2212: 0x817C, 0x00A5: 0x5C}

PRESENT_PAGES = set(spans((0x00, 0x04), (0x1E, 0x27), 0x30, (0x32, 0x9F), (0xF8, 0xFA), 0xFF))
DROPPED_PAGES = {0x29, 0x31, 0xFE}


def published_mapping():
    """Shift_JISX0213 (JIS X 0213:2000) of each BMP code point on its own."""
    mapping = {}
    for cp in range(0x10000):
        if 0xD800 <= cp <= 0xDFFF:
            continue
        code = encode("shift_jisx0213", chr(cp))
        if code is not None:
            mapping[cp] = code
    return mapping


def unicode_to_sjis(published):
    singles = {cp for cp, code in published.items() if code < 0x100}
    expected_singles = (set(range(0x80)) - {0x5C, 0x7E}) | {0x00A5, 0x203E} | set(
        range(0xFF61, 0xFFA0))
    require(singles == expected_singles,
            "published single bytes changed: " + hex_list(sorted(singles ^ expected_singles)))
    published_pages = {cp >> 8 for cp in published}
    require(published_pages == (PRESENT_PAGES | DROPPED_PAGES) - {0xF8},
            "published pages changed: " + hex_list(
                sorted(published_pages ^ ((PRESENT_PAGES | DROPPED_PAGES) - {0xF8}))))

    table = dict(published)
    for choices in (ASCII_CHOICES, CP932_CHOICES, GREEK_CHOICES, DASH_CHOICES):
        for cp, code in choices.items():
            require(published.get(cp) != code, "U+%04X already maps to %#x" % (cp, code))
            table[cp] = code
    for cp in NO_MAPPING:
        require(cp in published, "U+%04X is no longer mapped by the codec" % cp)
        del table[cp]
    for cp, code in KEPT_PUBLISHED.items():
        require(published.get(cp) == code, "U+%04X no longer maps to %#x" % (cp, code))
    for cp in [cp for cp in table if cp >> 8 in DROPPED_PAGES]:
        del table[cp]

    pages = {cp >> 8 for cp in table}
    require(pages == PRESENT_PAGES, "pages present: " + hex_list(sorted(pages ^ PRESENT_PAGES)))
    require(len(pages) == 130, "%d pages present" % len(pages))
    return table


# ---------------------------------------------------------------------------------------------
# Jis0212Table

JIS0212_ROWS = range(0x30, 0x6E)
JIS0212_CELLS = range(0x21, 0x7F)


def jis0212_lead_ok(lead):
    return lead in (0x87, 0x88, 0x98) or 0xEA <= lead <= 0xFC


def jis0212_characters():
    """Cell -> character as Python's euc_jp decodes it (None where it has none)."""
    return [decode("euc_jp", bytes([0x8F, row | 0x80, cell | 0x80]))
            for row in JIS0212_ROWS for cell in JIS0212_CELLS]


def jis0212_table(characters):
    cells = []
    for ch in characters:
        code = encode("shift_jis_2004", ch) if ch is not None else None
        cells.append(code if code is not None and code >= 0x100 and jis0212_lead_ok(code >> 8)
                     else 0)
    return cells


def jis0212_report(characters, cells):
    filled = sum(1 for code in cells if code)
    added_2004 = sum(1 for ch, code in zip(characters, cells)
                     if code and encode("shift_jisx0213", ch) is None)
    return "Jis0212Table: %d of %d cells filled, %d of them by the JIS X 0213:2004 additions" % (
        filled, len(cells), added_2004)


def iconv_cross_check(cells):
    """The same table built from glibc's EUC-JP decoding must come out identical."""
    iconv = shutil.which("iconv")
    if iconv is None:
        return "iconv not found; JIS X 0212 cross-check skipped"
    data = b"\n".join(bytes([0x8F, row | 0x80, cell | 0x80])
                      for row in JIS0212_ROWS for cell in JIS0212_CELLS) + b"\n"
    result = subprocess.run([iconv, "-c", "-f", "EUC-JP", "-t", "UTF-8"], input=data,
                            capture_output=True, check=False)
    lines = result.stdout.decode("utf-8").split("\n")[:-1]
    require(len(lines) == len(cells), "iconv gave %d cells" % len(lines))
    theirs = jis0212_table([line if len(line) == 1 else None for line in lines])
    differing = [i for i, (a, b) in enumerate(zip(cells, theirs)) if a != b]
    require(not differing, "iconv EUC-JP disagrees at JIS X 0212 " + ", ".join(
        "%02X%02X" % (JIS0212_ROWS.start + i // 94, 0x21 + i % 94) for i in differing[:10]))
    return "iconv EUC-JP gives the same Jis0212Table"


# ---------------------------------------------------------------------------------------------
# What codes show and how characters are typed

LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
TRAILS = range(0x40, 0xFD)
USER_DEFINED = range(0xF040, 0xF9FD)


def cp932_rank(code):
    """Windows types a character cp932 holds twice at the first of: JIS X 0208, NEC row 13,
    IBM extensions, NEC-selected IBM extensions."""
    if 0x8740 <= code <= 0x879C:
        return 1
    if 0xFA40 <= code <= 0xFC4B:
        return 2
    if 0xED40 <= code <= 0xEEFC:
        return 3
    return 0


def display_tables():
    singles = []
    for byte in range(256):
        shown = decode("cp932", bytes([byte]))
        if byte in LEADS:
            require(shown is None, "cp932 shows lead byte %#x alone" % byte)
            singles.append(0xFFFD)
        else:
            require(shown is not None and len(shown) == 1 and ord(shown) < 0x10000,
                    "cp932 single byte %#x" % byte)
            singles.append(ord(shown))

    shown_by_code = {}
    cp932_by_code = {}
    conflicts = 0
    user_defined_jis = 0
    for lead in LEADS:
        for trail in TRAILS:
            if trail == 0x7F:
                continue
            code = lead << 8 | trail
            windows = decode("cp932", bytes([lead, trail]))
            jis = decode("shift_jis_2004", bytes([lead, trail]))
            if windows is not None:
                require(len(windows) == 1, "cp932 %#x" % code)
                cp932_by_code[code] = windows
            if code in USER_DEFINED:
                shown = jis if jis is not None else windows
                user_defined_jis += jis is not None
            else:
                shown = windows if windows is not None else jis
                conflicts += windows is not None and jis is not None and windows != jis
            if shown is not None:
                require(len(shown) in (1, 2), "%#x shows %d code points" % (code, len(shown)))
                shown_by_code[code] = shown

    pairs = sorted((shown, code) for code, shown in shown_by_code.items() if len(shown) == 2)
    for shown, code in pairs:
        require(all(ord(ch) < 0x10000 for ch in shown), "pair at %#x beyond the BMP" % code)
        require(encode("shift_jis_2004", shown) == code, "pair at %#x does not encode back" % code)
    pair_index = {code: i for i, (_, code) in enumerate(pairs)}

    two_byte = []
    for lead in LEADS:
        for trail in TRAILS:
            code = lead << 8 | trail
            shown = shown_by_code.get(code)
            if shown is None:
                two_byte.append(0)
            elif len(shown) == 2:
                two_byte.append(0x80000000 | pair_index[code])
            else:
                two_byte.append(ord(shown))

    report = ("two-byte codes where cp932 and Shift_JIS-2004 differ (cp932 shown): %d; "
              "user-defined codes showing JIS X 0213: %d" % (conflicts, user_defined_jis))
    return singles, two_byte, pairs, shown_by_code, cp932_by_code, report


def typed_exceptions(unicode_table, singles, shown_by_code, cp932_by_code):
    def shows(code):
        return chr(singles[code]) if code < 0x100 else shown_by_code.get(code)

    windows = {}
    for code, ch in sorted(cp932_by_code.items()):
        cp = ord(ch)
        if cp not in windows or cp932_rank(code) < cp932_rank(windows[cp]):
            windows[cp] = code
    for byte, cp in enumerate(singles):
        require(cp == 0xFFFD or unicode_table.get(cp) == byte,
                "single byte %#x does not type back" % byte)

    exceptions = {}
    for cp, code in windows.items():
        # Where received text's table would turn the character into a code that shows another
        # one (JIS X 0213 codes inside cp932's extensions), type it as Windows does.
        listed = unicode_table.get(cp)
        if listed is None or shows(listed) != chr(cp):
            exceptions[cp] = code
    for code, shown in shown_by_code.items():
        if len(shown) != 1:
            continue
        cp = ord(shown)
        if cp in unicode_table or cp in windows:
            continue
        jis = encode("shift_jis_2004", shown)
        if jis is not None and jis >= 0x100 and shows(jis) == shown:
            exceptions[cp] = jis
    return sorted(exceptions.items())


# ---------------------------------------------------------------------------------------------
# Output


def rows_of(values, width, fmt):
    lines = []
    for i in range(0, len(values), width):
        lines.append("    " + ", ".join(fmt.format(v) for v in values[i:i + width]) + ",")
    return "\n".join(lines)


def render():
    published = published_mapping()
    unicode_table = unicode_to_sjis(published)
    characters = jis0212_characters()
    jis0212 = jis0212_table(characters)
    singles, two_byte, pairs, shown_by_code, cp932_by_code, display_report = display_tables()
    typed = typed_exceptions(unicode_table, singles, shown_by_code, cp932_by_code)

    out = []
    out.append("// Generated by tools/gen_sjis_tables.py from Python's shift_jisx0213, "
               "shift_jis_2004, euc_jp and\n// cp932 codecs. Do not edit; run the generator.\n")
    out.append('#include "text/sjis_tables.h"\n#include "text/sjis_unicode_tables.h"\n')
    out.append("namespace rirevar {\n\nnamespace {\n")
    for page in sorted(PRESENT_PAGES):
        values = [unicode_table.get(page << 8 | low, 0) for low in range(256)]
        out.append("constexpr std::uint16_t kPage%02X[256] = {\n%s\n};\n" % (
            page, rows_of(values, 16, "{:#06x}")))
    out.append("constexpr SjisPair kPairs[] = {\n%s\n};\n" % "\n".join(
        "    {0x%04X, 0x%04X, 0x%04X}," % (ord(shown[0]), ord(shown[1]), code)
        for shown, code in pairs))
    out.append("constexpr SjisTypedCode kTypedExceptions[] = {\n%s\n};\n" % "\n".join(
        "    {0x%04X, 0x%04X}," % item for item in typed))
    out.append("}  // namespace\n")

    page_refs = ["kPage%02X" % page if page in PRESENT_PAGES else "nullptr"
                 for page in range(256)]
    out.append("const std::uint16_t* const UnicodeToSjisPages[256] = {\n%s\n};\n" % rows_of(
        page_refs, 8, "{}"))
    out.append("const std::uint16_t Jis0212Table[kJis0212Rows * kJis0212Cells] = {\n%s\n};\n" % (
        rows_of(jis0212, 16, "{:#06x}")))
    out.append("const char16_t SjisSingleByteShown[256] = {\n%s\n};\n" % rows_of(
        singles, 16, "{:#06x}"))
    out.append("const std::uint32_t SjisTwoByteShown[kSjisLeadCount * kSjisTrailCount] = {\n"
               "%s\n};\n" % rows_of(two_byte, 12, "{:#010x}"))
    out.append("const std::span<const SjisPair> SjisPairs(kPairs);\n")
    out.append("const std::span<const SjisTypedCode> SjisTypedExceptions(kTypedExceptions);\n")
    out.append("}  // namespace rirevar\n")

    report = [
        "UnicodeToSjisPages: %d code points on %d pages" % (len(unicode_table), 130),
        jis0212_report(characters, jis0212),
        display_report,
        "pairs: %d; typed exceptions: %d" % (len(pairs), len(typed)),
    ]
    return "\n".join(out), jis0212, report


USAGE = "usage: gen_sjis_tables.py OUT.cpp | gen_sjis_tables.py --check FILE"


def main(args):
    if len(args) == 1 and not args[0].startswith("-"):
        text, _, report = render()
        with open(args[0], "w", encoding="ascii", newline="\n") as f:
            f.write(text)
        print("\n".join(report))
        return 0
    if len(args) == 2 and args[0] == "--check":
        path = args[1]
        text, jis0212, report = render()
        print(iconv_cross_check(jis0212))
        try:
            with open(path, encoding="ascii", newline="") as f:
                current = f.read()
        except (OSError, UnicodeDecodeError) as error:
            print("cannot read %s: %s" % (path, error))
            return 1
        if current == text:
            print("%s is up to date" % path)
            return 0
        diff = list(difflib.unified_diff(current.splitlines(), text.splitlines(),
                                         path, "generated", n=0, lineterm=""))
        changed = sum(1 for line in diff if line[:1] in "+-" and line[:3] not in ("+++", "---"))
        print("%s differs from the generated tables (%d lines); first differences:" % (
            path, changed))
        print("\n".join(diff[:24]))
        print("\n".join(report))
        return 1
    print(USAGE, file=sys.stderr)
    return 2


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except TableError as error:
        print("gen_sjis_tables.py: " + str(error), file=sys.stderr)
        sys.exit(1)
