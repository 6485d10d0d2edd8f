#!/bin/sh
# Measures oscar-server under load: 200 clients sign on at once, then they
# exchange 10,000 messages. Usage: run-load.sh BUILD [CLIENTS] [MESSAGES]
set -eu
build=${1:?usage: run-load.sh BUILD [CLIENTS] [MESSAGES]}
clients=${2:-200}
messages=${3:-10000}
tools="$build/tools/oscar-server"
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT

"$tools/oscar-server-load" --write-accounts "$work/accounts.xml" --clients "$clients"
"$tools/oscar-server" --accounts "$work/accounts.xml" --data "$work/data" \
    --login-port 25190 > "$work/server.out" 2>&1 &
server=$!
for _ in $(seq 50); do
    grep -q listening "$work/server.out" && break
    sleep 0.1
done
"$tools/oscar-server-load" --login-port 25190 --clients "$clients" --messages "$messages" --server-pid "$server"
