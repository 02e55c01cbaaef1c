#!/bin/bash
# tescross writing into a pipe whose reader has gone after one byte: exit
# status 1 and not a word on standard error (the output must be larger than
# the pipe's buffer for the write to fail).
#   closed_pipe_test.sh TESCROSS FILE...
program=$1
shift
messages=$(mktemp)
"$program" "$@" 2>"$messages" | head -c 1 >/dev/null
status=${PIPESTATUS[0]}
said=$(cat "$messages")
rm -f "$messages"
if [[ $status != 1 || -n $said ]]; then
    echo "status $status (1 expected), messages: $said"
    exit 1
fi
