#!/usr/bin/env bash
# Holds the sanitizer launcher to its job: a leak, a heap overflow and
# undefined behaviour each fail the command that ran them, with the report
# from the report folder shown (the markers appear nowhere else), also when the
# fault is in a child whose status the command ignores; UBSan stops at the
# first finding; a clean program passes.
# Usage: check-launcher.sh <sanitizer_probe>
set -uo pipefail
probe=$1
launcher="$(cd "$(dirname "$0")" && pwd)/sanitized-run.sh"
failures=0
out=$(mktemp)
trap 'rm -f "$out"' EXIT

expect() {  # expect <passes|fails> <text in the output or -> <what> <command...>
    local want=$1 marker=$2 what=$3
    shift 3
    "$launcher" "$@" >"$out" 2>&1
    local status=$?
    local ok=1
    if [[ $want == passes ]]; then [[ $status -eq 0 ]] || ok=0
    else [[ $status -ne 0 ]] || ok=0; fi
    [[ $marker == - ]] || grep -q -- "$marker" "$out" || ok=0
    if [[ $want == fails ]] && grep -q "went on" "$out"; then ok=0; fi
    if [[ $ok -eq 0 ]]; then
        echo "FAIL: $what (status $status); output:" >&2
        cat "$out" >&2
        failures=$((failures + 1))
    fi
}

expect passes "went on" "a clean program" "$probe" clean
for fault in "leak:LeakSanitizer: detected memory leaks" "overflow:heap-buffer-overflow" \
             "undefined:__ubsan_handle_add_overflow"; do
    kind=${fault%%:*} marker=${fault#*:}
    expect fails "$marker" "$kind in the program itself" "$probe" "$kind"
    expect fails "$marker" "$kind in a child whose status is ignored" bash -c '"$0" "$1" || true' "$probe" "$kind"
done
[[ $failures -eq 0 ]] && echo "the launcher reports every fault, also of children, and passes a clean run"
exit $((failures > 0))
