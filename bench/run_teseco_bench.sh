#!/bin/sh
# Builds the release configuration and times teseco on the lichess sample
# repeated 19 times (about 71 MB, made in a temporary folder, not kept):
# the table, -t, -s, -e (every game) and -n, the peer pgn-extract -e with
# its own ECO file, and -t over two processes with GNU parallel (--pipe, as for a stream, and --pipepart,
# which hands each process its part of a file), whose output must equal the
# single-process one. Prints the best of RUNS of each in MB/s (10^6 bytes)
# and games/s, by the clock and by the CPU time used, and the peak memory;
# then the move reader alone on the sample in moves/s.
# Usage: bench/run_teseco_bench.sh [RUNS]
set -e
cd "$(dirname "$0")/.."
runs=${1:-3}
cmake --preset release >/dev/null
cmake --build --preset release --target teseco tesbook opening_namer_bench >/dev/null
bin=$PWD/build/release
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp data/lichess-openings.txt "$work/book.txt"
"$bin/programs/tesbook" -x "$work/book.txt" >/dev/null </dev/null
book=$work/book.ECO
big=$work/games.pgn
for i in $(seq 19); do cat data/lichess-2013-01-5000.pgn; done >"$big"
bytes=$(wc -c <"$big")
games=$(grep -c '^\[Event ' "$big")
echo "$games games, $bytes bytes; best of $runs runs"

# measure KEY LABEL OUTPUT COMMAND...: runs the command RUNS times with its
# output in OUTPUT, prints the best run and keeps its clock and CPU seconds
# in clock_KEY and cpu_KEY.
measure() {
    key=$1 label=$2 output=$3
    shift 3
    best=
    for run in $(seq "$runs"); do
        /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >"$output" 2>"$work/err" ||
            { echo "$label failed:"; cat "$work/err"; exit 1; }
        line=$(tail -1 "$work/time")
        best=$(printf '%s\n%s\n' "$best" "$line" | awk 'NF { if (!b || $1 < b1) { b = $0; b1 = $1 } }
            END { print b }')
    done
    echo "$best" | awk -v label="$label" -v bytes="$bytes" -v games="$games" '{
        cpu = $2 + $3; if (cpu <= 0) cpu = 0.001
        printf "%-28s %7.1f MB/s %9.0f games/s  by the clock (%.2f s); %7.1f MB/s by CPU time (%.2f s); peak %6.1f MB\n",
               label, bytes / $1 / 1e6, games / $1, $1, bytes / cpu / 1e6, cpu, $4 / 1024 }'
    eval "clock_$key=$(echo "$best" | cut -d' ' -f1)"
    eval "cpu_$key=$(echo "$best" | awk '{ print $2 + $3 }')"
}

measure table "teseco (table)" "$work/table.txt" "$bin/programs/teseco" "$book" "$big"
measure tags "teseco -t" "$work/tagged.pgn" "$bin/programs/teseco" -t "$book" "$big"
measure stats "teseco -s" "$work/stats.txt" "$bin/programs/teseco" -s "$book" "$big"
measure select "teseco -e A,B,C,D,E" "$work/selected.pgn" "$bin/programs/teseco" -e A,B,C,D,E \
    "$book" "$big"
cmp -s "$big" "$work/selected.pgn" || { echo "-e A,B,C,D,E did not give the input back"; exit 1; }
measure najdorf "teseco -n najdorf" "$work/najdorf.pgn" "$bin/programs/teseco" -n najdorf \
    "$book" "$big"
measure parallel "teseco -t, parallel --pipe" "$work/parallel.pgn" sh -c "parallel --pipe \
    --keep-order --recstart '[Event ' --block 8M -j2 '$bin/programs/teseco' -t '$book' - <'$big'"
cmp -s "$work/tagged.pgn" "$work/parallel.pgn" ||
    { echo "parallel --pipe output differs from the single-process output"; exit 1; }
measure part "teseco -t, parallel --pipepart" "$work/parallel.pgn" parallel --pipepart -a "$big" \
    --keep-order --recstart '[Event ' --block -1 -j2 "$bin/programs/teseco" -t "$book" -
cmp -s "$work/tagged.pgn" "$work/parallel.pgn" ||
    { echo "parallel --pipepart output differs from the single-process output"; exit 1; }
echo "both parallel outputs equal the single-process output; two-core speed-up by the clock:" \
    "$(echo "$clock_tags $clock_parallel $clock_part" |
        awk '{ printf "%.2f with --pipe, %.2f with --pipepart", $1 / $2, $1 / $3 }')"
if command -v pgn-extract >/dev/null || [ -x /usr/games/pgn-extract ]; then
    extract=$(command -v pgn-extract || echo /usr/games/pgn-extract)
    measure extract "pgn-extract -e" "$work/extract.pgn" "$extract" -e/usr/share/pgn-extract/eco.pgn -s \
        -o /dev/null "$big"
    echo "teseco (table) against pgn-extract -e:" \
        "$(echo "$clock_extract $clock_table $cpu_extract $cpu_table" |
            awk '{ printf "%.1fx by the clock, %.1fx by CPU time", $1 / $2, $3 / $4 }')"
else
    echo "pgn-extract is not installed (Debian package pgn-extract)"
fi
"$bin/bench/opening_namer_bench" "$book" data/lichess-2013-01-5000.pgn 5
