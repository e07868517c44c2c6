#!/bin/sh
# Installs, on Debian 12, what the fuzz targets need on top of the normal build: clang and
# its runtime libraries, which hold libFuzzer and the sanitizers. Only missing packages.
exec "$(dirname "$0")/install-deps.sh" clang libclang-rt-dev
