#!/usr/bin/env bash
# Builds the thread-safety preset: clang 14 checks every access to data marked with its lock
# (core/platform/Mutex.h), and one made without the lock fails the build. Nothing is run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset thread-safety
cmake --build --preset thread-safety "$@"
