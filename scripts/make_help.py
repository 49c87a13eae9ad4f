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
for the documentation folder. The Markdown is turned into HTML by Python
Markdown (Debian's python3-markdown) with its tables and fenced code; this
script only cuts the guide into pages and mends what the help window needs:
anchors in the headings, links between the pages, picture sizes, and <b>
and <i> for the marks, which the help window's checks look for.
"""

import argparse
import html
import os
import re
import shutil
import struct
import sys

import markdown
from markdown.extensions import Extension
from markdown.treeprocessors import Treeprocessor

HELP_WIDTH = 560  # widest picture in the help window, in pixels
MARKER = re.compile(r"^<!--\s*help:\s*([A-Za-z0-9_-]+)\s*-->\s*$")
HEADING = re.compile(r"^(#{1,6})\s+(.*?)\s*#*\s*$")
PICTURE = re.compile(r"!\[[^\]]*\]\(([^)\s]+)\)")
TABLE_RULE = re.compile(r"^\|?\s*:?-{3,}:?\s*(\|\s*:?-{3,}:?\s*)*\|?\s*$")


class GuideError(Exception):
    """A guide the pages cannot be made from; the message says where."""


def plain_text(text):
    """The words of a Markdown line without its marks (for anchors and titles)."""
    rendered = markdown.markdown(text)
    return html.unescape(re.sub(r"<[^>]*>", "", rendered)).strip()


def slug(text):
    """The anchor a GitHub page gives a heading, so links work there and here."""
    s = plain_text(text).lower()
    s = "".join(c for c in s if c.isalnum() or c in " -_")
    return s.replace(" ", "-")


def table_cells(line):
    """How many cells a table line has; a bar after a backslash is text."""
    line = line.strip()
    if line.startswith("|"):
        line = line[1:]
    if line.endswith("|") and not line.endswith("\\|"):
        line = line[:-1]
    return len(re.split(r"(?<!\\)\|", line))


# ---- the help window's needs, on the tree Python Markdown builds ------------

class PageTree(Treeprocessor):
    def __init__(self, md, page):
        super().__init__(md)
        self.page = page

    def run(self, root):
        parents = {child: parent for parent in root.iter() for child in parent}
        anchors = iter(self.page.anchors)
        for el in list(root.iter()):
            if re.fullmatch(r"h[1-6]", el.tag):
                level = max(1, min(6, int(el.tag[1]) - self.page.level_shift))
                el.tag = "h%d" % level
                anchor = next(anchors, None)
                if anchor is None:
                    raise GuideError("a heading inside another block is not supported")
                mark = el.makeelement("a", {"name": anchor})
                mark.tail, el.text = el.text, None
                el.insert(0, mark)
            elif el.tag == "strong":
                # A caption broken across lines of the guide reads as one line.
                el.tag = "b"
                el.text = re.sub(r"[ \t]*\n[ \t]*", " ", el.text or "")
            elif el.tag == "em":
                el.tag = "i"
            elif el.tag == "table":
                # Rules between the cells, which the help window draws only so.
                for name, value in (("border", "1"), ("cellspacing", "0"), ("cellpadding", "3")):
                    el.set(name, value)
            elif el.tag == "code" and parents.get(el) is not None and parents[el].tag in ("td", "th"):
                el.text = (el.text or "").replace("\\|", "|")  # as on GitHub
            elif el.tag == "a" and el.get("href") is not None:
                target = self.page.link(el.get("href"))
                if target:
                    el.set("href", target)
                else:
                    unwrap(parents[el], el, parents)
            elif el.tag == "img":
                picture = self.page.image(el.get("src"))
                if picture:
                    _, width, height = picture
                    el.set("width", str(width))
                    el.set("height", str(height))
                else:
                    unwrap(parents[el], el, parents)


def unwrap(parent, el, parents):
    """Puts `el`'s text and children in its place."""
    index = list(parent).index(el)
    children = list(el)

    def append_after(position, text):
        if position > 0:
            parent[position - 1].tail = (parent[position - 1].tail or "") + text
        else:
            parent.text = (parent.text or "") + text

    parent.remove(el)
    append_after(index, el.text or "")
    for k, child in enumerate(children):
        parent.insert(index + k, child)
        parents[child] = parent
    append_after(index + len(children), el.tail or "")


class PageExtension(Extension):
    def __init__(self, page):
        super().__init__()
        self.page = page

    def extendMarkdown(self, md):
        md.treeprocessors.register(PageTree(md, self.page), "help_page", 0)


class Rendering:
    """What one page's text needs: its headings' anchors in order, the
    level its top heading gets, and where links and pictures lead."""

    def __init__(self, anchors, level_shift, link, image):
        self.anchors = anchors
        self.level_shift = level_shift
        self.link = link
        self.image = image


def render(lines, rendering):
    md = markdown.Markdown(extensions=["tables", "fenced_code", PageExtension(rendering)],
                           output_format="html")
    return md.convert("\n".join(lines))


# ---- the guide and its pages ----------------------------------------------

class Section:
    def __init__(self, name, title, level, start, end):
        self.name = name          # "770", "report" or "contents"
        self.title = title
        self.level = level
        self.start = start        # line of the heading
        self.end = end            # line after its last

    @property
    def file(self):
        if self.name == "contents":
            return "contents.html"
        return ("topic_%s.html" if self.name.isdigit() else "page_%s.html") % self.name


class Guide:
    def __init__(self, path):
        self.path = path
        self.folder = os.path.dirname(os.path.abspath(path))
        with open(path, encoding="utf-8") as f:
            self.lines = f.read().splitlines()
        self.read()

    def read(self):
        lines = self.lines
        in_code = False
        headings = []  # (line, level, text)
        markers = {}   # heading line -> name
        shown = []     # the lines with their comments blanked
        comment = False
        for number, line in enumerate(lines):
            stripped = line.strip()
            if stripped.startswith("```"):
                in_code = not in_code
            if in_code or stripped.startswith("```"):
                shown.append(line)
                continue
            if comment or stripped.startswith("<!--"):
                comment = "-->" not in stripped
                m = MARKER.match(stripped)
                if m:
                    following = next((k for k in range(number + 1, len(lines)) if lines[k].strip()), None)
                    if following is None or not HEADING.match(lines[following]):
                        raise GuideError("%s:%d: the help marker %r is not followed by a heading"
                                         % (self.path, number + 1, m.group(1)))
                    if m.group(1) in markers.values():
                        raise GuideError("%s:%d: a second page is marked %r"
                                         % (self.path, number + 1, m.group(1)))
                    markers[following] = m.group(1)
                shown.append("")
                continue
            heading = HEADING.match(line)
            if heading:
                headings.append((number, len(heading.group(1)), heading.group(2)))
            if TABLE_RULE.match(stripped) and number > 0 and lines[number - 1].strip().startswith("|"):
                self.check_table(number)
            shown.append(line)
        if in_code:
            raise GuideError("%s: a code block is not closed" % self.path)
        self.shown = shown
        self.headings = headings
        # Duplicate anchors get -1, -2 ... as on GitHub.
        seen = {}
        self.anchor_of = {}
        for number, _, text in headings:
            anchor = slug(text)
            if anchor in seen:
                seen[anchor] += 1
                anchor = "%s-%d" % (anchor, seen[anchor])
            else:
                seen[anchor] = 0
            self.anchor_of[number] = anchor
        self.anchors = set(self.anchor_of.values())
        self.sections = []
        for number, level, text in headings:
            if number not in markers:
                continue
            end = next((k for k, l, _ in headings if k > number and l <= level), len(lines))
            self.sections.append(Section(markers[number], plain_text(text), level, number, end))
        if not any(s.name == "contents" for s in self.sections):
            raise GuideError("%s: no section is marked as the help contents" % self.path)
        self.title = plain_text(headings[0][2]) if headings else "Help"
        # Which page holds each anchor, and whether it is the page's own heading.
        self.anchor_page = {}
        for s in self.sections:
            for number, _, _ in headings:
                if s.start <= number < s.end:
                    self.anchor_page.setdefault(self.anchor_of[number], (s, number == s.start))

    def check_table(self, rule):
        width = table_cells(self.lines[rule - 1])
        k = rule + 1
        while k < len(self.lines) and self.lines[k].strip().startswith("|"):
            if table_cells(self.lines[k]) != width:
                raise GuideError("%s:%d: the table row has %d cells, its heading %d"
                                 % (self.path, k + 1, table_cells(self.lines[k]), width))
            k += 1

    def rendering(self, start, end, level_shift, link, max_width):
        anchors = [self.anchor_of[n] for n, _, _ in self.headings if start <= n < end]
        return Rendering(anchors, level_shift, link, lambda src: self.picture(src, max_width))

    def html(self, start, end, level_shift, link, max_width):
        rendering = self.rendering(start, end, level_shift, link, max_width)
        body = render(self.shown[start:end], rendering)
        if len(rendering.anchors) != body.count('<a name="'):
            raise GuideError("%s: headings inside other blocks are not supported" % self.path)
        return body

    def images(self):
        """Pictures the guide shows whose files exist, as paths relative to the guide."""
        found = []
        for line in self.shown:
            for src in PICTURE.findall(line):
                if self.local_image(src) and src not in found:
                    found.append(src)
        return found

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


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        raise GuideError("%s is not a PNG picture" % path)
    return struct.unpack(">II", head[16:24])


def page(title, body, css, nav):
    top = '<p class="path"><a href="contents.html">Contents</a></p>\n' if nav else ""
    bottom = ('\n<hr><p class="path"><a href="contents.html">Back to the contents</a></p>\n'
              if nav else "\n")
    return ('<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>%s</title>\n'
            "<style>\n%s</style></head><body>\n%s%s%s</body></html>\n"
            % (html.escape(title, quote=False), css, top, body, bottom))


def write_pages(guide, outdir, css):
    os.makedirs(outdir, exist_ok=True)
    written = []

    def write(name, text):
        with open(os.path.join(outdir, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        written.append(name)

    for s in guide.sections:
        if s.name == "contents":
            # The guide's title heads the contents; the section and the list
            # of every page follow it.
            body = "<h1>%s</h1>\n%s" % (html.escape(guide.title, quote=False),
                                         guide.html(s.start, s.end, s.level - 2, guide.help_link, HELP_WIDTH))
            links = "".join('<li><a href="%s">%s</a></li>' % (t.file, html.escape(t.title, quote=False))
                            for t in guide.sections if t.name != "contents")
            body += "\n<h2>Topics</h2>\n<ul>%s</ul>" % links
            write(s.file, page(guide.title, body, css, nav=False))
            continue
        body = guide.html(s.start, s.end, s.level - 1, guide.help_link, HELP_WIDTH)
        write(s.file, page(s.title, body, css, nav=True))

    whole = guide.html(0, len(guide.lines), 0, guide.page_link, 0)
    write("user-guide.html", page(guide.title, whole, css, nav=False))

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
