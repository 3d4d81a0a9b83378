#!/usr/bin/env python3
"""Compares velmaro-list's JSON listing on the memory backend with the one on Wine's registry.

    compare_rows.py MEMORY.json WINE.json

The rows must be the same, with two allowances, both about order and nothing else:
- rows with the same COM number follow the order in which the device walk met their devices; the
  memory machine walks the scenario's order, Wine walks its registry's (key names in sorted
  order), so within one COM number the rows are compared as a multiset;
- the problem rows ("Warnung") of the driver-problem walk come last in that walk's order, so they
  too are compared as a multiset.
Wine's own devices (display, monitor, HID, ...) carry no port tag and match no known cable, so
they add no row: they are not filtered, and a row of theirs would fail the comparison.
"""
import json
import sys
from collections import Counter


def groups(listing):
    """[(key, Counter of rows)] in listing order: one group per COM number, one for the problems."""
    result = []
    for row in listing["rows"]:
        key = "problems" if row["text"] == "Warnung" else row["text"]
        if not result or result[-1][0] != key:
            result.append((key, Counter()))
        result[-1][1][json.dumps(row, sort_keys=True, ensure_ascii=False)] += 1
    return result


def differences(memory, wine):
    found = []
    if memory["problem_line"] != wine["problem_line"]:
        found.append(f"problem line: memory {memory['problem_line']}, Wine {wine['problem_line']}")
    mine, theirs = groups(memory), groups(wine)
    if [k for k, _ in mine] != [k for k, _ in theirs]:
        found.append(f"row groups: memory {[k for k, _ in mine]}, Wine {[k for k, _ in theirs]}")
    for (key, rows), (_, other) in zip(mine, theirs):
        for row in sorted((rows - other).elements()):
            found.append(f"{key}: only on the memory backend: {row}")
        for row in sorted((other - rows).elements()):
            found.append(f"{key}: only under Wine: {row}")
    return found


def main(argv):
    if len(argv) != 3:
        print("usage: compare_rows.py MEMORY.json WINE.json", file=sys.stderr)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        memory = json.load(f)
    with open(argv[2], encoding="utf-8") as f:
        wine = json.load(f)
    found = differences(memory, wine)
    for line in found:
        print(line)
    if not found:
        print(f"same {len(memory['rows'])} rows, problem line {'shown' if memory['problem_line'] else 'hidden'}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
