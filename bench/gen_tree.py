#!/usr/bin/env python3
"""Writes a reproducible tree for the scan benchmarks.

  bench/gen_tree.py DIR [--files 200000] [--folders 20000] [--seed 1]

Folders: 20 top folders, each with subfolders, down to leaf folders holding
the files. Files: mostly small, some medium, a few large; about 1 % empty;
about 10 % copies of an earlier file's content; about 5 % of the same size as
an earlier file but different (half of those alike in the first kilobyte and
differing later). The same arguments always give the same tree.
"""
import argparse
import os
import random


def ext_of(rng):
    # About 3 % temporary files, as on a working disk.
    r = rng.random()
    if r < 0.015:
        return "bak"
    if r < 0.03:
        return "tmp"
    return ("txt", "bin", "dat", "log", "jpg", "dll")[int(r * 1000) % 6]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("dir")
    ap.add_argument("--files", type=int, default=200000)
    ap.add_argument("--folders", type=int, default=20000)
    ap.add_argument("--seed", type=int, default=1)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    pool = random.Random(a.seed + 1).randbytes(1 << 21)

    # Leaf folders under two levels of parents: top/mid/leaf.
    top = 20
    mid = max(1, a.folders // (top * 100))
    leaves = []
    for t in range(top):
        for m in range(mid):
            for l in range(a.folders // (top * mid)):
                leaves.append(os.path.join(a.dir, "t%02d" % t, "m%03d" % m, "leaf%03d" % l))
    for d in leaves:
        os.makedirs(d, exist_ok=True)

    def size_of():
        r = rng.random()
        if r < 0.01:
            return 0
        if r < 0.85:
            return rng.randint(1, 4096)
        if r < 0.99:
            return rng.randint(4097, 65536)
        return rng.randint(65537, 512 * 1024)

    def content(index, size, offset):
        # A unique head (the file's index), then bytes of the pool.
        head = b"%012d" % index
        body = pool[offset:offset + size]
        while len(body) < size:
            body += pool[: size - len(body)]
        return (head + body)[:size]

    made = []  # (size, bytes head) of earlier files, to copy from
    per = a.files // len(leaves)
    extra = a.files - per * len(leaves)
    index = 0
    stats = {"copies": 0, "same_size": 0, "same_head": 0, "bytes": 0}
    for n, d in enumerate(leaves):
        for k in range(per + (1 if n < extra else 0)):
            r = rng.random()
            if made and r < 0.10:
                data = made[rng.randrange(len(made))]
                stats["copies"] += 1
            elif made and r < 0.15:
                base = made[rng.randrange(len(made))]
                size = max(len(base), 2)
                if len(base) > 1100 and r < 0.125:
                    # Alike in the first kilobyte, different further on.
                    data = base[:1024] + content(index, size - 1024, rng.randrange(len(pool)))
                    stats["same_head"] += 1
                else:
                    data = content(index, size, rng.randrange(len(pool)))
                stats["same_size"] += 1
            else:
                data = content(index, size_of(), rng.randrange(len(pool)))
            with open(os.path.join(d, "f%03d.%s" % (k, ext_of(rng))), "wb") as f:
                f.write(data)
            if len(made) < 20000:
                made.append(data)
            elif rng.random() < 0.1:
                made[rng.randrange(len(made))] = data
            stats["bytes"] += len(data)
            index += 1
    print("%d files in %d leaf folders, %.1f MiB; %d copies, %d same-size others (%d alike in the first KiB)"
          % (index, len(leaves), stats["bytes"] / 1048576.0, stats["copies"], stats["same_size"], stats["same_head"]))


if __name__ == "__main__":
    main()
