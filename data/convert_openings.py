#!/usr/bin/env python3
"""Converts the lichess opening tables (TSV files with the columns eco, name
and pgn) into an ECO text file for tesbook: per opening a header line
"ECO name" and a move line, the pgn followed by " 1/2".

Usage: convert_openings.py OUTPUT.txt a.tsv b.tsv ...

The openings are written in the order of the files and of their rows; the
first row of every file is its column header. Names pass through as bytes,
UTF-8 letters included.
"""
import sys


def convert_rows(path):
    with open(path, "rb") as table:
        rows = table.read().decode("utf-8").splitlines()
    if not rows or rows[0].split("\t") != ["eco", "name", "pgn"]:
        sys.exit(f"{path}: the first row must be the header eco, name, pgn")
    for number, row in enumerate(rows[1:], start=2):
        fields = row.split("\t")
        if len(fields) != 3:
            sys.exit(f"{path}:{number}: expected 3 columns, found {len(fields)}")
        eco, name, pgn = fields
        if len(eco) != 3 or eco[0] not in "ABCDE" or not eco[1:].isdigit():
            sys.exit(f"{path}:{number}: not an ECO code: {eco!r}")
        # A ';' would start a comment and a '$' cannot be stored in the file.
        if ";" in name or "$" in name:
            sys.exit(f"{path}:{number}: the name holds ';' or '$': {name!r}")
        if "1/2" in pgn:
            sys.exit(f"{path}:{number}: the moves hold the end marker 1/2")
        yield f"{eco} {name}\n{pgn} 1/2\n"


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    text = "".join(line for path in argv[2:] for line in convert_rows(path))
    with open(argv[1], "wb") as out:
        out.write(text.encode("utf-8"))


if __name__ == "__main__":
    main(sys.argv)
