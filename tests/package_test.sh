#!/usr/bin/env bash
# Makes the Debian package from the build tree the tests run in (cpack, as
# scripts/package.sh does after its own build) and checks it as a packager
# would: what it installs where, the administrator's conffile, its control
# fields, and lintian --pedantic without a single error, warning or pedantic
# tag. Without lintian (and dpkg-shlibdeps) the test is skipped.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1
for t in lintian dpkg-shlibdeps cpack; do
  command -v "$t" >/dev/null || { echo "package test: $t is not installed; skipped"; exit 77; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1) \
  || { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$tmp"/rq300_*.deb)

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for f in ./usr/bin/rq300 ./usr/bin/rq300-cli ./usr/bin/rq300-sim ./etc/xdg/rq300/sysini.ini \
         ./usr/share/rq300/sysini.ini ./usr/share/doc/rq300/copyright ./usr/share/doc/rq300/changelog.gz \
         ./usr/share/man/man1/rq300.1.gz ./usr/share/man/man1/rq300-cli.1.gz ./usr/share/man/man1/rq300-sim.1.gz \
         ./usr/share/mime/packages/rq300.xml ./usr/share/applications/rq300.desktop \
         ./usr/lib/udev/rules.d/70-rq300.rules; do
  grep -qxF "$f" <<<"$contents" || fail "$f is not in the package"
done
mkdir "$tmp/control"
dpkg-deb --control "$deb" "$tmp/control"
[ "$(cat "$tmp/control/conffiles")" = /etc/xdg/rq300/sysini.ini ] || fail "the administrator's sysini.ini is no conffile"
dpkg-deb --field "$deb" Description | grep -q ';' && fail "the description holds a ';'"
dpkg-deb --field "$deb" Maintainer | grep -q '@rq300-programmer.org>$' || fail "the maintainer is no project address"

lintian --pedantic --fail-on error,warning,pedantic "$deb" >"$tmp/lintian.log" 2>&1 \
  || { cat "$tmp/lintian.log" >&2; fail "lintian found problems"; }
echo "package test: $(basename "$deb") is lintian-clean"
