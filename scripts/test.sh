#!/usr/bin/env bash
# Installs what is needed, builds everything and runs all tests (core and widgets, offscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-layers.sh
cmake -S . -B BUILD -DCMAKE_BUILD_TYPE=Release
cmake --build BUILD -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir BUILD --output-on-failure -j"$(nproc)"
