#!/usr/bin/env python3
"""Builds the program's help pages from the user's guide.

docs/user-guide.md is the one source of the help. A section becomes a help
page when an HTML comment names it on the line before its heading:

    <!-- help: 770 -->          the topic of the window with context id 770
    <!-- help: report -->       a page of its own (page_report.html)
    <!-- help: contents -->     the opening text of the contents page

A page runs from its heading to the next heading of the same or a higher
level. In the pages of windows, **bold** marks a caption of that window (a
button, label, menu item or window title); a test checks that each one is
on the window. Links to other sections become links between the pages, or
plain text when the section is in no page; pictures are built in with the
pages, scaled to fit the help window, and left out when their file is
missing.

    make_help.py GUIDE OUTDIR [--css FILE]   writes the pages into OUTDIR
    make_help.py GUIDE --list                names the files it would write

Besides the pages it writes user-guide.html, the whole guide as one page,
for the documentation folder. Only the standard library is used: the
guide keeps to the plain Markdown below (headings, paragraphs, lists,
tables, fenced code, block quotes, emphasis, code spans, links, pictures).
"""

import argparse
import html
import os
import re
import shutil
import struct
import sys

HELP_WIDTH = 560  # widest picture in the help window, in pixels
MARKER = re.compile(r"^<!--\s*help:\s*([A-Za-z0-9_-]+)\s*-->\s*$")
HEADING = re.compile(r"^(#{1,6})\s+(.*?)\s*#*\s*$")
BULLET = re.compile(r"^( {0,3})([-*+])\s+")
NUMBERED = re.compile(r"^( {0,3})(\d+)[.)]\s+")
TABLE_RULE = re.compile(r"^\|?\s*:?-{3,}:?\s*(\|\s*:?-{3,}:?\s*)*\|?\s*$")


class GuideError(Exception):
    """A guide the pages cannot be made from; the message says where."""


# ---- inline text -----------------------------------------------------------

INLINE = re.compile(
    r"(?P<code>`+)(?P<codetext>.+?)(?P=code)"
    r"|!\[(?P<alt>[^\]]*)\]\((?P<src>[^)\s]+)\)"
    r"|\[(?P<text>[^\]]+)\]\((?P<href>[^)\s]+)\)"
    r"|\*\*(?P<bold>\S(?:.*?\S)?)\*\*"
    r"|(?<![\w*])\*(?P<em>[^*\s](?:[^*]*[^*\s])?)\*(?![\w*])"
    r"|(?<!\w)_(?P<em2>[^_\s](?:[^_]*[^_\s])?)_(?!\w)"
    r"|\\(?P<escaped>[\\`*_\[\]()#+\-.!|<>])"
)


def plain_text(text):
    """The words of a Markdown line without its marks (for anchors and titles)."""
    def repl(m):
        if m.group("codetext") is not None:
            return m.group("codetext").strip()
        if m.group("src") is not None:
            return m.group("alt")
        for name in ("text", "bold", "em", "em2", "escaped"):
            if m.group(name) is not None:
                return plain_text(m.group(name)) if name != "escaped" else m.group(name)
        return m.group(0)
    return INLINE.sub(repl, text)


def slug(text):
    """The anchor a GitHub page gives a heading, so links work there and here."""
    s = plain_text(text).strip().lower()
    s = "".join(c for c in s if c.isalnum() or c in " -_")
    return s.replace(" ", "-")


class Renderer:
    """Turns blocks and inline text into HTML for one kind of output.

    resolve_link(href) gives the target to use for a link, or None for plain
    text; image(src) gives (path, width, height) or None to leave it out.
    """

    def __init__(self, resolve_link, image):
        self.resolve_link = resolve_link
        self.image = image

    def inline(self, text):
        out = []
        pos = 0
        for m in INLINE.finditer(text):
            out.append(html.escape(text[pos:m.start()], quote=False))
            pos = m.end()
            if m.group("codetext") is not None:
                out.append("<code>%s</code>" % html.escape(m.group("codetext").strip(), quote=False))
            elif m.group("src") is not None:
                picture = self.image(m.group("src"))
                if picture:
                    path, width, height = picture
                    out.append('<img src="%s" alt="%s" width="%d" height="%d">'
                               % (html.escape(path), html.escape(m.group("alt")), width, height))
            elif m.group("text") is not None:
                target = self.resolve_link(m.group("href"))
                inner = self.inline(m.group("text"))
                out.append('<a href="%s">%s</a>' % (html.escape(target), inner) if target else inner)
            elif m.group("bold") is not None:
                out.append("<b>%s</b>" % self.inline(m.group("bold")))
            elif m.group("em") is not None or m.group("em2") is not None:
                out.append("<i>%s</i>" % self.inline(m.group("em") or m.group("em2")))
            else:
                out.append(html.escape(m.group("escaped"), quote=False))
        out.append(html.escape(text[pos:], quote=False))
        return "".join(out)

    def blocks(self, blocks, level_shift=0):
        return "\n".join(self.block(b, level_shift) for b in blocks)

    def block(self, b, level_shift):
        kind = b[0]
        if kind == "heading":
            _, level, text, anchor = b
            level = max(1, min(6, level - level_shift))
            return '<h%d><a name="%s"></a>%s</h%d>' % (level, anchor, self.inline(text), level)
        if kind == "para":
            body = self.inline(" ".join(line.strip() for line in b[1]))
            return "<p>%s</p>" % body if body.strip() else ""
        if kind == "code":
            return "<pre>%s</pre>" % html.escape("\n".join(b[1]), quote=False)
        if kind == "quote":
            return "<blockquote>%s</blockquote>" % self.blocks(b[1], level_shift)
        if kind == "list":
            _, ordered, items = b
            tag = "ol" if ordered else "ul"
            inner = "".join("<li>%s</li>" % self.list_item(item, level_shift) for item in items)
            return "<%s>%s</%s>" % (tag, inner, tag)
        if kind == "table":
            _, head, rows = b
            cells = "".join("<th>%s</th>" % self.inline(c) for c in head)
            body = "".join("<tr>%s</tr>" % "".join("<td>%s</td>" % self.inline(c) for c in row)
                           for row in rows)
            return ('<table border="1" cellspacing="0" cellpadding="3"><tr>%s</tr>%s</table>'
                    % (cells, body))
        if kind == "rule":
            return "<hr>"
        raise GuideError("unknown block %r" % kind)

    def list_item(self, item, level_shift):
        # A one-paragraph item stays on one line, without paragraph spacing.
        if len(item) == 1 and item[0][0] == "para":
            return self.inline(" ".join(line.strip() for line in item[0][1]))
        return self.blocks(item, level_shift)


# ---- blocks ----------------------------------------------------------------

def split_cells(line):
    line = line.strip()
    if line.startswith("|"):
        line = line[1:]
    if line.endswith("|") and not line.endswith("\\|"):
        line = line[:-1]
    cells, cell, i = [], "", 0
    while i < len(line):
        if line[i] == "\\" and i + 1 < len(line) and line[i + 1] == "|":
            cell += "|"  # a bar inside a cell, also within code, as on GitHub
            i += 2
            continue
        if line[i] == "|":
            cells.append(cell.strip())
            cell = ""
        else:
            cell += line[i]
        i += 1
    cells.append(cell.strip())
    return cells


def parse_blocks(lines, where=1):
    """Blocks of Markdown lines: (kind, ...) tuples. `where` numbers the first line."""
    blocks = []
    i = 0
    n = len(lines)
    while i < n:
        line = lines[i]
        stripped = line.strip()
        if not stripped:
            i += 1
            continue
        if stripped.startswith("```"):
            j = i + 1
            while j < n and not lines[j].strip().startswith("```"):
                j += 1
            if j == n:
                raise GuideError("line %d: a code block is not closed" % (where + i))
            # The fence's own indent is taken off its lines; their blanks stay.
            indent = indent_of(line)
            blocks.append(("code", [l[indent:] if l[:indent].strip() == "" else l.lstrip()
                                    for l in lines[i + 1:j]]))
            i = j + 1
            continue
        heading = HEADING.match(line)
        if heading:
            blocks.append(("heading", len(heading.group(1)), heading.group(2), slug(heading.group(2))))
            i += 1
            continue
        if re.match(r"^(\s*[-*_]){3,}\s*$", line) and not BULLET.match(line + " x"):
            blocks.append(("rule",))
            i += 1
            continue
        if stripped.startswith("<!--"):
            # Comments (the page markers among them) are not shown.
            while i < n and "-->" not in lines[i]:
                i += 1
            i += 1
            continue
        if stripped.startswith(">"):
            j = i
            inner = []
            while j < n and lines[j].strip().startswith(">"):
                inner.append(re.sub(r"^\s*>\s?", "", lines[j]))
                j += 1
            blocks.append(("quote", parse_blocks(inner, where + i)))
            i = j
            continue
        if stripped.startswith("|") and i + 1 < n and TABLE_RULE.match(lines[i + 1].strip()):
            head = split_cells(line)
            rows = []
            j = i + 2
            while j < n and lines[j].strip().startswith("|"):
                row = split_cells(lines[j])
                if len(row) != len(head):
                    raise GuideError("line %d: the table row has %d cells, its heading %d"
                                     % (where + j, len(row), len(head)))
                rows.append(row)
                j += 1
            blocks.append(("table", head, rows))
            i = j
            continue
        if BULLET.match(line) or NUMBERED.match(line):
            i = parse_list(lines, i, blocks, where)
            continue
        j = i
        para = []
        while j < n and lines[j].strip() and not starts_block(lines, j):
            para.append(lines[j])
            j += 1
        blocks.append(("para", para))
        i = j
    return blocks


def starts_block(lines, j):
    line = lines[j]
    s = line.strip()
    return bool(HEADING.match(line) or s.startswith("```") or s.startswith(">")
                or s.startswith("<!--") or BULLET.match(line) or NUMBERED.match(line)
                or (s.startswith("|") and j + 1 < len(lines) and TABLE_RULE.match(lines[j + 1].strip())))


def parse_list(lines, i, blocks, where):
    first = BULLET.match(lines[i]) or NUMBERED.match(lines[i])
    ordered = NUMBERED.match(lines[i]) is not None
    base = len(first.group(1))
    items = []
    n = len(lines)
    while i < n:
        m = (NUMBERED if ordered else BULLET).match(lines[i])
        if not m or len(m.group(1)) != base:
            break
        content_indent = m.end()
        body = [lines[i][m.end():]]
        start = i
        i += 1
        while i < n:
            line = lines[i]
            if not line.strip():
                # A blank line ends the item unless indented text follows.
                if i + 1 < n and lines[i + 1].strip() and indent_of(lines[i + 1]) >= content_indent:
                    body.append("")
                    i += 1
                    continue
                break
            if indent_of(line) >= content_indent:
                body.append(line[content_indent:])
            elif starts_block(lines, i):
                break
            else:
                body.append(line.strip())  # a continuation line not indented
            i += 1
        items.append(parse_blocks(body, where + start))
        # Blank lines between items keep the list going.
        j = i
        while j < n and not lines[j].strip():
            j += 1
        if j < n and (NUMBERED if ordered else BULLET).match(lines[j]) and \
                len((NUMBERED if ordered else BULLET).match(lines[j]).group(1)) == base:
            i = j
    blocks.append(("list", ordered, items))
    return i


def indent_of(line):
    return len(line) - len(line.lstrip(" "))


# ---- the guide and its pages ----------------------------------------------

class Section:
    def __init__(self, name, heading, start, end):
        self.name = name          # "770", "report" or "contents"
        self.heading = heading    # the heading block
        self.start = start        # index of the heading among the blocks
        self.end = end            # index after its last block

    @property
    def file(self):
        if self.name == "contents":
            return "contents.html"
        return ("topic_%s.html" if self.name.isdigit() else "page_%s.html") % self.name

    @property
    def title(self):
        return plain_text(self.heading[2])


def read_guide(path):
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    # The page markers stand alone on their lines, each just before a heading.
    markers = {}
    for number, line in enumerate(lines):
        m = MARKER.match(line.strip())
        if not m:
            continue
        following = next((l for l in lines[number + 1:] if l.strip()), "")
        if not HEADING.match(following):
            raise GuideError("%s:%d: the help marker %r is not followed by a heading"
                             % (path, number + 1, m.group(1)))
        if m.group(1) in markers.values():
            raise GuideError("%s:%d: a second page is marked %r" % (path, number + 1, m.group(1)))
        markers[number] = m.group(1)
    blocks = parse_blocks(lines)
    # Give each heading block the marker above it: count headings in the text.
    heading_lines = [k for k, l in enumerate(lines) if HEADING.match(l) and not in_code(lines, k)]
    names_by_heading = {}
    for number, name in markers.items():
        following = next(k for k in heading_lines if k > number)
        names_by_heading[heading_lines.index(following)] = name
    headings = [k for k, b in enumerate(blocks) if b[0] == "heading"]
    if len(headings) != len(heading_lines):
        raise GuideError("%s: headings inside other blocks are not supported" % path)
    # Duplicate anchors get -1, -2 ... as on GitHub.
    seen = {}
    for k in headings:
        kind, level, text, anchor = blocks[k]
        if anchor in seen:
            seen[anchor] += 1
            blocks[k] = (kind, level, text, "%s-%d" % (anchor, seen[anchor]))
        else:
            seen[anchor] = 0
    sections = []
    for index, name in sorted(names_by_heading.items()):
        start = headings[index]
        level = blocks[start][1]
        end = next((k for k in headings if k > start and blocks[k][1] <= level), len(blocks))
        sections.append(Section(name, blocks[start], start, end))
    if not any(s.name == "contents" for s in sections):
        raise GuideError("%s: no section is marked as the help contents" % path)
    return blocks, sections


def in_code(lines, k):
    fences = sum(1 for l in lines[:k] if l.strip().startswith("```"))
    return fences % 2 == 1


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        raise GuideError("%s is not a PNG picture" % path)
    return struct.unpack(">II", head[16:24])


class Guide:
    def __init__(self, path):
        self.path = path
        self.folder = os.path.dirname(os.path.abspath(path))
        self.blocks, self.sections = read_guide(path)
        first = next((b for b in self.blocks if b[0] == "heading"), None)
        self.title = plain_text(first[2]) if first else "Help"
        # Which page holds each anchor, and whether it is the page's own heading.
        self.anchors = {b[3] for b in self.blocks if b[0] == "heading"}
        self.anchor_page = {}
        for s in self.sections:
            for b in self.blocks[s.start:s.end]:
                if b[0] == "heading":
                    self.anchor_page.setdefault(b[3], (s, b is s.heading))

    def images(self):
        """Pictures the guide shows whose files exist, as paths relative to the guide."""
        found = []
        for text in self.all_text():
            for m in INLINE.finditer(text):
                src = m.group("src")
                if src and self.local_image(src) and src not in found:
                    found.append(src)
        return found

    def all_text(self):
        def walk(blocks):
            for b in blocks:
                if b[0] == "para":
                    yield " ".join(b[1])
                elif b[0] == "heading":
                    yield b[2]
                elif b[0] == "table":
                    yield from b[1]
                    for row in b[2]:
                        yield from row
                elif b[0] == "quote":
                    yield from walk(b[1])
                elif b[0] == "list":
                    for item in b[2]:
                        yield from walk(item)
        yield from walk(self.blocks)

    def local_image(self, src):
        if "://" in src or src.startswith("/") or ".." in src.split("/"):
            return None
        full = os.path.join(self.folder, src)
        return full if os.path.isfile(full) else None

    def picture(self, src, max_width):
        full = self.local_image(src)
        if not full:
            return None
        width, height = png_size(full)
        if max_width and width > max_width:
            height = round(height * max_width / width)
            width = max_width
        return src, width, height

    def check_link(self, href):
        if href.startswith("#") and href[1:] not in self.anchors:
            raise GuideError("%s: no heading has the anchor of the link %s" % (self.path, href))

    def help_link(self, href):
        self.check_link(href)
        if href.startswith("#"):
            target = self.anchor_page.get(href[1:])
            if not target:
                return None
            section, own = target
            return section.file if own else "%s#%s" % (section.file, href[1:])
        return None  # other files and the web are not part of the help

    def page_link(self, href):
        self.check_link(href)
        if href.startswith("#") or href.startswith("http://") or href.startswith("https://"):
            return href
        return None

    def outputs(self):
        names = [s.file for s in self.sections] + ["user-guide.html"]
        return names + self.images()


def page(title, body, css, nav):
    top = '<p class="path"><a href="contents.html">Contents</a></p>\n' if nav else ""
    bottom = ('\n<hr><p class="path"><a href="contents.html">Back to the contents</a></p>\n'
              if nav else "\n")
    return ('<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>%s</title>\n'
            "<style>\n%s</style></head><body>\n%s%s%s</body></html>\n"
            % (html.escape(title, quote=False), css, top, body, bottom))


def write_pages(guide, outdir, css):
    os.makedirs(outdir, exist_ok=True)
    helper = Renderer(guide.help_link, lambda src: guide.picture(src, HELP_WIDTH))
    written = []

    def write(name, text):
        with open(os.path.join(outdir, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        written.append(name)

    for s in guide.sections:
        level = s.heading[1]
        if s.name == "contents":
            # The guide's title heads the contents; the section and the list
            # of every page follow it.
            body = "<h1>%s</h1>\n%s" % (html.escape(guide.title, quote=False),
                                         helper.blocks(guide.blocks[s.start:s.end], level - 2))
            links = "".join('<li><a href="%s">%s</a></li>' % (t.file, html.escape(t.title, quote=False))
                            for t in guide.sections if t.name != "contents")
            body += "\n<h2>Topics</h2>\n<ul>%s</ul>" % links
            write(s.file, page(guide.title, body, css, nav=False))
            continue
        body = helper.blocks(guide.blocks[s.start:s.end], level_shift=level - 1)
        write(s.file, page(s.title, body, css, nav=True))

    whole = Renderer(guide.page_link, lambda src: guide.picture(src, 0))
    write("user-guide.html", page(guide.title, whole.blocks(guide.blocks), css, nav=False))

    for src in guide.images():
        target = os.path.join(outdir, src)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(os.path.join(guide.folder, src), target)
        written.append(src)
    return written


def main(argv=None):
    parser = argparse.ArgumentParser(description="Build the help pages from the user's guide.")
    parser.add_argument("guide")
    parser.add_argument("outdir", nargs="?")
    parser.add_argument("--css", help="stylesheet put into every page")
    parser.add_argument("--list", action="store_true", help="name the files, write nothing")
    args = parser.parse_args(argv)
    try:
        guide = Guide(args.guide)
        if args.list:
            print(";".join(guide.outputs()))
            return 0
        if not args.outdir:
            parser.error("OUTDIR is needed unless --list is given")
        css = ""
        if args.css:
            with open(args.css, encoding="utf-8") as f:
                css = f.read()
        write_pages(guide, args.outdir, css)
    except (GuideError, OSError) as e:
        print("make_help: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
