#!/usr/bin/env bash
# Installs what the build needs, builds from scratch and runs every test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

orv_install_packages
orv_build
echo "== Running the tests"
cd "$ORV_BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
