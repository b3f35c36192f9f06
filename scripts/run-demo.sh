#!/usr/bin/env bash
# Installs what is missing, builds, starts the demo server on loopback and the client against it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target quillstar quillstar-server

server_pid=
if [[ -x build/default/server/quillstar-server ]]; then
    build/default/server/quillstar-server "$@" &
    server_pid=$!
    trap 'kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true' EXIT
    sleep 0.5
fi
build/default/app/quillstar
