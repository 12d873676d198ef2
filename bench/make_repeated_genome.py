#!/usr/bin/env python3
"""Writes one FASTA record of MB megabases: the sequence of the records of
GENOME joined and repeated, cut to size. Usage: make_repeated_genome.py
GENOME OUT MB NAME"""
import sys

src, dst, mb, name = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
seq = "".join(l.strip() for l in open(src) if not l.startswith(">"))
need = mb * 1000000
out = (seq * (need // len(seq) + 1))[:need]
with open(dst, "w") as f:
    f.write(">%s\n" % name)
    for i in range(0, len(out), 80):
        f.write(out[i:i + 80] + "\n")
