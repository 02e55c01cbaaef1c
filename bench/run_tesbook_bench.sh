#!/bin/sh
# Builds the release configuration and times tesbook on the lichess sample
# and on a generated input at the opening file's capacity.
# Usage: bench/run_tesbook_bench.sh [RUNS]
set -e
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target tesbook tesbook_bench >/dev/null
exec build/release/bench/tesbook_bench build/release/programs/tesbook \
    data/lichess-openings.txt "${1:-21}"
