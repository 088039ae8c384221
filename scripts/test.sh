#!/usr/bin/env bash
# Installs what is missing, builds Korvalo and runs every test through CTest.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

korvalo_install_packages
korvalo_build
cd "$KORVALO_BUILD"
jobs=$(nproc 2>/dev/null || echo 2)
exec ctest --output-on-failure --parallel "$jobs" "$@"
