#!/usr/bin/env bash
# Installs what the build needs, builds from scratch and runs every test:
# each test body on a file book and again on a book on a PostgreSQL server,
# a throwaway cluster that pg_virtualenv starts for the run and drops after.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

orv_install_packages
orv_build
echo "== Running the tests (file books, and server books on a throwaway PostgreSQL cluster)"
cd "$ORV_BUILD"
# pg_virtualenv sets PGHOST, PGPORT, PGUSER, PGPASSWORD and PGDATABASE for the command.
pg_virtualenv -- env QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
