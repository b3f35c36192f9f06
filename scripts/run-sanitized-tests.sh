#!/usr/bin/env bash
# Builds the ASan/UBSan preset and runs the tests that parse the server's bytes, own sockets or
# run threads: all core and server tests, and the end-to-end flows against the demo server.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset asan
cmake --build --preset asan --target core_tests server_tests ui_tests
mkdir -p /tmp/quillstar-xdg && chmod 700 /tmp/quillstar-xdg
ctest --preset asan -j2 -L '^(core|server)$' "$@"
# The end-to-end suites: real sockets, the push thread, the download thread and the GUI thread.
ctest --preset asan -L '^ui$' \
    -R 'E2E|LoginDialog|MainFrame|CTenwickApp|SingleInstance|UpdatePrompt|Hostile' "$@"
