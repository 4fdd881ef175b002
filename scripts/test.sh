#!/usr/bin/env bash
# Installs what the tests need, builds Tolvane with its tests, runs every test, then packs,
# installs and checks the Debian package (scripts/check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)"
bash scripts/check-package.sh build
