#!/usr/bin/env bash
# Times zmscan against the tools people use instead, in one run, on the
# reproducible tree of gen_tree.py, with a warm cache; prints ratios.
#   bench/run_bench.sh [TREE_DIR, default /tmp/zm-bench/tree] [runs, default 3]
# Each command runs `runs` times; the best time counts. Needs jdupes, rmlint
# and fdupes (Debian packages of those names).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-/tmp/zm-bench/tree}
runs=${2:-3}
work=$(dirname "$tree")/work
zmscan=$root/build/native/zmscan
[ -x "$zmscan" ] || { cmake -S "$root" -B "$root/build/native" -G Ninja >/dev/null; cmake --build "$root/build/native" -j2 --target zmscan >/dev/null; }
if [ ! -d "$tree" ]; then
    echo "== generating $tree"
    python3 "$root/bench/gen_tree.py" "$tree"
fi
mkdir -p "$work"
echo "== $(find "$tree" -type f | wc -l) files, $(find "$tree" -type d | wc -l) folders, $(du -sh "$tree" | cut -f1)"

# Warm the cache, then make every last access older than the last write, so
# that any read through the normal path would move it (relatime).
find "$tree" -type f -print0 | xargs -0 cat >/dev/null
find "$tree" -type f -print0 | xargs -0 touch -a -d 2001-01-01
atimes() { find "$tree" -type f -printf '%A@ %p\n' | sort | md5sum | cut -d' ' -f1; }
before=$(atimes)

best() {  # best wall time in seconds of "$@" over $runs runs
    local b=
    for _ in $(seq "$runs"); do
        local s e
        s=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || true
        e=$(date +%s.%N)
        b=$(echo "$s $e ${b:-999999}" | awk '{t=$2-$1; print (t<$3)?t:$3}')
    done
    echo "$b"
}
ratio() { echo "$1 $2" | awk '{printf "%.2f", $1/$2}'; }

find_sort() { find "$tree" -printf '%s %A@ %p\n' | sort -n >/dev/null; }
du_s() { du -s "$tree"; }

echo "== free-space scan"
t_free=$(best "$zmscan" free -q --out "$work" "$tree")
t_find=$(best find_sort)
t_du=$(best du_s)
echo "zmscan free $t_free s; find -printf | sort $t_find s; du -s $t_du s"
echo "ratio free/find-sort $(ratio "$t_free" "$t_find"), free/du $(ratio "$t_free" "$t_du")"

echo "== changes scan (walk, load, compare, save) against a stored image"
"$zmscan" changes -q --out "$work" "$tree" >/dev/null
"$zmscan" images accept --out "$work" >/dev/null
t_changes=$(best "$zmscan" changes -q --out "$work" "$tree")
echo "zmscan changes $t_changes s; du -s $t_du s; ratio changes/du $(ratio "$t_changes" "$t_du")"
"$zmscan" images discard --out "$work" >/dev/null

echo "== duplicates scan"
t_dup=$(best "$zmscan" duplicates -q --out "$work" "$tree")
after=$(atimes)
if [ "$before" = "$after" ]; then echo "last access times: unchanged by every zmscan run"; else echo "last access times: CHANGED"; fi
t_jd=$(best jdupes -r -q "$tree")
t_rm=$(best rmlint -T df -o fdupes:"$work/rmlint.out" "$tree")
t_fd=$(best fdupes -r -q "$tree")
echo "zmscan duplicates $t_dup s; jdupes -r $t_jd s; rmlint -T df $t_rm s; fdupes -r $t_fd s"
echo "ratio dup/jdupes $(ratio "$t_dup" "$t_jd"), dup/rmlint $(ratio "$t_dup" "$t_rm"), dup/fdupes $(ratio "$t_dup" "$t_fd")"

# The same groups as jdupes: each group as its sorted paths, all groups sorted.
groups() {  # groups() report|jdupes FILE
    python3 - "$1" "$2" <<'PY'
import sys
kind, path = sys.argv[1], sys.argv[2]
groups, cur = [], []
with open(path, encoding="utf-8", errors="surrogateescape", newline="") as f:
    lines = f.read().replace("\r\n", "\n").split("\n")
if kind == "report":
    lines = lines[2:]
for line in lines:
    if line == "":
        if cur:
            groups.append("|".join(sorted(cur)))
        cur = []
    else:
        cur.append(line.split("\t")[0] if kind == "report" else line)
if cur:
    groups.append("|".join(sorted(cur)))
for g in sorted(groups):
    print(g)
PY
}
jdupes -r -q "$tree" >"$work/jdupes.out"
groups report "$work/Duplicates.txt" >"$work/groups.zmscan"
groups jdupes "$work/jdupes.out" >"$work/groups.jdupes"
if cmp -s "$work/groups.zmscan" "$work/groups.jdupes"; then
    echo "groups: the same as jdupes ($(wc -l <"$work/groups.zmscan") groups)"
else
    echo "groups: DIFFERENT from jdupes ($(wc -l <"$work/groups.zmscan") against $(wc -l <"$work/groups.jdupes"))"
fi
