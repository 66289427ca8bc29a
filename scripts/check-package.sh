#!/usr/bin/env bash
# Checks the player's Debian package as a user meets it, without root
# rights: unpacked with dpkg-deb into a temporary root, the player is run from
# an unrelated folder with no production named, so it must find the one
# installed beside it. It checks that production (exit code 0) and renders
# one second of it to a video that FFmpeg reads through; the manual page
# formats without a warning; the desktop entry, the metainfo and the package
# pass their validators (lintian: no error and no warning); the icons have their sizes and
# the completion offers the options. Stops at the first failure, exit code 1.
#   scripts/check-package.sh [PACKAGE.deb]   (default: the one in build-play/)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -gt 0 ]; then
  deb=$1
else
  debs=(build-play/demoplayer_*.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-package: make one package first (scripts/package.sh)" >&2; exit 1; }
  deb=${debs[0]}
fi
deb=$(realpath "$deb")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

step() { echo "check-package: $*"; }
fail() { echo "check-package: FAILED: $*" >&2; exit 1; }
# Runs the command with its output in a log, shown when it fails.
quietly() {
  local log=$work/step.log
  "$@" > "$log" 2>&1 || { cat "$log" >&2; return 1; }
}

root=$work/root
dpkg-deb -x "$deb" "$root"
player=$root/usr/bin/demoplayer
id=org.demoplayer.DemoPlayer
mkdir "$work/elsewhere"
cd "$work/elsewhere"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

step "the player holds no install path and finds its production from $root"
if grep -q -a "/usr/share/demoplayer" "$player"; then fail "an absolute path to the production is compiled in"; fi
quietly "$player" --check || fail "demoplayer --check of the installed production"

step "one second of the installed production rendered to a video"
quietly "$player" --render show.mp4 --size 320x180 --fps 30 --end 1 || fail "demoplayer --render"
streams=$(ffprobe -v error -show_entries stream=codec_type,codec_name -of csv=p=0 show.mp4 | sort | tr '\n' ' ') ||
  fail "ffprobe cannot read show.mp4"
[ "$streams" = "aac,audio h264,video " ] || fail "show.mp4 holds '$streams', not H.264 video and AAC sound"
seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 show.mp4) || fail "ffprobe cannot read show.mp4"
awk -v s="$seconds" 'BEGIN { exit !(s > 0.9 && s < 1.2) }' || fail "show.mp4 lasts $seconds s, not 1"
decoding=$(ffmpeg -nostdin -v error -i show.mp4 -f null - 2>&1) || fail "ffmpeg cannot decode show.mp4: $decoding"
[ -z "$decoding" ] || fail "show.mp4 does not decode cleanly: $decoding"

step "the manual page"
page=$root/usr/share/man/man1/demoplayer.1.gz
manual=$(MANWIDTH=80 man --warnings -l "$page" 2> "$work/man-warnings") || fail "man -l $page"
[ ! -s "$work/man-warnings" ] || fail "man: $(cat "$work/man-warnings")"
for section in SYNOPSIS OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES "BAD INPUT"; do
  grep -q "^$section" <<<"$manual" || fail "the manual page has no $section"
done

step "the desktop entry, the metainfo and the icons"
quietly desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
quietly appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
for side in 48 256; do
  icon=$root/usr/share/icons/hicolor/${side}x${side}/apps/$id.png
  file "$icon" | grep -q "PNG image data, $side x $side" || fail "$icon is not a $side x $side PNG"
done

step "the bash completion"
offered=$(bash -c 'source "$1"; COMP_WORDS=(demoplayer --wi); COMP_CWORD=1; _demoplayer; echo "${COMPREPLY[*]}"' \
  bash "$root/usr/share/bash-completion/completions/demoplayer")
[ "$offered" = "--windowed" ] || fail "the completion of --wi offers '$offered'"

step "lintian"
lintian --allow-root --fail-on error,warning "$deb" || fail "lintian reports an error or a warning"
step "the package is sound"
