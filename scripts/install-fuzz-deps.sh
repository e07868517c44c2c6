#!/bin/sh
# Installs, on Debian 12, what the fuzz targets need on top of the normal build: clang and
# its runtime libraries, which hold libFuzzer and the sanitizers. Only missing packages.
set -e
"$(dirname "$0")/install-deps.sh"

packages="clang libclang-rt-dev"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then as_root=""; else as_root="sudo"; fi
echo "Installing:$missing"
$as_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing
