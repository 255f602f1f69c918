#!/usr/bin/env bash
# Validates an installed desktop entry or AppStream metainfo file; fails without the validator
# (scripts/install-deps installs both).
# Usage: validate.sh desktop|metainfo <file>
set -euo pipefail
kind=$1 file=$2
case "$kind" in
desktop) tool=desktop-file-validate command=(desktop-file-validate "$file") ;;
metainfo) tool=appstreamcli command=(appstreamcli validate --no-net "$file") ;;
*) echo "validate.sh: unknown kind $kind" >&2; exit 2 ;;
esac
if ! command -v "$tool" >/dev/null; then
    echo "FAIL: $tool is not installed (scripts/install-deps installs it)" >&2
    exit 1
fi
# desktop-file-validate exits 0 on hints and warnings too: any line it prints is a failure here.
output=$("${command[@]}" 2>&1) || { echo "$output"; exit 1; }
echo "$output"
[ "$kind" = metainfo ] || [ -z "$output" ]
