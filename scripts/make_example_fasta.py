#!/usr/bin/env python3
"""Writes the small example FASTA bundled in examples/: a few records of
random sequence with planted perfect and imperfect microsatellites, runs of
N, lower-case stretches and gap characters. Deterministic (fixed seed)."""
import random
import sys

rng = random.Random(20261209)


def rand_seq(n):
    return "".join(rng.choice("ACGT") for _ in range(n))


def mutate(s, rate):
    out = []
    for c in s:
        r = rng.random()
        if r < rate / 3:
            out.append(rng.choice("ACGT"))          # substitution
        elif r < 2 * rate / 3:
            out.append(c + rng.choice("ACGT"))      # insertion
        elif r < rate:
            pass                                    # deletion
        else:
            out.append(c)
    return "".join(out)


def record(parts):
    return "".join(parts)


records = []
records.append(("chr_demo_1 planted perfect and imperfect repeats", record([
    rand_seq(120), "AC" * 15, rand_seq(90), mutate("CAG" * 20, 0.08), rand_seq(100),
    "A" * 18, rand_seq(80), mutate("GATA" * 12, 0.05), rand_seq(60)])))
records.append(("chr_demo_2 Ns lower case and gaps", record([
    rand_seq(70), "TG" * 6 + "NN" + "TG" * 6, rand_seq(50), "N" * 25, rand_seq(40),
    ("AAGG" * 8).lower(), rand_seq(60), "ATT" * 5 + "-" + "ATT" * 5, rand_seq(40),
    "CT*CTCTCTCTCTCT", rand_seq(50)])))
records.append(("chr_demo_3 satellite", record([
    rand_seq(60), mutate("ACGTTGCAGT" * 6, 0.04), rand_seq(60), "GGC" * 3, rand_seq(30)])))

out = sys.stdout
for header, seq in records:
    out.write(">" + header + "\n")
    for i in range(0, len(seq), 60):
        out.write(seq[i:i + 60] + "\n")
