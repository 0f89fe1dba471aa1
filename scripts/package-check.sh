#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks it as a distribution would
# (desktop-file-validate, appstreamcli, lintian, man --warnings). Then unpacks it into a scratch
# root and runs the installed programs from there: --version of all three, logosmith-cli
# convert and store with the stream checked by the installed mrx310-sim, and logosmith itself,
# offscreen, with two pictures on its command line. It is ended by SIGTERM as a session end
# would; its settings file and data folder must then hold both pictures, and the installed
# folder nothing of them. Needs a build (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(cd "${LOGOSMITH_BUILD_DIR:-build}" && pwd)
id=com.korvant.logosmith
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "package-check: FAILED: $*" >&2
  exit 1
}

# The package.
rm -rf "$build_dir/packages"
(cd "$build_dir" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
debs=("$build_dir"/packages/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one package, found ${debs[*]}"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
echo "package-check: $(basename "$deb"), Depends: $(dpkg-deb -f "$deb" Depends)"

root=$work/root
dpkg-deb -x "$deb" "$root"
usr=$root/usr
for file in bin/logosmith bin/logosmith-cli bin/mrx310-sim \
  share/doc/logosmith/help.html share/doc/logosmith/help-images/screenshot.png \
  share/doc/logosmith/copyright share/doc/logosmith/changelog.gz \
  share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/icons/hicolor/scalable/apps/$id.svg \
  share/icons/hicolor/48x48/apps/$id.png share/icons/hicolor/256x256/apps/$id.png \
  share/man/man1/logosmith.1.gz share/man/man1/logosmith-cli.1.gz \
  share/man/man1/mrx310-sim.1.gz; do
  [ -f "$usr/$file" ] || fail "the package has no /usr/$file"
done
# Every picture the help page shows is installed beside it.
for image in $(grep -o 'src="help-images/[^"]*"' "$usr/share/doc/logosmith/help.html" | cut -d'"' -f2); do
  [ -f "$usr/share/doc/logosmith/$image" ] || fail "the help page shows $image, which the package lacks"
done
for size in 48 256; do
  [ "$(identify -format '%wx%h' "$usr/share/icons/hicolor/${size}x${size}/apps/$id.png")" = "${size}x${size}" ] ||
    fail "the ${size} px icon is not ${size} x ${size}"
done

# What a distribution checks.
report=$(desktop-file-validate "$usr/share/applications/$id.desktop" 2>&1) ||
  fail "desktop-file-validate: $report"
# Hints are suggestions (Printing is also offered for a settings menu); anything else fails.
problems=$(grep -v ': hint: ' <<<"$report" || true)
[ -z "$problems" ] || fail "desktop-file-validate: $problems"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
lintian --fail-on error,warning "$deb" || fail "lintian"
apt-get install --simulate --no-install-recommends "$deb" >/dev/null ||
  fail "its dependencies cannot be met on this machine"
for page in "$usr"/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null) ||
    fail "man could not format $(basename "$page")"
  [ -z "$warnings" ] || fail "man --warnings $(basename "$page"): $warnings"
done

# The installed command-line programs.
for program in logosmith logosmith-cli mrx310-sim; do
  answer=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/$program" --version)
  [ "$answer" = "$program $version" ] || fail "$program --version said \"$answer\""
done
convert -size 300x80 xc:white -fill '#d01010' -draw 'circle 40,40 40,10' \
  -fill black -draw 'rectangle 100,20 280,60' "BMP3:$work/shop.bmp"
"$usr/bin/logosmith-cli" convert "$work/shop.bmp" "$work/shop-logo.bmp"
"$build_dir/bin/logosmith-cli" convert "$work/shop.bmp" "$work/built-logo.bmp" >/dev/null
cmp -s "$work/shop-logo.bmp" "$work/built-logo.bmp" || fail "the installed convert differs from the build's"
"$usr/bin/logosmith-cli" store "$work/logos.prn" "$work/shop-logo.bmp"
"$usr/bin/mrx310-sim" --out "$work/sim" "$work/logos.prn" || fail "the store stream was rejected"

# The installed window program with pictures from a file manager's "Open with".
home=$work/home
library=$home/.local/share/KORVANT/logosmith/storeImage
convert -size 120x60 xc:white -fill '#d01010' -draw 'rectangle 10,10 50,50' "BMP3:$work/first.bmp"
convert -size 90x90 xc:white -fill black -draw 'circle 45,45 45,10' "$work/second.jpg"
mkdir -p "$home"
# timeout passes the SIGTERM below on to the program and ends a hung one.
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
  XDG_CACHE_HOME=$home/.cache QT_QPA_PLATFORM=offscreen \
  timeout -k 10 120 "$usr/bin/logosmith" "$work/first.bmp" "$work/second.jpg" &
program_pid=$!
# Adding the second picture writes the first to the library.
for _ in $(seq 600); do
  [ -f "$library/first.bmp" ] && break
  kill -0 "$program_pid" 2>/dev/null || fail "logosmith ended before adding the pictures"
  sleep 0.1
done
[ -f "$library/first.bmp" ] || fail "logosmith did not add the pictures within 60 s"
kill -TERM "$program_pid"
status=0
wait "$program_pid" || status=$?
program_pid=""
[ "$status" -eq 0 ] || fail "logosmith ended with status $status after SIGTERM"
settings=$home/.config/KORVANT/logosmith.ini
for line in "RootDir=$home/.local/share/KORVANT/logosmith/" n1=first.bmp n2=second.bmp; do
  grep -qxF "$line" "$settings" || fail "the settings file has no line $line"
done
[ -f "$library/second.bmp" ] || fail "the last picture was not written at the end"
[ -z "$(ls -A "$usr/bin" | grep -vxE 'logosmith|logosmith-cli|mrx310-sim')" ] ||
  fail "the program wrote into its installed folder: $(ls "$usr/bin")"
echo "package-check: passed"
