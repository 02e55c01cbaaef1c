#!/bin/sh
# Builds the release configuration and times teseco on the lichess sample
# repeated 19 times (about 71 MB, made in a temporary folder, not kept):
# -s, -e (every game) and -n on one thread, the table and -t on one thread
# and on two (from the file and through a pipe; the runs of one and two
# threads take turns), whose outputs must be equal, the peer pgn-extract -e with its own ECO file, and
# -t over two processes with GNU parallel (--pipe, as for a stream, and --pipepart,
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

# once KEY OUTPUT COMMAND...: runs the command once with its output in
# OUTPUT and keeps the run's clock and CPU seconds and peak memory.
once() {
    key=$1 output=$2
    shift 2
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >"$output" 2>"$work/err" ||
        { echo "$key failed:"; cat "$work/err"; exit 1; }
    tail -1 "$work/time" >>"$work/$key.runs"
}

# report KEY LABEL: prints the best run of KEY and keeps its clock and CPU
# seconds in clock_KEY and cpu_KEY.
report() {
    key=$1 label=$2
    best=$(sort -n "$work/$key.runs" | head -1)
    echo "$best" | awk -v label="$label" -v bytes="$bytes" -v games="$games" '{
        cpu = $2 + $3; if (cpu <= 0) cpu = 0.001
        printf "%-28s %7.1f MB/s %9.0f games/s  by the clock (%.2f s); %7.1f MB/s by CPU time (%.2f s); peak %6.1f MB\n",
               label, bytes / $1 / 1e6, games / $1, $1, bytes / cpu / 1e6, cpu, $4 / 1024 }'
    eval "clock_$key=$(echo "$best" | cut -d' ' -f1)"
    eval "cpu_$key=$(echo "$best" | awk '{ print $2 + $3 }')"
}

# measure KEY LABEL OUTPUT COMMAND...: runs the command RUNS times and
# reports the best run.
measure() {
    key=$1 label=$2 output=$3
    shift 3
    for run in $(seq "$runs"); do once "$key" "$output" "$@"; done
    report "$key" "$label"
}

# One core for every mode; then one thread against two for the table and
# -t, from a file and through a pipe, their runs taking turns, so that a
# machine whose speed drifts (a virtual one) treats both alike.
t="$bin/programs/teseco"
measure stats "teseco -s -j 1" "$work/stats.txt" "$t" -j 1 -s "$book" "$big"
measure select "teseco -e A,B,C,D,E -j 1" "$work/selected.pgn" "$t" -j 1 -e A,B,C,D,E "$book" "$big"
cmp -s "$big" "$work/selected.pgn" || { echo "-e A,B,C,D,E did not give the input back"; exit 1; }
measure najdorf "teseco -n najdorf -j 1" "$work/najdorf.pgn" "$t" -j 1 -n najdorf "$book" "$big"
for run in $(seq "$runs"); do
    once table "$work/table.txt" "$t" -j 1 "$book" "$big"
    once table2 "$work/table2.txt" "$t" -j 2 "$book" "$big"
    once tags "$work/tagged.pgn" "$t" -j 1 -t "$book" "$big"
    once tags2 "$work/tagged2.pgn" "$t" -j 2 -t "$book" "$big"
    once pipe "$work/tagged3.pgn" sh -c "cat '$big' | '$t' -j 1 -t '$book' -"
    once pipe2 "$work/tagged4.pgn" sh -c "cat '$big' | '$t' -j 2 -t '$book' -"
done
report table "teseco (table) -j 1"
report table2 "teseco (table) -j 2"
report tags "teseco -t -j 1"
report tags2 "teseco -t -j 2"
report pipe "teseco -t -j 1, from a pipe"
report pipe2 "teseco -t -j 2, from a pipe"
cmp -s "$work/table.txt" "$work/table2.txt" || { echo "-j 2 table differs from -j 1"; exit 1; }
for output in tagged2 tagged3 tagged4; do
    cmp -s "$work/tagged.pgn" "$work/$output.pgn" || { echo "-t output $output differs"; exit 1; }
done
echo "two threads against one, by the clock:" \
    "$(echo "$clock_table $clock_table2 $clock_tags $clock_tags2 $clock_pipe $clock_pipe2" |
        awk '{ printf "table %.2fx, -t %.2fx, -t from a pipe %.2fx", $1 / $2, $3 / $4, $5 / $6 }')"
measure parallel "teseco -t, parallel --pipe" "$work/parallel.pgn" sh -c "parallel --pipe \
    --keep-order --recstart '[Event ' --block 8M -j2 '$bin/programs/teseco' -t '$book' - <'$big'"
cmp -s "$work/tagged.pgn" "$work/parallel.pgn" ||
    { echo "parallel --pipe output differs from the single-process output"; exit 1; }
measure part "teseco -t, parallel --pipepart" "$work/parallel.pgn" parallel --pipepart -a "$big" \
    --keep-order --recstart '[Event ' --block -1 -j2 "$bin/programs/teseco" -j 1 -t "$book" -
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
