#!/usr/bin/env bash
# Builds the Debian package from the already built tree and checks its file list and its dependencies
# (found by dpkg-shlibdeps). Fails where the Debian tools are missing (scripts/install-deps installs them).
# Usage: check-package.sh <cpack> <build dir> <desktop id>
set -euo pipefail
cpack=$1 build=$2 id=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (dpkg-dev, scripts/install-deps installs it)"
done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && "$cpack" -G DEB -B "$out" >"$out/cpack.log") || { cat "$out/cpack.log"; fail "cpack failed"; }
debs=("$out"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb: ${debs[*]}"
deb=${debs[0]}

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for file in ./usr/bin/quillory2 "./usr/share/applications/$id.desktop" "./usr/share/metainfo/$id.metainfo.xml" \
    "./usr/share/icons/hicolor/scalable/apps/$id.svg" "./usr/share/icons/hicolor/"{16x16,22x22,32x32,48x48,64x64}"/apps/$id.png"; do
    grep -qxF -- "$file" <<<"$contents" || fail "the package lacks $file"
done
if grep -v -e '/$' -e '^\./usr/bin/quillory2$' -e '^\./usr/share/applications/' -e '^\./usr/share/metainfo/' \
    -e '^\./usr/share/icons/hicolor/' <<<"$contents"; then
    fail "the package holds files beyond the program's (above)"
fi

[ "$(dpkg-deb -f "$deb" Package)" = quillory2 ] || fail "the package is not named quillory2"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6core6 libqt6widgets6 libqt6svg6; do
    grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done
echo "$(basename "$deb"): $(wc -l <<<"$contents") entries; Depends: $depends"
