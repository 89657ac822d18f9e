#!/bin/sh
# Runs one fuzz target for a bounded time from a copy of its seed corpus.
#   run_fuzzer.sh FUZZER SEED_DIR WORK_DIR SECONDS [DICTIONARY]
# The working corpus lives in WORK_DIR/corpus and keeps growing from run to run; the seeds
# are copied in again each time so that a new seed always takes part. A crashing input is
# left in WORK_DIR/artifacts and the script fails.
set -eu

fuzzer=$1
seeds=$2
work=$3
seconds=$4
dictionary=${5:-}

mkdir -p "$work/corpus" "$work/artifacts"
cp -R "$seeds"/. "$work/corpus/"
# A seed corpus copied from a read-only checkout would be read-only too.
chmod -R u+w "$work/corpus"

set -- "$work/corpus"
if [ -n "$dictionary" ]; then
  set -- "$@" -dict="$dictionary"
fi

exec "$fuzzer" "$@" \
  -max_total_time="$seconds" \
  -timeout=10 \
  -rss_limit_mb=2048 \
  -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/"
