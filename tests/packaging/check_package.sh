#!/usr/bin/env bash
# Builds the Debian package from the build tree into a scratch directory
# and checks what it holds and what it asks for.
set -euo pipefail
cpack=$1 build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

"$cpack" --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
debs=("$work"/verto_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single package: ${debs[*]}"
deb=${debs[0]}

# The files, root-owned, nothing outside /usr.
listing=$(dpkg-deb -c "$deb")
files=$(awk '{print $6}' <<<"$listing")
for f in ./usr/bin/verto ./usr/share/applications/verto.desktop \
         ./usr/share/icons/hicolor/scalable/apps/verto.svg ./usr/share/man/man1/verto.1.gz \
         ./usr/share/doc/verto/copyright ./usr/share/doc/verto/changelog.gz; do
  grep -qx -- "$f" <<<"$files" || fail "missing $f"
done
grep -qE '^\./usr/lib/([^/]+/)?verto/libverto_qt\.so$' <<<"$files" || fail "missing libverto_qt.so"
if grep -v '^\./usr/' <<<"$files" | grep -qv '^\./$'; then fail "files outside /usr: $files"; fi
if awk '$2 != "root/root"' <<<"$listing" | grep -q .; then fail "not owned by root: $listing"; fi
grep -q '^-rwxr-xr-x .* \./usr/bin/verto$' <<<"$listing" || fail "verto is not executable"

# The program is stripped and runs from the package's layout.
dpkg-deb -x "$deb" "$work/root"
if readelf -S "$work/root/usr/bin/verto" | grep -q '\.debug_info'; then fail "verto is not stripped"; fi
"$work/root/usr/bin/verto" --version | grep -q '^VERTO, Data Analysis Program' || fail "verto --version"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = verto ] || fail "Package: $(field Package)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[[ $(field Version) =~ ^[0-9]+\.[0-9]+ ]] || fail "Version: $(field Version)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Section)" = science ] || fail "Section: $(field Section)"
depends=$(field Depends)
for d in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 fonts-dejavu-core; do
  [[ ", $depends," == *", $d "* || ", $depends," == *", $d,"* ]] || fail "Depends lacks $d: $depends"
done
echo "$(basename "$deb"): $(wc -l <<<"$files") entries; Depends: $depends"
