#!/usr/bin/env bash
# Fuzzes the INI reader with libFuzzer for a bounded time (default 300 s).
# Needs clang (apt-get install clang); not part of CI.
#   scripts/fuzz_ini.sh [seconds]
set -euo pipefail
seconds=${1:-300}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KVL_FUZZ_BUILD:-$root/build-fuzz}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target fuzz_ini -j2
corpus=$build/fuzz_ini_corpus
mkdir -p "$corpus"
# Seeds: the shipped sources, so the fuzzer starts from real files.
cp "$root"/system/src/*.ini "$root"/system/src/lang/*.ini "$corpus"/ 2>/dev/null || true
cd "$build"
"$build/bin/fuzz_ini" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 "$corpus"
