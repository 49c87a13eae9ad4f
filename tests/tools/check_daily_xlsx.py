#!/usr/bin/env python3
"""Reads a daily summary spreadsheet with openpyxl, a reader that shares
nothing with the writer, and checks it against the CSV of the same summary.

  check_daily_xlsx.py SUMMARY.xlsx SUMMARY.csv

Exit 0 when the sheets, the charts and every number of the day totals agree;
1 with the reasons on stderr otherwise.
"""
import csv
import sys

from openpyxl import load_workbook

SHEETS = ["Charts", "Books", "Days", "Yield", "Hours", "Tickets", "Tons by day"]
HEAD_ROW = 4  # headings in row 4, data from row 5


def csv_sections(path):
    sections, current = {}, None
    with open(path, newline="", encoding="latin-1") as f:
        rows = list(csv.reader(f))
    for i, row in enumerate(rows[1:], start=1):
        if not row:
            current = None
        elif current is None:
            current = row[0]
            sections[current] = []
        else:
            sections[current].append(row)
    return sections


def close(text, value):
    decimals = len(text.split(".")[1]) if "." in text else 0
    return isinstance(value, (int, float)) and abs(float(text) - value) <= 0.5 * 10 ** -decimals + 1e-9


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    wb = load_workbook(argv[1])
    faults = []
    if wb.sheetnames != SHEETS:
        faults.append("sheets %r" % wb.sheetnames)
    charts = wb["Charts"]._charts if "Charts" in wb.sheetnames else []
    if len(charts) != 4:
        faults.append("%d charts on the Charts sheet, not 4" % len(charts))
    for chart in charts:
        if not chart.series:
            faults.append("a chart without series")
    sections = csv_sections(argv[2])
    for sheet, title in (("Days", "Day totals (as the tonnage report's by-date lines)"),
                         ("Books", "Loads and tons per book")):
        expected = sections.get(title, [])
        ws = wb[sheet]
        got = [list(r) for r in ws.iter_rows(min_row=HEAD_ROW, values_only=True)]
        if [str(h) for h in got[0]] != expected[0]:
            faults.append("%s headings %r" % (sheet, got[0]))
        if len(got) != len(expected):
            faults.append("%s has %d rows, the CSV %d" % (sheet, len(got), len(expected)))
        for want, have in zip(expected[1:], got[1:]):
            for w, h in zip(want, have):
                if w == "" and h is None:
                    continue
                if not (w == str(h) or close(w, h)):
                    faults.append("%s: %r where the CSV has %r" % (sheet, h, w))
    cumulative = [r[-1] for r in wb["Tons by day"].iter_rows(min_row=HEAD_ROW + 1, values_only=True)]
    if not cumulative or cumulative != sorted(cumulative):
        faults.append("cumulative tons %r" % cumulative)
    for f in faults:
        sys.stderr.write(f + "\n")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
