#!/usr/bin/env bash
# Runs one fuzz target for a bounded time on a fresh copy of its committed seeds. The random
# seed is fixed (LEXARO_FUZZ_SEED overrides it), so a test run explores the same inputs each
# time and a failure can be replayed; fuzz longer by hand with another seed to search further.
set -euo pipefail
target=$1 seeds=$2 work=$3 seconds=$4
rm -rf "$work" && mkdir -p "$work/corpus" "$work/artifacts"
if [ -d "$seeds" ]; then cp -r "$seeds"/. "$work/corpus/"; fi
exec "$target" -seed="${LEXARO_FUZZ_SEED:-20261210}" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$work/corpus"
