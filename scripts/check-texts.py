#!/usr/bin/env python3
"""Checks that every text the operator can see exists in Chinese and in English, alike.

Fails, naming file and line, when
  (a) an entry of res/strings.inc is missing from res/strings.en.inc or the other way round,
      or an entry is empty;
  (b) a pair's printf placeholders differ (string table, Localized(zh, en) calls, NAME/NAME_EN
      defines such as the info captions), or a dialog template of one language lacks its twin
      in the other or holds other control ids;
  (c) a Chinese literal of the program has no English twin: not the first argument of
      Localized(), not a NAME define with its NAME_EN twin, not on res/texts.zh.allowed; a
      Chinese dialog template without an English one counts here too;
  (d) a text of res/texts.zh.frozen (the Chinese texts as shipped) no longer occurs.
--no-fail-unpaired reports (c) without failing. --freeze rewrites the frozen list from the
current sources (only ever for the first list: a deliberate change edits it by hand).
"""
import argparse
import os
import re
import sys

PRODUCT_FOLDERS = (
    "app attempt base cli controls info infopage ledger letters pagekit pki pkipage report res "
    "seal station stationpage stock token wipe wipepage workbench win"
).split()
SOURCE_EXTENSIONS = (".cpp", ".h", ".hpp", ".cc", ".c", ".cxx", ".inl")
STRINGS_ZH = "res/strings.inc"
STRINGS_EN = "res/strings.en.inc"
CAPTIONS = "res/InfoCaptions.h"
CAPTION_PREFIX = "VANTOR_CAPTION_"
DIALOGS = "res/dialogs"
FROZEN = "res/texts.zh.frozen"
ALLOWED = "res/texts.zh.allowed"

CJK = re.compile("[\u3000-\u9fff\uff00-\uffef]")

TOKEN = re.compile(
    r"""(?P<nl>\n)
      | (?P<cont>\\\r?\n)
      | (?P<ws>[ \t\r\f\v]+)
      | (?P<lc>//[^\n]*)
      | (?P<bc>/\*.*?\*/)
      | (?P<raw>(?P<rp>u8|u|U|L)?R"(?P<delim>[^()\\\s"]{0,16})\((?P<rawbody>.*?)\)(?P=delim)")
      | (?P<str>(?P<sp>u8|u|U|L)?"(?P<body>(?:[^"\\\n]|\\.)*)")
      | (?P<chr>(?:u8|u|U|L)?'(?:[^'\\\n]|\\.)+')
      | (?P<num>\.?\d(?:[\w.']|[eEpP][+-])*)
      | (?P<id>[A-Za-z_]\w*)
      | (?P<p>.)""",
    re.S | re.X,
)
DEFINE_LINE = re.compile(r'^[ \t]*#[ \t]*define[ \t]+(\w+)[ \t]+((?:(?:u8|u|U|L)?"(?:[^"\\\n]|\\.)*"[ \t]*)+)$', re.M)
LITERAL = re.compile(r'(u8|u|U|L)?"((?:[^"\\\n]|\\.)*)"')
ESCAPE = re.compile(r"\\(x[0-9a-fA-F]+|u[0-9a-fA-F]{4}|U[0-9a-fA-F]{8}|[0-7]{1,3}|.)", re.S)
PLACEHOLDER = re.compile(r"%(?:%|[-+ #0]*(?:\*|\d+)?(?:\.(?:\*|\d+))?(?:hh|h|ll|l|L|z|j|t|I64|I32|I|w)?[diouxXeEfFgGaAcCsSpn])")


class Token:
    __slots__ = ("kind", "text", "line", "directive", "value", "wide")

    def __init__(self, kind, text, line, directive):
        self.kind, self.text, self.line, self.directive = kind, text, line, directive
        self.value, self.wide = None, False


def decode_escapes(body, wide):
    """The text a C++ (or resource script) literal body stands for."""
    if wide:
        out = []
        for part, esc in split_escapes(body):
            out.append(part if esc is None else chr(min(esc_value(esc), 0x10FFFF)))
        return "".join(out)
    data = bytearray()
    for part, esc in split_escapes(body):
        if esc is None:
            data += part.encode("utf-8", "surrogatepass")
        elif esc[0] in "uU":
            data += chr(esc_value(esc)).encode("utf-8", "surrogatepass")
        else:
            data.append(esc_value(esc) & 0xFF)
    return data.decode("utf-8", "backslashreplace")


SIMPLE_ESCAPES = {"n": 10, "t": 9, "r": 13, "a": 7, "b": 8, "f": 12, "v": 11, "e": 27}


def esc_value(esc):
    if esc[0] == "x" and len(esc) > 1:
        return int(esc[1:], 16)
    if esc[0] in "uU" and len(esc) > 1:
        return int(esc[1:], 16)
    if esc[0] in "01234567":
        return int(esc, 8)
    return SIMPLE_ESCAPES.get(esc, ord(esc))


def split_escapes(body):
    pos = 0
    for m in ESCAPE.finditer(body):
        if m.start() > pos:
            yield body[pos : m.start()], None
        yield None, m.group(1)
        pos = m.end()
    if pos < len(body):
        yield body[pos:], None


def tokenize(text):
    """C++ tokens without whitespace and comments; each knows its line and its directive."""
    tokens, line, directive, directives, line_start = [], 1, None, 0, True
    for m in TOKEN.finditer(text):
        kind = m.lastgroup
        if kind in ("rp", "delim", "rawbody", "sp", "body"):
            kind = "raw" if m.group("raw") else "str"
        if kind == "nl":
            line, directive, line_start = line + 1, None, True
            continue
        if kind in ("cont", "ws", "lc", "bc"):
            line += m.group(0).count("\n")
            continue
        if kind == "p" and m.group(0) == "#" and line_start:
            directives += 1
            directive = directives
        line_start = False
        token = Token("str" if kind == "raw" else kind, m.group(0), line, directive)
        if kind == "raw":
            token.wide = m.group("rp") in ("L", "u", "U")
            token.value = m.group("rawbody")
        elif kind == "str":
            token.wide = m.group("sp") in ("L", "u", "U")
            token.value = decode_escapes(m.group("body"), token.wide)
        tokens.append(token)
        line += m.group(0).count("\n")
    return tokens


def escape_text(text):
    """One line of the frozen list: newlines, tabs and edge spaces made visible."""
    out = []
    for ch in text:
        if ch == "\\":
            out.append("\\\\")
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\t":
            out.append("\\t")
        elif ch == "\r":
            out.append("\\r")
        elif ord(ch) < 0x20 or ord(ch) == 0x7F:
            out.append("\\x%02x" % ord(ch))
        else:
            out.append(ch)
    line = "".join(out)
    if line.startswith((" ", "#")):
        line = "\\x%02x" % ord(line[0]) + line[1:]
    if line.endswith(" "):
        line = line[:-1] + "\\x20"
    return line


def unescape_text(line):
    return decode_escapes(line, True)


def placeholders(text):
    return PLACEHOLDER.findall(text)


class Problems:
    NAMES = {
        "a": "string table",
        "b": "pair differs",
        "c": "one language only",
        "d": "frozen text changed",
    }

    def __init__(self):
        self.items = []

    def add(self, kind, where, line, message):
        self.items.append((kind, where, line, message))

    def of(self, kind):
        return [p for p in self.items if p[0] == kind]


def shown(text, limit=60):
    text = escape_text(text)
    return "\u201c" + (text if len(text) <= limit else text[:limit] + "\u2026") + "\u201d"


class Group:
    """Adjacent literals taken as one text, as the compiler concatenates them."""

    __slots__ = ("file", "line", "text", "first", "last")

    def __init__(self, file, line, text, first, last):
        self.file, self.line, self.text, self.first, self.last = file, line, text, first, last


def literal_groups(file, tokens):
    groups, i = [], 0
    while i < len(tokens):
        if tokens[i].kind != "str":
            i += 1
            continue
        j = i
        while j + 1 < len(tokens) and tokens[j + 1].kind == "str" and tokens[j + 1].directive == tokens[i].directive:
            j += 1
        groups.append(Group(file, tokens[i].line, "".join(t.value for t in tokens[i : j + 1]), i, j))
        i = j + 1
    return groups


def call_arguments(tokens, open_index):
    """The argument token ranges of the call whose '(' is at open_index, or None."""
    depth, start, args = 0, open_index + 1, []
    for k in range(open_index, len(tokens)):
        t = tokens[k].text
        if tokens[k].kind != "p":
            continue
        if t in "([{":
            depth += 1
        elif t in ")]}":
            depth -= 1
            if depth == 0:
                args.append((start, k))
                return args
        elif t == "," and depth == 1:
            args.append((start, k))
            start = k + 1
    return None


def text_of(tokens, start, end, defines):
    """The text tokens[start:end] stand for when they are literals and string macros only."""
    parts = []
    for t in tokens[start:end]:
        if t.kind == "str":
            parts.append(t.value)
        elif t.kind == "id" and t.text in defines:
            parts.append(defines[t.text][2])
        else:
            return None
    return "".join(parts) if parts else None


class Source:
    def __init__(self, path, tokens):
        self.path, self.tokens = path, tokens
        self.groups = literal_groups(path, tokens)


class Scan:
    """Everything the checks need, read once from the tree."""

    def __init__(self, root):
        self.root = root
        self.sources = []
        for folder in PRODUCT_FOLDERS:
            base = os.path.join(root, folder)
            for directory, subdirs, files in os.walk(base):
                subdirs.sort()
                for name in sorted(files):
                    if name.endswith(SOURCE_EXTENSIONS):
                        path = os.path.join(directory, name)
                        self.sources.append((os.path.relpath(path, root), read(path)))
        self.defines = {}  # NAME -> (file, line, text) of a define made of literals only
        self.define_groups = {}  # (file, group first token) -> NAME
        # Only a file with a Chinese character or a Localized() call holds texts to check: the
        # others (most of the tree) give string macros at most, read line by line, which keeps
        # the check well under a second.
        texts = []
        for path, text in self.sources:
            if CJK.search(text) or "Localized" in text:
                texts.append(Source(path, tokenize(text)))
                self.collect_defines(texts[-1])
            else:
                for m in DEFINE_LINE.finditer(text):
                    line = text.count("\n", 0, m.start()) + 1
                    value = "".join(decode_escapes(body, bool(prefix and prefix != "u8"))
                                    for prefix, body in LITERAL.findall(m.group(2)))
                    self.defines.setdefault(m.group(1), (path, line, value))
        self.sources = texts
        self.localized = []  # (file, line, zh text or None, en text or None)
        self.first_args = set()  # (file, group first token) inside Localized's first argument
        for source in self.sources:
            self.collect_localized(source)
        self.table_zh = read_table(root, STRINGS_ZH)
        self.table_en = read_table(root, STRINGS_EN)
        self.dialogs = read_dialogs(root, self.defines)

    def collect_defines(self, source):
        tokens = source.tokens
        starts = {g.first: g for g in source.groups}
        for i, t in enumerate(tokens):
            if not (t.kind == "p" and t.text == "#" and i + 2 < len(tokens)):
                continue
            if tokens[i + 1].text != "define" or tokens[i + 2].kind != "id":
                continue
            group = starts.get(i + 3)
            if group is None or tokens[group.first].directive != t.directive:
                continue
            if group.last + 1 < len(tokens) and tokens[group.last + 1].directive == t.directive:
                continue  # more than literals: not a plain string macro
            name = tokens[i + 2].text
            self.defines[name] = (source.path, group.line, group.text)
            self.define_groups[(source.path, group.first)] = name

    def collect_localized(self, source):
        tokens = source.tokens
        for i, t in enumerate(tokens):
            if t.kind != "id" or t.text != "Localized" or i + 1 >= len(tokens) or tokens[i + 1].text != "(":
                continue
            args = call_arguments(tokens, i + 1)
            if not args or len(args) != 2:
                continue
            (zs, ze), (es, ee) = args
            for g in source.groups:
                if zs <= g.first and g.last < ze:
                    self.first_args.add((source.path, g.first))
            zh = text_of(tokens, zs, ze, self.defines)
            en = text_of(tokens, es, ee, self.defines)
            self.localized.append((source.path, t.line, zh, en))

    def chinese_texts(self):
        """Every Chinese text shipped today: literals, string table, templates."""
        texts = set()
        for source in self.sources:
            texts.update(g.text for g in source.groups if CJK.search(g.text))
        for zh in (zh for _, _, zh, _ in self.localized if zh is not None):
            if CJK.search(zh):
                texts.add(zh)
        texts.update(e.text for e in self.table_zh if CJK.search(e.text))
        for dialog in self.dialogs:
            if dialog.language == "zh":
                texts.update(text for text, _ in dialog.texts if CJK.search(text))
        return texts


def read(path):
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        return f.read()


class Entry:
    __slots__ = ("id", "line", "text")

    def __init__(self, ident, line, text):
        self.id, self.line, self.text = ident, line, text


def read_table(root, relative):
    """The VANTOR_STRING(id, text) entries of a string table file."""
    tokens = tokenize(read(os.path.join(root, relative)))
    entries = []
    for i, t in enumerate(tokens):
        if t.kind != "id" or t.text != "VANTOR_STRING" or i + 1 >= len(tokens) or tokens[i + 1].text != "(":
            continue
        args = call_arguments(tokens, i + 1)
        if not args or len(args) != 2 or tokens[args[0][0]].directive is not None:
            continue  # the macro's own definition
        ident = " ".join(tok.text for tok in tokens[args[0][0] : args[0][1]])
        text = text_of(tokens, args[1][0], args[1][1], {})
        entries.append(Entry(ident, t.line, "" if text is None else text))
    return entries


# Resource script dialog templates --------------------------------------------------------------

TEXT_FIRST = {
    "LTEXT", "RTEXT", "CTEXT", "PUSHBUTTON", "DEFPUSHBUTTON", "GROUPBOX", "CHECKBOX", "AUTOCHECKBOX",
    "RADIOBUTTON", "AUTORADIOBUTTON", "STATE3", "AUTO3STATE", "PUSHBOX", "ICON", "CONTROL",
}
ID_FIRST = {"EDITTEXT", "COMBOBOX", "LISTBOX", "SCROLLBAR"}
RC_STRING = re.compile(r'(L?)"((?:[^"\n]|"")*)"')
LANGUAGES = {"4": "zh", "0x04": "zh", "LANG_CHINESE": "zh", "9": "en", "0x09": "en", "LANG_ENGLISH": "en"}


class Dialog:
    def __init__(self, file, line, ident, language):
        self.file, self.line, self.id, self.language = file, line, ident, language
        self.controls = {}  # control id -> line
        self.texts = []  # (text, line): caption, font, control texts


def rc_fields(statement):
    """The comma-separated fields of a resource statement, quotes respected."""
    fields, current, quoted = [], [], False
    for ch in statement:
        if ch == '"':
            quoted = not quoted
        if ch == "," and not quoted:
            fields.append("".join(current).strip())
            current = []
        else:
            current.append(ch)
    fields.append("".join(current).strip())
    return fields


def rc_text(field, defines):
    """The text a template field stands for: literals and string macros, else None."""
    field = field.strip()
    parts = []
    while field:
        m = RC_STRING.match(field)
        if m:
            parts.append(decode_escapes(m.group(2).replace('""', '"'), True))
            field = field[m.end() :].strip()
            continue
        m = re.match(r"([A-Za-z_]\w*)\s*", field)
        if m and m.group(1) in defines:
            parts.append(defines[m.group(1)][2])
            field = field[m.end() :]
            continue
        return None
    return "".join(parts) if parts else None


def strip_rc_comment(line):
    quoted = False
    for k, ch in enumerate(line):
        if ch == '"':
            quoted = not quoted
        elif not quoted and line.startswith("//", k):
            return line[:k]
    return line


def read_dialogs(root, defines):
    dialogs = []
    base = os.path.join(root, DIALOGS)
    paths = []
    for directory, subdirs, files in os.walk(base):
        subdirs.sort()
        paths += [os.path.join(directory, n) for n in sorted(files) if n.endswith(".rc")]
    for path in paths:
        dialogs += parse_rc(os.path.relpath(path, root), read(path), defines)
    return dialogs


def parse_rc(file, text, defines):
    dialogs, language, dialog, body, statement = [], "zh", None, False, None

    def finish():
        if dialog is None or statement is None:
            return
        keyword, rest, line = statement
        fields = rc_fields(rest)
        if keyword in ID_FIRST:
            ident = fields[0]
        elif keyword in TEXT_FIRST and len(fields) > 1:
            ident = fields[1]
            text = rc_text(fields[0], defines)
            if text is not None:
                dialog.texts.append((text, line))
        else:
            return
        dialog.controls.setdefault(ident, line)

    for number, raw in enumerate(text.split("\n"), 1):
        line = strip_rc_comment(raw).strip()
        if not line or line.startswith("#"):
            continue
        words = line.replace(",", " ").split()
        head = words[0]
        if dialog is None or not body:
            if head == "LANGUAGE" and len(words) > 1:
                language = LANGUAGES.get(words[1], "other")
            elif len(words) > 1 and words[1] in ("DIALOG", "DIALOGEX"):
                dialog = Dialog(file, number, head, language)
                dialogs.append(dialog)
            elif dialog is not None and head in ("BEGIN", "{"):
                body = True
            elif dialog is not None and head == "CAPTION":
                caption = rc_text(line[len("CAPTION") :], defines)
                if caption is not None:
                    dialog.texts.append((caption, number))
            elif dialog is not None and head == "FONT":
                fields = rc_fields(line[len("FONT") :])
                face = rc_text(fields[1], defines) if len(fields) > 1 else None
                if face is not None:
                    dialog.texts.append((face, number))
            continue
        if head in ("END", "}"):
            finish()
            dialog, body, statement = None, False, None
        elif head in TEXT_FIRST or head in ID_FIRST:
            finish()
            statement = (head, line[len(head) :], number)
        elif statement is not None:
            statement = (statement[0], statement[1] + " " + line, statement[2])
    return dialogs


# The checks ------------------------------------------------------------------------------------


def check_table(scan, problems):
    zh = {e.id: e for e in scan.table_zh}
    en = {e.id: e for e in scan.table_en}
    for entries, path, other, other_path in ((scan.table_zh, STRINGS_ZH, en, STRINGS_EN),
                                             (scan.table_en, STRINGS_EN, zh, STRINGS_ZH)):
        seen = {}
        for e in entries:
            if e.id in seen:
                problems.add("a", path, e.line, "entry %s appears twice (first on line %d)" % (e.id, seen[e.id]))
            seen.setdefault(e.id, e.line)
            if e.id not in other:
                problems.add("a", path, e.line, "entry %s has no twin in %s" % (e.id, other_path))
            if not e.text:
                problems.add("a", path, e.line, "entry %s is empty" % e.id)
    for e in scan.table_zh:
        twin = en.get(e.id)
        if twin and twin.text and e.text:
            compare(problems, STRINGS_EN, twin.line, e.text, twin.text,
                    "entry %s (%s:%d)" % (e.id, STRINGS_ZH, e.line))


def compare(problems, file, line, zh, en, what):
    a, b = placeholders(zh), placeholders(en)
    if a != b:
        problems.add("b", file, line, "%s: placeholders differ: Chinese [%s], English [%s]"
                     % (what, " ".join(a), " ".join(b)))


def check_pairs(scan, problems):
    for file, line, zh, en in scan.localized:
        if zh is not None and en is not None:
            compare(problems, file, line, zh, en, "Localized(%s, ...)" % shown(zh, 30))
    for name, (file, line, text) in sorted(scan.defines.items()):
        twin = scan.defines.get(name + "_EN")
        if twin and twin[0] == file:
            compare(problems, file, twin[1], text, twin[2], "%s_EN beside %s (line %d)" % (name, name, line))
    for name, (file, line, _) in sorted(scan.defines.items()):
        if file != CAPTIONS or not name.startswith(CAPTION_PREFIX):
            continue
        twin = name[:-3] if name.endswith("_EN") else name + "_EN"
        if twin not in scan.defines:
            problems.add("b", file, line, "%s has no twin %s" % (name, twin))


def check_dialogs(scan, problems):
    by_language = {"zh": {}, "en": {}}
    for d in scan.dialogs:
        if d.language not in by_language:
            problems.add("b", d.file, d.line, "dialog %s is in a language other than Chinese (4, 2) or English (9, 1)" % d.id)
            continue
        if d.id in by_language[d.language]:
            first = by_language[d.language][d.id]
            problems.add("b", d.file, d.line, "dialog %s appears twice in one language (first at %s:%d)" % (d.id, first.file, first.line))
        by_language[d.language].setdefault(d.id, d)
    zh, en = by_language["zh"], by_language["en"]
    for ident, d in zh.items():
        if ident not in en:
            problems.add("c", d.file, d.line, "dialog %s has no English template (LANGUAGE 9, 1)" % ident)
    for ident, d in en.items():
        twin = zh.get(ident)
        if twin is None:
            problems.add("b", d.file, d.line, "English dialog %s has no Chinese template (LANGUAGE 4, 2)" % ident)
            continue
        for control in sorted(set(twin.controls) - set(d.controls)):
            problems.add("b", d.file, d.line, "dialog %s lacks control %s of the Chinese template (%s:%d)"
                         % (ident, control, twin.file, twin.controls[control]))
        for control in sorted(set(d.controls) - set(twin.controls)):
            problems.add("b", d.file, d.controls[control], "dialog %s: control %s is not in the Chinese template (%s:%d)"
                         % (ident, control, twin.file, twin.line))


def read_allowed(root, problems):
    """Texts deliberately left Chinese only: "escaped text" reason."""
    allowed = {}
    path = os.path.join(root, ALLOWED)
    if not os.path.exists(path):
        return allowed
    for number, line in enumerate(read(path).split("\n"), 1):
        if not line.strip() or line.startswith("#"):
            continue
        m = re.match(r'^"((?:[^"\\]|\\.)*)"\s+(\S.*)$', line)
        if not m:
            problems.add("c", ALLOWED, number, 'not a line of the form "text" reason')
            continue
        allowed[unescape_text(m.group(1))] = [number, False]
    return allowed


def check_unpaired(scan, problems, allowed):
    for source in scan.sources:
        for g in source.groups:
            if not CJK.search(g.text) or (source.path, g.first) in scan.first_args:
                continue
            name = scan.define_groups.get((source.path, g.first))
            if name and scan.defines.get(name + "_EN", ("",))[0] == source.path:
                continue
            if g.text in allowed:
                allowed[g.text][1] = True
                continue
            problems.add("c", source.path, g.line, "Chinese text without its English twin: %s "
                         "(write it as Localized(\"...\", \"...\"), or allow it in %s with a reason)"
                         % (shown(g.text), ALLOWED))
    for text, (number, used) in sorted(allowed.items(), key=lambda item: item[1][0]):
        if not used:
            problems.add("c", ALLOWED, number, "allowed text %s occurs nowhere: remove the line" % shown(text))


def read_frozen(root):
    path = os.path.join(root, FROZEN)
    if not os.path.exists(path):
        return None
    return [(n, unescape_text(line)) for n, line in enumerate(read(path).split("\n"), 1)
            if line and not line.startswith("#")]


FROZEN_HEAD = """\
# The Chinese texts as shipped, one a line (\\n newline, \\t tab, \\\\ backslash, \\x20 an edge space),
# sorted: every one must still occur, character for character, as a Chinese text (first argument
# of Localized(), res/strings.inc, a caption, a Chinese dialog template). scripts/check-texts.py
# fails the build when one does not. A deliberate change of a Chinese text edits its line here, in
# the same commit.
"""


def freeze(root, scan):
    texts = sorted(scan.chinese_texts())
    with open(os.path.join(root, FROZEN), "w", encoding="utf-8") as f:
        f.write(FROZEN_HEAD)
        for text in texts:
            f.write(escape_text(text) + "\n")
    print("check-texts: %s holds %d texts" % (FROZEN, len(texts)))


def check_frozen(scan, problems):
    frozen = read_frozen(scan.root)
    if frozen is None:
        problems.add("d", FROZEN, 1, "the frozen list is missing")
        return
    current = scan.chinese_texts()
    for number, text in frozen:
        if text not in current:
            problems.add("d", FROZEN, number, "frozen Chinese text %s no longer occurs among the Chinese texts "
                         "(a deliberate change edits this line)" % shown(text))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    parser.add_argument("--no-fail-unpaired", action="store_true",
                        help="report Chinese texts without an English twin (c) but do not fail on them")
    parser.add_argument("--freeze", action="store_true", help="write %s from the current sources" % FROZEN)
    options = parser.parse_args()
    root = os.path.abspath(options.root)
    scan = Scan(root)
    if options.freeze:
        freeze(root, scan)
        return 0
    problems = Problems()
    check_table(scan, problems)
    check_pairs(scan, problems)
    check_dialogs(scan, problems)
    check_unpaired(scan, problems, read_allowed(root, problems))
    check_frozen(scan, problems)
    failing = 0
    for kind in "abcd":
        found = problems.of(kind)
        warn_only = kind == "c" and options.no_fail_unpaired
        if not warn_only:
            failing += len(found)
        for _, file, line, message in found:
            print("%s:%d: %s%s: %s" % (file, line, "warning: " if warn_only else "", Problems.NAMES[kind], message))
    counts = ", ".join("%s %d" % (Problems.NAMES[k], len(problems.of(k))) for k in "abcd")
    if failing:
        print("check-texts: FAILED (%s)" % counts)
        return 1
    print("check-texts: texts in both languages (%s%s)" % (counts, ", not failing on one language only" if options.no_fail_unpaired else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
