#!/usr/bin/env bash
# Installs what is missing, builds the program (scenario and scenario-graphics, which it starts for the
# window run with a display and for the pictures), installs both into dist/ and runs it there.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-dependencies.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target scenario
cmake --install build --prefix dist

status=0
./dist/scenario "$@" || status=$?
echo "The scenario's files are in $(pwd)/dist"
exit "$status"
