#!/usr/bin/env bash
# Installs the Debian packages listed in tools/packages/*.txt. Idempotent: a
# machine that already has them all is left alone without touching apt.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(sed -e 's/#.*//' "$here"/packages/*.txt | tr ' ' '\n' | sed '/^$/d' | sort -u)
# Node.js with npm drives the browser tests; machines that already have one
# (from any source) keep it, the others get Debian's.
if ! command -v npm >/dev/null 2>&1; then
    wanted+=(nodejs npm)
fi
missing=()
for pkg in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
