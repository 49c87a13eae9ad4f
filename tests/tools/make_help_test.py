"""The help pages made from a small guide: which section becomes which page,
where links lead, what becomes of pictures, and which guides are refused."""

import os
import struct
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
import make_help  # noqa: E402

GUIDE = """\
# Tonnage guide

Intro with a [link to the grid](#the-grid) and [one to the format](#format).

<!-- help: contents -->
## At a glance

Start at [the main window](#main-window).

<!-- help: 10 -->
## Main window

![Main](shots/main.png)
![Missing](shots/none.png)

- **Start a New File** asks for *units*; see [moving](#moving-rows).
- Code `<b>x</b>` and a bar \\| stay text.

<!-- help: 660 -->
## The grid

| Column | Meaning |
|---|---|
| **Page No** | a `a\\|b` number |

### Moving rows

```
 PAGE NO      DATE
   1232  09/30/2026
```

1. First
2. Second
    - nested **Cut**

## Format

Not a page of the help.

<!-- help: errors -->
## Error lines

Back to the [grid](#the-grid).
"""


def png(path, width, height):
    """A one-colour PNG of the given size (only its header is ever read)."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\x00" + b"\x00" * width * 3 for _ in range(height))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


class MakeHelpTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name
        os.makedirs(os.path.join(self.root, "shots"))
        png(os.path.join(self.root, "shots", "main.png"), 1120, 300)

    def tearDown(self):
        self.dir.cleanup()

    def guide(self, text=GUIDE):
        path = os.path.join(self.root, "guide.md")
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        return path

    def build(self, text=GUIDE):
        out = os.path.join(self.root, "out")
        make_help.write_pages(make_help.Guide(self.guide(text)), out, "body {}\n")
        return out

    def read(self, out, name):
        with open(os.path.join(out, name), encoding="utf-8") as f:
            return f.read()

    def test_anchors_are_those_of_github_headings(self):
        self.assertEqual(make_help.slug("Error lines and what to do"), "error-lines-and-what-to-do")
        self.assertEqual(make_help.slug("Book Setup (780)"), "book-setup-780")
        self.assertEqual(make_help.slug("**Ref No.** and `Date`"), "ref-no-and-date")
        self.assertEqual(make_help.slug("Data Entry --  Metric"), "data-entry-----metric")

    def test_pages_links_marks_and_pictures(self):
        out = self.build()
        page = lambda name: self.read(out, name)
        # Each marked section is a page up to the next heading of its level.
        grid, main, whole = page("topic_660.html"), page("topic_10.html"), page("user-guide.html")
        self.assertIn("<h1><a name=\"the-grid\"></a>The grid</h1>", grid)
        self.assertIn("<h2><a name=\"moving-rows\"></a>Moving rows</h2>", grid)
        self.assertNotIn("Not a page of the help", grid)
        self.assertNotIn("Error lines", grid)
        self.assertNotIn("Page No", main)
        self.assertEqual(sorted(os.listdir(out)),
                         ["contents.html", "page_errors.html", "shots", "topic_10.html",
                          "topic_660.html", "user-guide.html"])
        # Links lead to the page holding the heading; in the whole guide they
        # stay on the page, and a section outside the help keeps its link.
        self.assertIn('<a href="topic_660.html#moving-rows">moving</a>', main)
        self.assertIn('<a href="topic_660.html">grid</a>', page("page_errors.html"))
        self.assertIn('<a href="topic_10.html">the main window</a>', page("contents.html"))
        self.assertIn('<li><a href="page_errors.html">Error lines</a></li>', page("contents.html"))
        self.assertIn('<a href="#format">one to the format</a>', whole)
        self.assertIn("Not a page of the help", whole)
        # Marks become HTML, text is escaped, report lines keep every blank.
        self.assertIn("<b>Start a New File</b> asks for <i>units</i>", main)
        self.assertIn("<code>&lt;b&gt;x&lt;/b&gt;</code>", main)
        self.assertIn("a bar | stay text", main)
        self.assertIn("<td><b>Page No</b></td>\n<td>a <code>a|b</code> number</td>", grid)
        self.assertIn("<pre><code> PAGE NO      DATE\n   1232  09/30/2026\n</code></pre>", grid)
        self.assertIn("<ol>\n<li>First</li>\n<li>Second<ul>\n<li>nested <b>Cut</b></li>\n</ul>\n</li>\n</ol>",
                      grid)
        # Pictures are scaled to the help window and missing ones left out.
        self.assertIn('<img alt="Main" height="150" src="shots/main.png" width="560">', main)
        self.assertNotIn("none.png", main)
        self.assertIn('height="300" src="shots/main.png" width="1120"', whole)
        self.assertTrue(os.path.isfile(os.path.join(out, "shots", "main.png")))

    def test_the_list_names_exactly_the_files_written(self):
        guide = make_help.Guide(self.guide())
        out = self.build()
        written = sorted(os.path.relpath(os.path.join(d, f), out)
                         for d, _, files in os.walk(out) for f in files)
        self.assertEqual(sorted(guide.outputs()), written)

    def test_guides_the_pages_cannot_be_made_from_are_refused(self):
        refused = {
            "marker without heading": GUIDE.replace("<!-- help: 10 -->\n", "<!-- help: 10 -->\ntext\n"),
            "marker twice": GUIDE.replace("<!-- help: errors -->", "<!-- help: 10 -->"),
            "no contents": GUIDE.replace("<!-- help: contents -->", ""),
            "broken link": GUIDE.replace("(#moving-rows)", "(#moving-row)"),
            "ragged table": GUIDE.replace("| a `a\\|b` number |", "| a | b | c |"),
        }
        for why, text in refused.items():
            with self.subTest(why):
                with self.assertRaises(make_help.GuideError):
                    self.build(text)


if __name__ == "__main__":
    unittest.main()
