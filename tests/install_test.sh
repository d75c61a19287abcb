#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What an installation holds, checked the way a distribution would.
#   install_test.sh install BUILD_DIR   cmake --install into a temporary root
#   install_test.sh package BUILD_DIR   the Debian package, unpacked
set -euo pipefail
mode="$1"
build="$2"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

expect_files() {
  local prefix="$1"
  for f in bin/sarvel11 bin/sarvel6 \
    share/applications/org.sarvel.sarvel11.desktop \
    share/applications/org.sarvel.sarvel6.desktop \
    share/icons/hicolor/scalable/apps/org.sarvel.Sarvel.svg \
    share/metainfo/org.sarvel.sarvel11.metainfo.xml \
    share/metainfo/org.sarvel.sarvel6.metainfo.xml \
    share/doc/sarvel/teacher-notes.ja.md share/doc/sarvel/teacher-notes.en.md \
    share/doc/sarvel/teacher-in-phase.png share/doc/sarvel/teacher-antiphase.png \
    share/doc/sarvel/copyright share/doc/sarvel/changelog.gz \
    share/man/man1/sarvel11.1.gz share/man/man1/sarvel6.1.gz \
    share/man/ja/man1/sarvel11.1.gz share/man/ja/man1/sarvel6.1.gz \
    share/sarvel/web/sarvel11.html share/sarvel/web/sarvel6.html; do
    [ -e "$prefix/$f" ] || fail "missing $f"
  done
  [ -x "$prefix/bin/sarvel11" ] && [ -x "$prefix/bin/sarvel6" ] ||
    fail "programs not executable"
}

case "$mode" in
install)
  cmake --install "$build" --prefix "$root/usr/local" >/dev/null
  prefix="$root/usr/local"
  expect_files "$prefix"
  desktop-file-validate "$prefix"/share/applications/*.desktop
  appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml
  for p in 11 6; do
    entry="$prefix/share/applications/org.sarvel.sarvel$p.desktop"
    grep -qx "Exec=sarvel$p" "$entry" || fail "Exec of sarvel$p"
    grep -q '^Name\[ja\]=波の干渉' "$entry" || fail "Japanese name of sarvel$p"
    grep -q '^Comment\[ja\]=' "$entry" || fail "Japanese comment of sarvel$p"
    grep -q '^Name=Interference' "$entry" || fail "English name of sarvel$p"
    [ -e "$prefix/share/icons/hicolor/48x48/apps/org.sarvel.Sarvel.png" ] ||
      fail "48-pixel icon"
    # The projector action starts the program at twice the size.
    grep -qx '^Name\[ja\]=大きく表示（プロジェクター用）' "$entry" ||
      fail "projector action of sarvel$p"
    action="$(sed -n '/^\[Desktop Action projector\]/,$s/^Exec=//p' "$entry")"
    [ -n "$action" ] || fail "no Exec in the projector action of sarvel$p"
    # shellcheck disable=SC2086
    said="$(PATH="$prefix/bin:$PATH" QT_QPA_PLATFORM=offscreen $action --check)" ||
      fail "$action --check: $said"
    [ "$said" = "sarvel$p: window \"Form1\" 682x476 shown at scale 2" ] ||
      fail "$action said: $said"
    echo "$said"
  done
  ;;
package)
  out="$root/out"
  (cd "$build" && cpack -G DEB -B "$out" >/dev/null)
  deb="$(ls "$out"/*.deb)"
  depends="$(dpkg-deb -f "$deb" Depends)"
  echo "Depends: $depends"
  for d in libqt6widgets6 libqt6gui6 libc6 "fonts-ipafont-gothic | fonts-noto-cjk"; do
    [[ "$depends" == *"$d"* ]] || fail "Depends lacks $d"
  done
  # Debian's own checker: no error and no warning. The info lines it may
  # still print: binary-has-unneeded-section .comment (the compiler's
  # version note, which Debian's own strip step removes and CPack's keeps).
  lintian --pedantic --display-info --allow-root --fail-on error,warning "$deb" ||
    fail "lintian found errors or warnings"
  dpkg-deb -x "$deb" "$root/unpacked"
  expect_files "$root/unpacked/usr"
  # Nothing of the build tree: no tests, libraries or headers.
  extra="$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -Ev \
    '^\./usr/(bin|share/(applications|icons|metainfo|doc/sarvel|man|sarvel))(/|$)|^\./usr/(share/(doc/)?)?$' || true)"
  [ -z "$extra" ] || fail "unexpected files: $extra"
  for p in sarvel11 sarvel6; do
    said="$(QT_QPA_PLATFORM=offscreen "$root/unpacked/usr/bin/$p" --check)" ||
      fail "$p --check: $said"
    [ "$said" = "$p: window \"Form1\" 682x476 shown" ] || fail "$p said: $said"
    echo "$said"
  done
  ;;
*)
  fail "unknown mode $mode"
  ;;
esac
echo "ok: $mode"
