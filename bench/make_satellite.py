#!/usr/bin/env python3
"""Writes a generated satellite array as one FASTA record.

    make_satellite.py KIND LENGTH OUT [RATE] [SEED]

KIND:
  pentamer  blocks of AATGG x 40, each block mutated independently at RATE
            per base (default 0.05), joined
  alpha     twelve 171-bp monomers, each a 20 %-mutated copy of one random
            171-mer, joined into a higher-order unit; copies of that unit
            mutated at RATE (default 0.01)
  dinuc     a perfect (AC)n run
  unit31    a perfect run of one random 31-mer
  guard     the small multi-record file of the regression guard: each kind
            above (pentamer at 2, 5 and 10 %, a pentamer array with N runs)
            between stretches of random sequence (LENGTH is ignored)
  longunit  random sequence with planted repeats of units 11 to 300, 0 to
            10 % mutated, and a few N runs, LENGTH bases
Mutations: 80 % substitutions, 10 % deletions, 10 % insertions of a random
base. The output is cut to LENGTH bases; the seed (default 1) fixes it.
"""
import random
import sys

BASES = "ACGT"


def mutate(rng, s, rate):
    out = []
    for c in s:
        if rng.random() >= rate:
            out.append(c)
            continue
        r = rng.random()
        if r < 0.8:
            out.append(rng.choice([b for b in BASES if b != c]))
        elif r < 0.9:
            pass  # deletion
        else:
            out.append(c)
            out.append(rng.choice(BASES))
    return "".join(out)


def build(kind, length, rate, rng):
    parts, total = [], 0
    if kind == "pentamer":
        block = "AATGG" * 40
        while total < length:
            b = mutate(rng, block, 0.05 if rate is None else rate)
            parts.append(b)
            total += len(b)
    elif kind == "alpha":
        mono = "".join(rng.choice(BASES) for _ in range(171))
        hor = "".join(mutate(rng, mono, 0.20) for _ in range(12))
        while total < length:
            c = mutate(rng, hor, 0.01 if rate is None else rate)
            parts.append(c)
            total += len(c)
    elif kind == "dinuc":
        parts = ["AC" * (length // 2 + 1)]
    elif kind == "unit31":
        unit = "".join(rng.choice(BASES) for _ in range(31))
        parts = [unit * (length // 31 + 1)]
    else:
        raise SystemExit("unknown kind " + kind)
    return "".join(parts)[:length]


def random_dna(rng, n):
    return "".join(rng.choice(BASES) for _ in range(n))


def with_N_runs(rng, s, every):
    out, i = [], 0
    while i < len(s):
        step = rng.randrange(every // 2, every + every // 2)
        out.append(s[i:i + step])
        out.append("N" * rng.choice([1, 2, 3, 5]))
        i += step
    return "".join(out)


def guard_records(rng):
    arrays = [
        ("pentamer_5pc", build("pentamer", 12000, 0.05, rng)),
        ("pentamer_2pc", build("pentamer", 8000, 0.02, rng)),
        ("pentamer_10pc", build("pentamer", 8000, 0.10, rng)),
        ("pentamer_Ns", with_N_runs(rng, build("pentamer", 6000, 0.05, rng), 700)),
        ("alpha", build("alpha", 12000, None, rng)),
        ("dinuc", build("dinuc", 3000, None, rng)),
        ("unit31", build("unit31", 3000, None, rng)),
    ]
    return [(name, random_dna(rng, 500) + a + random_dna(rng, 500)) for name, a in arrays]


def longunit(rng, length):
    parts, total = [], 0
    while total < length:
        parts.append(random_dna(rng, rng.randrange(100, 800)))
        k = rng.choice([11, 13, 17, 24, 31, 45, 64, 100, 171, 230, 300])
        unit = random_dna(rng, k)
        rep = mutate(rng, unit * rng.randrange(2, 8), rng.choice([0.0, 0.02, 0.05, 0.10]))
        if rng.random() < 0.2:
            rep = with_N_runs(rng, rep, max(50, len(rep) // 2))
        parts.append(rep)
        total += len(parts[-1]) + len(parts[-2])
    return "".join(parts)[:length]


def write_fasta(f, name, seq):
    f.write(">%s\n" % name)
    for i in range(0, len(seq), 80):
        f.write(seq[i:i + 80] + "\n")


def main():
    if len(sys.argv) < 4:
        raise SystemExit(__doc__)
    kind, length, out = sys.argv[1], int(float(sys.argv[2])), sys.argv[3]
    rate = float(sys.argv[4]) if len(sys.argv) > 4 and sys.argv[4] != "-" else None
    seed = int(sys.argv[5]) if len(sys.argv) > 5 else 1
    rng = random.Random(seed)
    with open(out, "w") as f:
        if kind == "guard":
            for name, seq in guard_records(rng):
                write_fasta(f, name, seq)
        elif kind == "longunit":
            write_fasta(f, "longunit_%d" % length, longunit(rng, length))
        else:
            write_fasta(f, "%s_%d" % (kind, length), build(kind, length, rate, rng))


if __name__ == "__main__":
    main()
