#!/usr/bin/env bash
# quickstart.sh run   install what is missing, build, start the program
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
    elif [ -x build/release/ui/fifteen ]; then
      echo "No display: starting the desktop program under Xvfb (close it with Ctrl-C)." >&2
      exec xvfb-run -a build/release/ui/fifteen
    else
      exec build/release/cli/fifteen-solve "${@:2}"
    fi
    ;;
  test)
    cmake --build --preset release
    ctest --preset release
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
