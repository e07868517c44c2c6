#!/bin/sh
# Runs the fuzz TARGETS (default: all) of the build folder BUILD (default build-fuzz) for
# SECONDS (default 600) each, one after another at the lowest priority. New inputs gather in
# BUILD/corpus/TARGET, findings in BUILD/findings/TARGET.
set -e
seconds=${1:-600}
build=${2:-build-fuzz}
[ $# -ge 2 ] && shift 2 || shift $#
targets=${*:-picture buttonsettings structure collection}
source=$(cd "$(dirname "$0")/.." && pwd)
export LSAN_OPTIONS="suppressions=$source/fuzz/lsan.supp:print_suppressions=0"

for target in $targets; do
    mkdir -p "$build/corpus/$target" "$build/findings/$target"
    # Laying out a molecule near the 1,000 heavy atom limit can take tens of seconds.
    timeout=10
    [ "$target" = structure ] && timeout=60
    dict=""
    [ -f "$source/fuzz/$target.dict" ] && dict="-dict=$source/fuzz/$target.dict"
    echo "== fuzz_$target for $seconds s"
    nice -n 19 "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=$timeout \
        -rss_limit_mb=1024 -malloc_limit_mb=256 -max_len=8192 $dict \
        -artifact_prefix="$build/findings/$target/" -print_final_stats=1 \
        "$build/corpus/$target" "$source/fuzz/corpus/$target" 2>&1 |
        grep -v -E '^(libpng|Corrupt JPEG)' || true
done
