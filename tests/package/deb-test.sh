#!/usr/bin/env bash
# The Debian package, as a user gets it.
#   deb-test.sh package BUILD_DIR SCRATCH SAMPLE  builds the .deb from BUILD_DIR with cpack, checks
#       its files and dependencies, unpacks it into SCRATCH/root and prints SAMPLE silently with
#       the installed program to the built-in PDF printer.
#   deb-test.sh version SCRATCH VERSION  runs the unpacked program's --version.
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The installed program, run headless with its settings and PDFs inside the scratch folder.
run_installed() {
  local scratch=$1
  shift
  env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$scratch/config" \
    PLENBATCHPRINT_PDF_DIR="$scratch/pdf" "$scratch/root/usr/bin/plenbatchprint" "$@"
}

package() {
  local build=$1 scratch=$2 sample=$3
  rm -rf "$scratch"
  mkdir -p "$scratch/out"
  (cd "$build" && cpack -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log" >&2; fail "cpack -G DEB"; }
  local deb
  deb=$(ls "$scratch"/out/plenbatchprint_*.deb)

  local contents
  contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
  for path in ./usr/bin/plenbatchprint ./usr/libexec/plenbatchprint/plenbatchprint-worker \
    ./usr/share/plenbatchprint/PlenBatchPrintHelp.html \
    ./usr/share/applications/org.plenbatchprint.PlenBatchPrint.desktop \
    ./usr/share/metainfo/org.plenbatchprint.PlenBatchPrint.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/plenbatchprint.svg \
    ./usr/share/icons/hicolor/16x16/apps/plenbatchprint.png \
    ./usr/share/icons/hicolor/32x32/apps/plenbatchprint.png \
    ./usr/share/icons/hicolor/48x48/apps/plenbatchprint.png \
    ./usr/share/icons/hicolor/256x256/apps/plenbatchprint.png \
    ./usr/share/man/man1/plenbatchprint.1 \
    ./usr/share/doc/plenbatchprint/LICENSE; do
    grep -qxF "$path" <<<"$contents" || fail "$path is not in the package"
  done
  if grep -q -e '^./usr/include' -e 'test_' -e 'bench' <<<"$contents"; then
    fail "the package holds build parts: $(grep -e include -e test_ -e bench <<<"$contents")"
  fi

  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  for needed in libqt6widgets6 libqt6svg6 libvisio-0.1-1 librevenge-0.0-0 \
    libcups2 libjemalloc2 libseccomp2 qt6-qpa-plugins; do
    grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
  done
  dpkg-deb -f "$deb" Recommends | grep -q '\bqt6-wayland\b' || fail "Recommends lacks qt6-wayland"

  dpkg-deb -x "$deb" "$scratch/root"
  local share=$scratch/root/usr/share
  appstreamcli validate --no-net "$share/metainfo/org.plenbatchprint.PlenBatchPrint.metainfo.xml" ||
    fail "metainfo does not validate"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$share/applications/org.plenbatchprint.PlenBatchPrint.desktop" ||
      fail "desktop file does not validate"
  fi
  local man_warnings
  man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man1/plenbatchprint.1" 2>&1 >/dev/null)
  [ -z "$man_warnings" ] || fail "man page warnings: $man_warnings"

  local report
  report=$(run_installed "$scratch" /silent "/printer=PlenBatchPrint PDF" "/file=$sample") ||
    fail "the installed program's silent run exited with $?"
  echo "$report"
  grep -q $'\tSent to Printer' <<<"$report" || fail "the sample was not sent: $report"
  [ -s "$scratch/pdf/$(basename "$sample").pdf" ] || fail "no PDF of the sample in $scratch/pdf"
}

version() {
  local scratch=$1 version=$2
  local out
  out=$(run_installed "$scratch" --version) || fail "--version exited with $?"
  grep -qF "$version" <<<"$out" || fail "--version printed '$out', not $version"
}

mode=$1
shift
"$mode" "$@"
