#!/usr/bin/env bash
# quickstart.sh run   install what is missing, build, start the program (without a
#                     display: solve a sample position on the command line instead)
# quickstart.sh test  install what is missing, build, run the whole test suite
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-run}
bash tools/deps.sh
cmake --preset release >/dev/null
case "$what" in
  run)
    # Only the programs: the tests and benchmarks are built by "test".
    cmake --build --preset release --target fifteen fifteen-solve
    if [ -x build/release/ui/fifteen ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
      exec build/release/ui/fifteen
    elif [ $# -gt 1 ]; then
      exec build/release/cli/fifteen-solve "${@:2}"
    fi
    # Korf's standard instance 55 (41 moves), solved in a blink once the tables are built.
    sample="5 10 14 4 6 12 11 1 9 0 15 7 13 2 8 3"
    echo "No display here, so no desktop program: solving a sample position with fifteen-solve instead."
    echo "\$ build/release/cli/fifteen-solve \"$sample\""
    build/release/cli/fifteen-solve "$sample"
    echo "On a machine with a display, start the desktop program with: build/release/ui/fifteen"
    ;;
  test)
    cmake --build --preset release
    ctest --preset release -j"$(nproc)"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
