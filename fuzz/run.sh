#!/usr/bin/env bash
# Runs every fuzz target for a while over its corpus: the seeds kept in fuzz/corpus/TARGET
# and what earlier runs found, kept in BUILD/corpus/TARGET. A crash, a leak, a broken
# property or a timeout stops the run with the input that caused it in BUILD/found/; once
# the bug is fixed, that input goes into fuzz/corpus/TARGET.
#   fuzz/run.sh BUILD SECONDS [TARGET...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
seconds=$2
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_settings_document fuzz_cue_file fuzz_replay_script fuzz_recording)

# The cue target writes its files under TMPDIR: keep them in the build folder.
export TMPDIR="$build/tmp"
mkdir -p "$TMPDIR" "$build/found"
rm -rf "$TMPDIR"/fuzz_cue_file.*  # left by a run that was interrupted
for target in "${targets[@]}"; do
    mkdir -p "$build/corpus/$target"
    log="$build/$target.log"
    if ! "$build/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/found/$target-" \
        "$build/corpus/$target" "$here/corpus/$target" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "$target: failed; the input is in $build/found/ (log: $log)" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    last=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)
    last=${last#*DONE}
    echo "$target: $runs runs in ${seconds} s;${last%% rss*}"
done
