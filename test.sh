#!/usr/bin/env bash
# Installs what is missing, builds, runs every test, then builds the tests again
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs them. Exits
# non-zero on any failure; ends with CTest's summary.
set -uo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh --test || exit 1
export QT_QPA_PLATFORM=offscreen

status=0
echo "== sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer)"
if cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTELLMONT_SANITIZE=ON -DTELLMONT_BENCH=OFF >/dev/null \
   && cmake --build build-asan -j2; then
    (cd build-asan && ctest --output-on-failure -j2) || status=1
else
    echo "sanitizer build failed"; status=1
fi

echo "== build"
if cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && cmake --build build -j2; then
    (cd build && ctest --output-on-failure -j2) || status=1
else
    echo "build failed"; status=1
fi
exit $status
