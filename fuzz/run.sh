#!/usr/bin/env bash
# Runs every fuzz target for a while over its corpus: the seeds kept in fuzz/corpus/TARGET
# and what earlier runs found, kept in BUILD/corpus/TARGET. As many targets run at once
# as the machine has cores (FUZZ_JOBS to say otherwise). A crash, a leak, a broken
# property or a timeout fails the run with the input that caused it in BUILD/found/;
# once the bug is fixed, that input goes into fuzz/corpus/TARGET.
#   fuzz/run.sh BUILD SECONDS [TARGET...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
seconds=$2
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_settings_document fuzz_cue_file fuzz_replay_script fuzz_recording)
jobs=${FUZZ_JOBS:-$(nproc)}

# The cue target writes its files under TMPDIR: keep them in the build folder.
export TMPDIR="$build/tmp"
mkdir -p "$TMPDIR" "$build/found"
rm -rf "$TMPDIR"/fuzz_cue_file.*  # left by a run that was interrupted

# One target; its summary, or its log's end, goes to BUILD/TARGET.result.
fuzz_one() {
    local target=$1 log="$build/$1.log"
    mkdir -p "$build/corpus/$target"
    if ! "$build/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/found/$target-" \
        "$build/corpus/$target" "$here/corpus/$target" >"$log" 2>&1; then
        { tail -n 40 "$log"
          echo "$target: failed; the input is in $build/found/ (log: $log)"; } >"$build/$target.result"
        return 1
    fi
    local runs last
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    last=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)
    last=${last#*DONE}
    echo "$target: $runs runs in ${seconds} s;${last%% rss*}" >"$build/$target.result"
}

failed=0
running=0
for target in "${targets[@]}"; do
    if [ "$running" -ge "$jobs" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
    fuzz_one "$target" &
    running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
for target in "${targets[@]}"; do
    cat "$build/$target.result"
done
[ "$failed" = 0 ] || { echo "a fuzz target failed" >&2; exit 1; }
