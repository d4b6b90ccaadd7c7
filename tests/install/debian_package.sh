#!/usr/bin/env bash
# The Debian package as Debian looks at it: made by CPack from the build,
# it carries the copyright notice and the changelog in /usr/share/doc/lumotta,
# and lintian finds no error in it (its warnings are printed; the ones that
# remain are explained in packaging/CMakeLists.txt).
source "$(dirname "$0")/install_common.sh" "$@"
command -v lintian >/dev/null || { echo "SKIP: lintian is not installed (./lumotta.sh installs it)"; exit 77; }
command -v cpack >/dev/null || { echo "SKIP: cpack is not installed"; exit 77; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out") >"$work/cpack.txt" 2>&1 ||
  fail "cpack: $(tail -5 "$work/cpack.txt")"
deb=$(ls "$work"/out/lumotta_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no package was made: $(tail -5 "$work/cpack.txt")"

dpkg-deb -c "$deb" > "$work/contents.txt" || fail "dpkg-deb cannot read $deb"
for f in ./usr/share/doc/lumotta/copyright ./usr/share/doc/lumotta/changelog.gz ./usr/games/lumotta \
         ./usr/share/lumotta/01/00.dat ./usr/share/applications/lumotta.desktop; do
  grep -q " $f\$" "$work/contents.txt" || fail "the package lacks $f"
done
mkdir -p "$work/unpacked"
dpkg-deb -x "$deb" "$work/unpacked"
zcat "$work/unpacked/usr/share/doc/lumotta/changelog.gz" | head -n1 | grep -q "^lumotta ([0-9.]*) " ||
  fail "the changelog does not start with the package and its version"

lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1
status=$?
cat "$work/lintian.txt"
[ "$status" -le 1 ] || fail "lintian could not look at the package (status $status)"
grep -q "^E: " "$work/lintian.txt" && fail "lintian finds errors in the package"
echo PASS
