#!/usr/bin/env python3
"""Reads a daily summary spreadsheet with openpyxl (sharing nothing with the writer) and checks
its sheets, charts and every number of the day totals against the CSV of the same summary.

  check_daily_xlsx.py SUMMARY.xlsx SUMMARY.csv      (exit 1 with the reasons on stderr)
"""
import csv
import itertools
import sys

from openpyxl import load_workbook

SHEETS = ["Charts", "Books", "Days", "Yield", "Hours", "Tickets", "Tons by day"]
HEAD_ROW = 4  # headings in row 4, data from row 5
# The sheets that repeat a CSV section, cell for cell.
SECTIONS = {"Days": "Day totals (as the tonnage report's by-date lines)", "Books": "Loads and tons per book"}


def csv_sections(path):
    """The CSV's sections (a title row, then rows up to a blank one) by title."""
    with open(path, newline="", encoding="latin-1") as f:
        rows = list(csv.reader(f))[1:]
    runs = [list(run) for blank, run in itertools.groupby(rows, lambda row: not row) if not blank]
    return {run[0][0]: run[1:] for run in runs}


def same(text, value):
    """The CSV's text and the sheet's value agree, a number to the CSV's decimals."""
    if text == str(value) or (text == "" and value is None):
        return True
    decimals = len(text.split(".")[1]) if "." in text else 0
    return isinstance(value, (int, float)) and abs(float(text) - value) <= 0.5 * 10 ** -decimals + 1e-9


def faults(wb, sections):
    if wb.sheetnames != SHEETS:
        yield "sheets %r" % wb.sheetnames
    charts = wb["Charts"]._charts if "Charts" in wb.sheetnames else []
    if len(charts) != 4:
        yield "%d charts on the Charts sheet, not 4" % len(charts)
    yield from ("a chart without series" for chart in charts if not chart.series)
    for sheet, title in SECTIONS.items():
        expected = sections.get(title, [])
        got = [list(r) for r in wb[sheet].iter_rows(min_row=HEAD_ROW, values_only=True)]
        if [str(h) for h in got[0]] != expected[0]:
            yield "%s headings %r" % (sheet, got[0])
        if len(got) != len(expected):
            yield "%s has %d rows, the CSV %d" % (sheet, len(got), len(expected))
        for want, have in zip(expected[1:], got[1:]):
            yield from ("%s: %r where the CSV has %r" % (sheet, h, w) for w, h in zip(want, have) if not same(w, h))
    cumulative = [r[-1] for r in wb["Tons by day"].iter_rows(min_row=HEAD_ROW + 1, values_only=True)]
    if not cumulative or cumulative != sorted(cumulative):
        yield "cumulative tons %r" % cumulative


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    found = list(faults(load_workbook(argv[1]), csv_sections(argv[2])))
    sys.stderr.write("".join(f + "\n" for f in found))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
