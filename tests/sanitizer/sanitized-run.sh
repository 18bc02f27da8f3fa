#!/usr/bin/env bash
# Runs one command of the sanitizer build (CORVELLIN_SANITIZE) with the
# sanitizer options of the suite, and fails when any process it started
# reported a finding. Usage: sanitized-run.sh <program> [argument...]
#
# Every sanitized process (the test itself and the programs it starts: the
# editor in the end-to-end tests, corvellin-fx, ...) inherits the options and
# writes its reports into a folder of this run instead of its stderr, so that a
# child whose output or exit status the test does not look at still fails the
# test. CMake makes this script the launcher of every test and of every built
# program the build runs (CMAKE_CROSSCOMPILING_EMULATOR); the Makefile also
# runs the whole ctest through it, for tests whose command is a script.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
reports=$(mktemp -d "${TMPDIR:-/tmp}/corvellin-sanitizer-XXXXXX")

# Every finding ends the process with status 1. GCC's UBSan runtime is a
# library of its own that writes its message to stderr whatever log_path says,
# so a UBSan finding aborts, and AddressSanitizer's SIGABRT handler
# (handle_abort) writes the stack, with the __ubsan_handle_* frame that names
# the check, into the report folder; any other abort() is reported the same
# way. Our own code carries no suppression: lsan.supp only names leaks inside
# system libraries.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:handle_abort=1:check_initialization_order=1:strict_init_order=1:log_path=$reports/asan"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"

"$@"
status=$?

found=0
for report in "$reports"/*; do
    [[ -s "$report" ]] || continue
    found=1
    echo "==== sanitizer report ($(basename "$report")) while running: $*" >&2
    cat "$report" >&2
done
rm -rf "$reports"
if [[ $found -eq 1 && $status -eq 0 ]]; then
    echo "==== a process started by this command reported a sanitizer finding" >&2
    status=1
fi
exit $status
