#!/usr/bin/env bash
# Starts the editor from a build folder (its bin/ holds the program and its data).
set -euo pipefail
build="${1:-build}"
bin="$(cd "$build/bin" && pwd)"
if [[ ! -x "$bin/corvellin" ]]; then
  echo "run.sh: $bin/corvellin is missing; build first (make build)." >&2
  exit 1
fi
if [[ -z "${DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  cat >&2 <<MSG
run.sh: no display found (DISPLAY is not set), so the editor window cannot open.
Run it on a desktop session, or under a virtual X server, for example:
  xvfb-run -a -s '-screen 0 1280x1024x24' "$bin/corvellin"
MSG
  exit 1
fi
exec "$bin/corvellin"
