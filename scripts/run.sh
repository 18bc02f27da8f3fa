#!/usr/bin/env bash
# Renders a showcase of the mask effects onto the default picture with corvellin-fx.
set -euo pipefail
bin="$1/bin"
out="$1/showcase"
mkdir -p "$out"
for call in 1:0 5:2 6:3 7:4 8:5 9:1 10:3 13:0 14:6 15:7; do
  "$bin/corvellin-fx" apply "$bin/pic/default.jpg" "$out/effect-${call/:/-}.jpg" "$call"
done
echo "Showcase written to $(cd "$out" && pwd)/ (one JPEG per effect call)."
