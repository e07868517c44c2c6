#!/bin/sh
# Installs, on Debian 12, every package that building and testing Flaskbook needs and
# that is still missing, and any further packages named as arguments. Runs as root, or
# through sudo when started by another user.
set -e

# desktop-file-utils and appstream check the installed desktop files; dpkg-dev and file
# let CPack compute the Debian package's dependencies; poppler-utils reads printed PDFs back;
# rdkit-data holds the sample molecules the chemistry test and benchmark read; man-db reads
# the installed man page; openbabel is what the transfer and structure search benchmarks
# compare with.
packages="g++ make cmake qt6-base-dev qt6-svg-dev libsqlite3-dev librdkit-dev libboost-dev zlib1g-dev
          rdkit-data fonts-liberation2 sqlite3 openbabel
          desktop-file-utils appstream dpkg-dev file poppler-utils man-db $*"

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then as_root=""; else as_root="sudo"; fi
echo "Installing:$missing"
$as_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing
