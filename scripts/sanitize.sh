#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer in a folder of
# its own and runs it through CTest. Slower than the plain build: it says how long the
# build took, and CTest how long the tests did.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

korvalo_install_packages
build=${KORVALO_SANITIZE_BUILD:-$KORVALO_ROOT/build-asan}
jobs=$(nproc 2>/dev/null || echo 2)
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
start=$SECONDS
if [ ! -f "$build/CMakeCache.txt" ]; then
  # -O1 keeps the instrumented tests fast enough; the bench has nothing to find.
  cmake -S "$KORVALO_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
    -DKORVALO_SANITIZE=ON -DKORVALO_BUILD_BENCH=OFF "${launcher[@]}"
fi
cmake --build "$build" --parallel "$jobs"
echo "Sanitizer build: $((SECONDS - start)) s"
exec ctest --test-dir "$build" --output-on-failure --parallel "$jobs" "$@"
