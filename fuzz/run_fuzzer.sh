#!/usr/bin/env bash
# Runs one fuzz target for a bounded time on a fresh copy of its committed seeds.
set -euo pipefail
target=$1 seeds=$2 work=$3 seconds=$4
rm -rf "$work" && mkdir -p "$work/corpus" "$work/artifacts"
if [ -d "$seeds" ]; then cp -r "$seeds"/. "$work/corpus/"; fi
exec "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$work/corpus"
