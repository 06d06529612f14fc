#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time.
#   run.sh FUZZER SEEDS WORKDIR SECONDS [fresh]
# The fuzzer grows WORKDIR/corpus, which starts as a copy of SEEDS, so that
# the committed seeds are never written to; "fresh" empties WORKDIR first.
# Exits non-zero on any finding (crash, sanitizer report, leak, timeout,
# memory limit), leaving the reproducer in WORKDIR/artifacts.
set -euo pipefail

if [ $# -lt 4 ]; then
  echo "usage: run.sh FUZZER SEEDS WORKDIR SECONDS [fresh]" >&2
  exit 2
fi
fuzzer=$1
seeds=$2
work=$3
seconds=$4
name=$(basename "$fuzzer")

if [ "${5:-}" = fresh ]; then
  rm -rf "$work"
fi
mkdir -p "$work/corpus" "$work/artifacts"
cp -f "$seeds"/* "$work/corpus/"
log="$work/last.log"
# Reproducers of earlier runs stay; only the ones of this run count.
stamp="$work/started"
touch "$stamp"

status=0
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" >"$log" 2>&1 || status=$?

done_line=$(grep -E '^Done [0-9]+ runs' "$log" | tail -n 1 || true)
findings=$(find "$work/artifacts" -type f -newer "$stamp" | sort)
if [ "$status" -ne 0 ] || [ -n "$findings" ]; then
  tail -n 60 "$log"
  echo "$name: FINDING (exit $status) ${done_line}"
  [ -z "$findings" ] || echo "$name: reproducer: $findings"
  exit 1
fi
if [ -z "$done_line" ]; then
  tail -n 20 "$log"
  echo "$name: no \"Done\" line: the run did not finish as expected"
  exit 1
fi
echo "$name: $done_line, no finding"
