#!/bin/sh
# Builds the release configuration and times the PGN reader on the lichess
# sample repeated 19 times (about 70 MB, made in /tmp, not kept).
# Usage: bench/run_pgn_reader_bench.sh [RUNS]
set -e
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target pgn_reader_bench >/dev/null
big=${TMPDIR:-/tmp}/tessara-lichess-x19.pgn
if [ ! -f "$big" ]; then
    for i in $(seq 19); do cat data/lichess-2013-01-5000.pgn; done >"$big"
fi
exec build/release/bench/pgn_reader_bench "$big" "${1:-5}"
