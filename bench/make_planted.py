#!/usr/bin/env python3
"""Writes a deterministic test genome: random background with planted tandem
repeats (unit lengths 1 to 24) carrying substitutions, insertions, deletions
and short N runs. Usage: make_planted.py OUT.fa [SIZE_BYTES]"""
import sys

out = sys.argv[1]
size = int(sys.argv[2]) if len(sys.argv) > 2 else 2_000_000

state = 20240611
def rnd(n):
    # 64-bit LCG (Knuth's MMIX constants); the high bits are used.
    global state
    state = (state * 6364136223846793005 + 1442695040888963407) & 0xFFFFFFFFFFFFFFFF
    return (state >> 33) % n

ACGT = "ACGT"
seq = []
total = 0
while total < size:
    # background stretch
    bg = "".join(ACGT[rnd(4)] for _ in range(20 + rnd(400)))
    seq.append(bg)
    total += len(bg)
    # planted repeat
    k = 1 + rnd(24) if rnd(3) else 1 + rnd(8)
    unit = "".join(ACGT[rnd(4)] for _ in range(k))
    copies = 2 + rnd(30)
    rate = rnd(20)  # percent of positions altered: 0 .. 19
    rep = []
    for i in range(copies * k):
        c = unit[i % k]
        r = rnd(100)
        if r < rate:
            kind = rnd(10)
            if kind < 6:
                c = ACGT[(ACGT.index(c) + 1 + rnd(3)) % 4]
            elif kind < 8:
                c = c + ACGT[rnd(4)]
            elif kind < 9:
                c = ""
            else:
                c = "N" * (1 + rnd(4))
        rep.append(c)
    rep = "".join(rep)
    seq.append(rep)
    total += len(rep)
    if rnd(200) == 0:
        seq.append("N" * (1 + rnd(50)))

s = "".join(seq)[:size]
with open(out, "w") as f:
    f.write(">planted deterministic test genome\n")
    for i in range(0, len(s), 70):
        f.write(s[i:i + 70] + "\n")
    # a second, short record with lower-case letters
    f.write(">planted_2 lower case\n")
    t = s[1000:4000].lower()
    for i in range(0, len(t), 60):
        f.write(t[i:i + 60] + "\n")
