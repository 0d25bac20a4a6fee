#!/usr/bin/env bash
# Whole-process batch throughput of fifteen-solve under the default options
# against one thread, Korf's 100 under the default options against every
# position on every thread (what the default did before positions were spread
# over the cores), and the peak memory of a long batch. Each figure is the
# median of RUNS runs of the whole process (its table build included).
#
#   bench/batch_throughput.sh                 100,000 positions, 1,000,000 for memory, Korf's 100
#   COUNT=20000 BIG=200000 KORF=0 RUNS=3 bench/batch_throughput.sh    smaller, no Korf
#
# SOLVER (default build/release/cli/fifteen-solve), COUNT, BIG, RUNS (5), KORF (1:
# run Korf's 100), KORF_COUNT (100: the first so many instances), THREADS (2: the
# explicit thread count Korf's 100 is compared with). The cache and settings folders are temporary ones.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
solver=${SOLVER:-$root/build/release/cli/fifteen-solve}
count=${COUNT:-100000}
big=${BIG:-1000000}
runs=${RUNS:-5}
korf=${KORF:-1}
korf_count=${KORF_COUNT:-100}
threads=${THREADS:-2}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CACHE_HOME=$scratch/cache XDG_CONFIG_HOME=$scratch/config

# The median of the numbers on standard input.
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# Seconds (wall clock) of RUNS runs of the solver on file with the options given,
# answers to /dev/null; prints the median and keeps every run in the log, with
# its CPU seconds (user + system) in $scratch/cpu.
timed() {
    local file=$1
    shift
    : >"$scratch/cpu"
    for _ in $(seq "$runs"); do
        /usr/bin/time -f '%e %M %U %S' -o "$scratch/time" "$solver" "$@" -f "$file" >/dev/null
        cat "$scratch/time" >>"$scratch/log"
        awk '{print $3 + $4}' "$scratch/time" >>"$scratch/cpu"
        cut -d' ' -f1 "$scratch/time"
    done | median
}
# Microseconds of CPU (user + system) a position, median of the last timed runs.
cpu_per_position() { median <"$scratch/cpu" | awk -v n="$1" '{printf "%.1f", $1 * 1e6 / n}'; }

python3 "$root/bench/walk_positions.py" "$count" 10 30 1 >"$scratch/walks.txt"
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
one=$(timed "$scratch/walks.txt" --threads 1)
one_cpu=$(cpu_per_position "$count")
default=$(timed "$scratch/walks.txt")
default_cpu=$(cpu_per_position "$count")
echo "$count positions of 10-30 moves: --threads 1 ${one} s, default ${default} s," \
    "speed-up $(awk -v a="$one" -v b="$default" 'BEGIN {printf "%.2f", a / b}')x (medians of $runs);" \
    "CPU a position (start-up included): ${one_cpu} us and ${default_cpu} us"
# The start-up (the default tables' build, the same either way) bounds the
# speed-up of a whole process: one position alone.
head -n 1 "$scratch/walks.txt" >"$scratch/one.txt"
start_one=$(timed "$scratch/one.txt" --threads 1)
start_default=$(timed "$scratch/one.txt")
echo "start-up (one position): --threads 1 ${start_one} s, default ${start_default} s;" \
    "after it: --threads 1 $(awk -v a="$one" -v b="$start_one" 'BEGIN {printf "%.2f", a - b}') s," \
    "default $(awk -v a="$default" -v b="$start_default" 'BEGIN {printf "%.2f", a - b}') s"

python3 "$root/bench/walk_positions.py" "$big" 10 30 2 >"$scratch/big.txt"
/usr/bin/time -f '%e %M' -o "$scratch/time" "$solver" --format json -f "$scratch/big.txt" >/dev/null
read -r seconds kb <"$scratch/time"
echo "$big positions, default options, JSON: ${seconds} s, peak memory $((kb / 1024)) MB"
/usr/bin/time -f '%e %M' -o "$scratch/time" "$solver" "1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15" >/dev/null
read -r seconds kb <"$scratch/time"
echo "one position, default options: peak memory $((kb / 1024)) MB"

if [ "$korf" = 1 ]; then
    grep -v '^#' "$root/bench/data/korf100.tsv" | cut -f2 | head -n "$korf_count" >"$scratch/korf.txt"
    every=$(timed "$scratch/korf.txt" --threads "$threads")
    default=$(timed "$scratch/korf.txt")
    echo "Korf's 100 (the first $korf_count): --threads $threads ${every} s, default ${default} s," \
        "ratio $(awk -v a="$default" -v b="$every" 'BEGIN {printf "%.3f", a / b}') (medians of $runs)"
fi
