"""The help pages made from a small guide: which section becomes which page,
where links lead, what becomes of pictures, and which guides are refused."""

import os
import pathlib
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
import make_help  # noqa: E402

# A small guide: marked sections, links, a picture (and a missing one), a
# table, report lines and lists.
GUIDE = (pathlib.Path(__file__).resolve().parent / ".." / "data" / "help" / "guide.md").read_text(encoding="utf-8")


# (page, what it holds or, with a "-" in front, must not hold)
EXPECTED = [
    # Each marked section is a page up to the next heading of its level.
    ("topic_660", '<h1><a name="the-grid"></a>The grid</h1>'),
    ("topic_660", '<h2><a name="moving-rows"></a>Moving rows</h2>'),
    ("topic_660", "-Not a page of the help"), ("topic_660", "-Error lines"), ("topic_10", "-Page No"),
    # Links lead to the page holding the heading; in the whole guide they
    # stay on the page, and a section outside the help keeps its link.
    ("topic_10", '<a href="topic_660.html#moving-rows">moving</a>'),
    ("page_errors", '<a href="topic_660.html">grid</a>'),
    ("contents", '<a href="topic_10.html">the main window</a>'),
    ("contents", '<li><a href="page_errors.html">Error lines</a></li>'),
    ("user-guide", '<a href="#format">one to the format</a>'), ("user-guide", "Not a page of the help"),
    # Marks become HTML, text is escaped, report lines keep every blank.
    ("topic_10", "<b>Start a New File</b> asks for <i>units</i>"),
    ("topic_10", "<code>&lt;b&gt;x&lt;/b&gt;</code>"), ("topic_10", "a bar | stay text"),
    ("topic_660", "<td><b>Page No</b></td>\n<td>a <code>a|b</code> number</td>"),
    ("topic_660", "<pre><code> PAGE NO      DATE\n   1232  09/30/2026\n</code></pre>"),
    ("topic_660", "<ol>\n<li>First</li>\n<li>Second<ul>\n<li>nested <b>Cut</b></li>\n</ul>\n</li>\n</ol>"),
    # Pictures are scaled to the help window and missing ones left out.
    ("topic_10", '<img alt="Main" height="150" src="shots/main.png" width="560">'), ("topic_10", "-none.png"),
    ("user-guide", 'height="300" src="shots/main.png" width="1120"'),
]


class MakeHelpTest(unittest.TestCase):
    def setUp(self):
        self.root = self.enterContext(tempfile.TemporaryDirectory())
        os.makedirs(os.path.join(self.root, "shots"))
        # A PNG's signature and size are all the generator reads of a picture.
        with open(os.path.join(self.root, "shots", "main.png"), "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + struct.pack(">I4sIIBBBBB", 13, b"IHDR", 1120, 300, 8, 2, 0, 0, 0))

    def build(self, text=GUIDE):
        """The guide's pages written to out/; the Guide read from `text`."""
        path, out = os.path.join(self.root, "guide.md"), os.path.join(self.root, "out")
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        guide = make_help.Guide(path)
        make_help.write_pages(guide, out, "body {}\n")
        return out, guide

    def test_anchors_are_those_of_github_headings(self):
        for heading, anchor in [("Error lines and what to do", "error-lines-and-what-to-do"),
                                ("Book Setup (780)", "book-setup-780"), ("**Ref No.** and `Date`", "ref-no-and-date"),
                                ("Data Entry --  Metric", "data-entry-----metric")]:
            self.assertEqual(make_help.slug(heading), anchor)

    def test_pages_links_marks_and_pictures(self):
        out, guide = self.build()
        for page, text in EXPECTED:
            with self.subTest(page=page, text=text), open(os.path.join(out, page + ".html"), encoding="utf-8") as f:
                (self.assertNotIn if text.startswith("-") else self.assertIn)(text.lstrip("-"), f.read())
        written = sorted(os.path.relpath(os.path.join(d, f), out) for d, _, files in os.walk(out) for f in files)
        self.assertEqual(written, ["contents.html", "page_errors.html", "shots/main.png", "topic_10.html",
                                   "topic_660.html", "user-guide.html"])
        self.assertEqual(sorted(guide.outputs()), written, "the list names exactly the files written")

    def test_guides_the_pages_cannot_be_made_from_are_refused(self):
        for why, old, new in [("marker without heading", "<!-- help: 10 -->\n", "<!-- help: 10 -->\ntext\n"),
                              ("marker twice", "<!-- help: errors -->", "<!-- help: 10 -->"),
                              ("no contents", "<!-- help: contents -->", ""),
                              ("broken link", "(#moving-rows)", "(#moving-row)"),
                              ("ragged table", "| a `a\\|b` number |", "| a | b | c |")]:
            with self.subTest(why), self.assertRaises(make_help.GuideError):
                self.build(GUIDE.replace(old, new))
