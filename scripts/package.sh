#!/usr/bin/env bash
# Builds the Debian package into ./build-pkg (installed under /usr), unpacks it
# into a temporary root and checks it: the files sit where the desktop entry
# and the man page say, the program looks for its manual where the package
# puts it, desktop-file-validate and mandoc accept the entry and the man page,
# and --help lists every option the man page lists.
#   scripts/package.sh          leaves the package in build-pkg/
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-pkg -G Ninja -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_BUILD_TYPE=Release \
  -DBC_BUILD_TESTS=OFF -DBC_BUILD_BENCH=OFF >/dev/null
cmake --build build-pkg
rm -f build-pkg/brindlecast_*.deb
(cd build-pkg && cpack -G DEB >/dev/null)
deb=$(ls build-pkg/brindlecast_*.deb)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

fail() { echo "package check FAILED: $*" >&2; exit 1; }
echo "=== $deb"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends

desktop=$root/usr/share/applications/brindlecast.desktop
[ -f "$desktop" ] || fail "no desktop entry in /usr/share/applications"
desktop-file-validate "$desktop" || fail "desktop-file-validate refused the desktop entry"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not in /usr/bin"
file -b "$root/usr/bin/$exec_name" | grep -q ELF || fail "/usr/bin/$exec_name is not a program"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon is not in hicolor/scalable/apps"

man=$root/usr/share/man/man1/brindlecast.1.gz
[ -f "$man" ] || fail "no man page brindlecast.1.gz"
mandoc -T lint -W warning "$man" || fail "mandoc found faults in the man page"
manual=$(zcat "$man" | sed -n 's/^\.I \(\/.*Brindlecast\.html\)$/\1/p')
[ -n "$manual" ] || fail "the man page names no manual"
[ -f "$root$manual" ] || fail "the manual $manual named by the man page is not in the package"
for image in $(grep -o 'src="images/[^"]*"' "$root$manual" | sed 's/src="//;s/"$//'); do
  [ -f "$(dirname "$root$manual")/$image" ] || fail "the manual's $image is not in the package"
done

# Every option of the man page is in --help, which must not start a run.
help=$(env -u DISPLAY -u WAYLAND_DISPLAY HOME="$root" "$root/usr/bin/$exec_name" --help)
for option in $(zcat "$man" | sed -n '/^\.SH OPTIONS/,/^\.SH /p' | sed -n 's/^\.BR* //p' | tr -d '",' | sed 's/\\-/-/g'); do
  grep -qF -- "$option" <<<"$help" || fail "--help does not list $option"
done
# --help names the manual where the program looks for it first.
grep -qF -- "$manual" <<<"$help" || fail "the program does not look for its manual at $manual"
[ ! -e "$root/.config" ] && [ ! -e "$root/.local" ] || fail "--help wrote files"
echo "package check: passed"
