#!/usr/bin/env bash
# Builds the fuzz targets with clang in build/fuzz and runs each for SECONDS seconds
# (default 60), starting from its seed corpus under fuzz/corpus/. Inputs kept from earlier
# crashes under fuzz/regressions/<target>/ are run first. Exits non-zero when any target
# crashes, hangs or breaks an invariant; crashing inputs are left in build/fuzz/artifacts/.
#
#   scripts/fuzz.sh 60
set -euo pipefail

seconds=${1:-60}
case "$seconds" in '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
targets=(split_file_fuzz split_state_fuzz settings_fuzz time_text_fuzz lss_reader_fuzz
    lss_history_fuzz urn_json_fuzz
    split_text_fuzz
    control_command_fuzz)

# Through the whole project when it knows the fuzz option, else from the fuzz folder alone.
source="$root"
grep -q QUORVEL_BUILD_FUZZ "$root/CMakeLists.txt" || source="$root/fuzz"
CC=clang CXX=clang++ cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVEL_BUILD_FUZZ=ON -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_APP=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"
binaries=$(dirname "$(find "$build" -name split_file_fuzz -type f -perm -u+x | head -n 1)")

mkdir -p "$build/artifacts"
# The targets' scratch files go to one folder for the whole run, removed at the end.
scratch=$(mktemp -d /dev/shm/quorvel-fuzz-run.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch"
failed=()
for target in "${targets[@]}"; do
    binary="$binaries/$target"
    regressions="$root/fuzz/regressions/$target"
    if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
        echo "== $target: earlier crashes"
        "$binary" -runs=1 "$regressions"/* || failed+=("$target (earlier crashes)")
    fi
    # New inputs go to a working corpus in the build folder; the seeds stay as they are. The
    # fuzzer runs in a child process and carries on past a crash, so one known fault does
    # not hide the next; every crashing input is kept as an artifact.
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    before=$(find "$build/artifacts" -name "$target-*" | wc -l)
    echo "== $target: $seconds seconds"
    status=0
    "$binary" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$build/artifacts/$target-" "$corpus" "$root/fuzz/corpus/$target" ||
        status=$?
    after=$(find "$build/artifacts" -name "$target-*" | wc -l)
    if [ "$status" -ne 0 ] || [ "$after" -ne "$before" ]; then
        failed+=("$target (exit $status, $((after - before)) new crashing inputs)")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    printf 'fuzzing found problems in: %s\n' "${failed[@]}" >&2
    echo "crashing inputs: $build/artifacts/" >&2
    exit 1
fi
echo "fuzzing found nothing"
