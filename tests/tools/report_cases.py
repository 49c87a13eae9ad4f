#!/usr/bin/env python3
"""Runs one report case (its layout is in tests/README.md) through `tonnage report`
and compares the spool; UPDATE_GOLDEN=1 rewrites it, to be reviewed before committing.

  report_cases.py TONNAGE CASE ROOT   (ROOT: where a sample named by the command is)
"""
import difflib
import os
import subprocess
import sys
import tempfile


def split_case(data):
    at = data.find(b"test ") if data.startswith(b"test ") else data.find(b"\ntest ") + 1
    eol = data.index(b"\n", at)
    if not data.endswith(b"end test\n"):
        sys.exit("the case does not end with a line 'end test'")
    return data[:at], data[at + 5:eol].decode("latin-1").split(), data[:eol + 1], data[eol + 1:-9]


def main(tonnage, case, root):
    data = open(case, "rb").read()
    given, args, head, expected = split_case(data)
    with tempfile.TemporaryDirectory() as folder:
        if given:
            args.insert(1, os.path.join(folder, "CASE.K81"))
            open(args[1], "wb").write(given)
        run = subprocess.run([tonnage] + args, cwd=root, capture_output=True)
    if run.returncode != 0:
        sys.exit("%s: tonnage %s exited %d: %s" % (case, " ".join(args), run.returncode, run.stderr.decode()))
    if os.environ.get("UPDATE_GOLDEN") == "1":
        open(case, "wb").write(head + run.stdout + b"end test\n")
        # The command and printing tests still read some sample spools on their own.
        kept = os.path.join(os.path.dirname(case), "samples", os.path.basename(case)[:-5] + ".SPL")
        if os.path.exists(kept):
            open(kept, "wb").write(run.stdout)
        print("rewrote %s: review it before committing" % case)
    elif run.stdout != expected:
        lines = [[repr(line) for line in spool.decode("latin-1").split("\r\n")] for spool in (expected, run.stdout)]
        diff = difflib.unified_diff(*lines, "expected", "actual", n=0, lineterm="")
        sys.exit("%s: the spool differs\n%s" % (case, "\n".join(list(diff)[:20])))


if __name__ == "__main__":
    main(*sys.argv[1:])
