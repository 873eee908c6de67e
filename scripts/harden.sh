#!/usr/bin/env bash
# Hardening checks on every input Sekora reads.
#   harden.sh asan            builds with clang, AddressSanitizer and
#                             UndefinedBehaviorSanitizer, warnings as errors, and
#                             runs every test (the other builds use gcc)
#   harden.sh fuzz [SECONDS]  builds the libFuzzer targets (clang) and runs each
#                             for SECONDS (default 60), from its seed corpus
#   harden.sh                 both, fuzzing 60 seconds per target
# Any sanitizer report, crash, leak, per-input timeout or broken invariant
# makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz_targets=(number_text catalogue keisan_file metafile design batch_table)
# Options of one target: a batch table is read as one encoding over all of
# it, so its inputs grow beyond libFuzzer's default of 4 KiB.
declare -A fuzz_options=([batch_table]="-max_len=65536")

run_asan() {
  bash scripts/install-deps.sh clang libclang-rt-14-dev
  cmake --preset asan >/dev/null
  cmake --build --preset asan -j"$(nproc)"
  ctest --preset asan -j"$(nproc)"
}

# Prints the final line of one libFuzzer log: executions, coverage (cov),
# features (ft) and corpus.
fuzz_figures() {
  grep -E '^#[0-9]+[[:space:]]+DONE' "$1" | tail -n 1 || echo "no final line"
}

run_fuzz() {
  local seconds=${1:-60}
  bash scripts/install-deps.sh clang libclang-rt-14-dev
  cmake --preset fuzz >/dev/null
  local binaries=()
  for t in "${fuzz_targets[@]}"; do binaries+=("${t}_fuzzer"); done
  cmake --build --preset fuzz -j"$(nproc)" --target "${binaries[@]}"

  local out=build-fuzz/runs
  local passes=0 failures=0
  rm -rf "$out"
  for t in "${fuzz_targets[@]}"; do
    # New inputs go to a scratch corpus; the committed seeds stay as they are.
    mkdir -p "$out/$t/corpus" "$out/$t/artifacts"
    local log=$out/$t/fuzz.log
    # shellcheck disable=SC2086 # the options are separate words
    if build-fuzz/bin/"${t}_fuzzer" "$out/$t/corpus" "fuzz/corpus/$t" ${fuzz_options[$t]:-} \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$out/$t/artifacts/" >"$log" 2>&1; then
      echo "fuzz $t: passed, $(fuzz_figures "$log")"
      passes=$((passes + 1))
    else
      echo "fuzz $t: FAILED (log $log)"
      grep -E -m 20 'ERROR|invariant broken|SUMMARY|Test unit written' "$log" || tail -n 30 "$log"
      failures=$((failures + 1))
    fi
  done
  echo "fuzz: $passes passed, $failures failed"
  [ "$failures" -eq 0 ]
}

case "${1:-all}" in
  asan) run_asan ;;
  fuzz) run_fuzz "${2:-60}" ;;
  all)
    run_asan
    run_fuzz 60
    ;;
  *)
    echo "usage: $0 [asan | fuzz [SECONDS]]" >&2
    exit 2
    ;;
esac
