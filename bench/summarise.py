#!/usr/bin/env python3
"""Turns benchmark samples into the results table.

Input: lines "figure<TAB>side<TAB>milliseconds<TAB>where<TAB>target" on stdin (side A
or B, or V for a figure held against its target in milliseconds rather than against
a B side), in the order they were measured. Output: a Markdown table with the median
and min-max of each side and the ratio of the medians, and a PASS/MISS column.
"""
import statistics
import sys

rows = {}
order = []
for line in sys.stdin:
    parts = line.rstrip("\n").split("\t")
    if len(parts) != 5:
        continue
    figure, side, ms, where, target = parts
    if figure not in rows:
        rows[figure] = {"A": [], "B": [], "V": [], "where": where, "target": float(target)}
        order.append(figure)
    rows[figure][side].append(float(ms))

print("| figure | measured | A median (min-max) ms | B median (min-max) ms | runs | A/B | target | |")
print("|---|---|---|---|---|---|---|---|")
for figure in order:
    r = rows[figure]
    if r["V"]:
        v = statistics.median(r["V"])
        verdict = "meets" if max(r["V"]) <= r["target"] else "misses"
        print(f"| {figure} | {r['where']} | {v:.3f} ({min(r['V']):.3f}-{max(r['V']):.3f}) | - | "
              f"{len(r['V'])} | - | every run <= {r['target']:g} ms | {verdict} |")
        continue
    if not r["A"] or not r["B"]:
        continue
    a, b = statistics.median(r["A"]), statistics.median(r["B"])
    ratio = a / b if b > 0 else float("inf")
    verdict = "meets" if ratio <= r["target"] else "misses"
    print(f"| {figure} | {r['where']} | {a:.3f} ({min(r['A']):.3f}-{max(r['A']):.3f}) | "
          f"{b:.3f} ({min(r['B']):.3f}-{max(r['B']):.3f}) | {len(r['A'])}+{len(r['B'])} | "
          f"{ratio:.2f} | <= {r['target']:g} | {verdict} |")
