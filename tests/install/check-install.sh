#!/usr/bin/env bash
# `cmake --install` into a fresh prefix lays out exactly the program, its menu entry, its metadata and its
# icons, each icon in the size its folder names.
# Usage: check-install.sh <cmake> <build dir> <prefix> <desktop id>
set -euo pipefail
cmake=$1 build=$2 prefix=$3 id=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

expected=(bin/quillory2 "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$id.svg")
for size in 16 22 32 48 64; do expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png"); done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) \
    || fail "the installed files differ from the expected ones (< expected, > installed)"

[ -x "$prefix/bin/quillory2" ] || fail "bin/quillory2 is not executable"

entry="$prefix/share/applications/$id.desktop"
for line in '[Desktop Entry]' 'Type=Application' 'Name=Quillory2' 'Exec=quillory2' "Icon=$id" 'Categories=Utility;' \
    'StartupNotify=false'; do
    grep -qxF -- "$line" "$entry" || fail "$entry lacks the line: $line"
done
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/share/metainfo/$id.metainfo.xml" \
    || fail "the metainfo does not point at the desktop entry $id.desktop"

# A PNG's width and height are the two big-endian words at byte 16.
for size in 16 22 32 48 64; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
    width=$(((w0 << 24) | (w1 << 16) | (w2 << 8) | w3)) height=$(((h0 << 24) | (h1 << 16) | (h2 << 8) | h3))
    [ "$width.$height" = "$size.$size" ] || fail "$png is ${width}x$height"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || fail "the scalable icon is not SVG"
echo "install layout: ${#expected[@]} files as expected"
