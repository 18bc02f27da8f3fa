#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are not installed yet,
# non-interactively. Does nothing (and needs no network) when all are present.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == installed ]] || missing+=("$pkg")
done < "$here/packages.txt"
[[ ${#missing[@]} -eq 0 ]] && exit 0
echo "Installing missing packages: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Missing packages (${missing[*]}); run as root to install them." >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
