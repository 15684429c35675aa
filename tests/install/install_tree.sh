#!/usr/bin/env bash
# Installs the build into a scratch root, as a package does, and checks what lands where: the
# programs, the samples, the desktop entry, the icons, the AppStream data, the licence, changelog
# and manual pages, and that the installed program reads the installed samples.
set -euo pipefail
build=$1 app_id=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
cd "$root/usr"

fail=0
expect() { for f in "$@"; do [ -s "$f" ] || { echo "missing: /usr/$f"; fail=1; }; done; }
expect bin/ferio bin/hy3tool \
  share/ferio/samples/{7,12,105}.hy3 share/ferio/samples/12tp.csv share/ferio/samples/readings.tsv \
  share/ferio/samples/{chime1.wav,chime2.mp3,chime3.mid,click.wav} \
  share/ferio/samples/{barcode,companies,plain}.4SP \
  "share/applications/$app_id.desktop" "share/icons/hicolor/scalable/apps/$app_id.svg" \
  "share/metainfo/$app_id.metainfo.xml" share/doc/ferio/README.md \
  share/doc/ferio/{copyright,changelog.Debian.gz} share/man/man1/{ferio,hy3tool}.1.gz
# Nothing of the build or the tests among the programs.
programs=$(ls bin | tr '\n' ' ')
[ "$programs" = "ferio hy3tool " ] || { echo "programs installed: $programs"; fail=1; }
[ -x bin/ferio ] && [ -x bin/hy3tool ] || { echo "programs not executable"; fail=1; }
grep -q '^Exec=ferio$' "share/applications/$app_id.desktop" || { echo "desktop entry does not start ferio"; fail=1; }
grep -q "^Icon=$app_id\$" "share/applications/$app_id.desktop" || { echo "desktop entry names another icon"; fail=1; }
grep -q '<svg' "share/icons/hicolor/scalable/apps/$app_id.svg" || { echo "the icon is no SVG"; fail=1; }
# The icon drawn at each size a desktop looks for before it scales one.
for size in 16 22 24 32 48 64 128 256; do
  png="share/icons/hicolor/${size}x$size/apps/$app_id.png"
  kind=$(file -b "$png" 2>&1)
  [[ "$kind" == "PNG image data, $size x $size,"* ]] || { echo "/usr/$png: $kind"; fail=1; }
done
# The licence, machine-readable, and the changelog and manual pages compressed as Debian has them.
head -1 share/doc/ferio/copyright | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  { echo "copyright is not in the machine-readable format"; fail=1; }
grep -q '^License: GPL-3+$' share/doc/ferio/copyright || { echo "copyright names no GPL-3+"; fail=1; }
grep -q '<project_license>GPL-3.0-or-later</project_license>' "share/metainfo/$app_id.metainfo.xml" ||
  { echo "AppStream data names another licence"; fail=1; }
zcat share/doc/ferio/changelog.Debian.gz | head -1 | grep -q '^ferio (' || { echo "changelog.Debian.gz: no ferio entry"; fail=1; }
for program in ferio hy3tool; do
  zcat "share/man/man1/$program.1.gz" | grep -q "^\.TH \"\?${program^^}" || { echo "$program.1.gz is no manual page"; fail=1; }
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "share/applications/$app_id.desktop" || fail=1
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --explain "share/metainfo/$app_id.metainfo.xml" >/dev/null || {
    appstreamcli validate --no-net "share/metainfo/$app_id.metainfo.xml"; fail=1; }
fi

# The installed tools on the installed samples, from a folder that holds no route.
mkdir "$root/elsewhere"
cd "$root/elsewhere"
out=$("$root/usr/bin/hy3tool" check "$root/usr/share/ferio/samples/12.hy3")
[[ "$out" == *records* ]] || { echo "hy3tool check: $out"; fail=1; }
# The example readings of the samples reach the voice: the samples are the broadcast folder.
out=$(HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" "$root/usr/bin/ferio" --reading 上原)
[ "$out" = "カミハラ" ] || { echo "ferio --reading 上原 from the installed samples: $out"; fail=1; }

# The first start of the installed program writes the demonstration's settings, pointing at the
# installed samples, into the user's configuration folder; nothing lands beside the program.
settings="$root/home/.config/FerioVer4/ferio.in4"
HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  "$root/usr/bin/ferio" >"$root/ferio.log" 2>&1 &
ferio=$!
for _ in $(seq 200); do [ -s "$settings" ] || ! kill -0 $ferio 2>/dev/null && break; sleep 0.1; done
kill $ferio 2>/dev/null || true
wait $ferio 2>/dev/null || true
if [ -s "$settings" ]; then
  grep -aq "$root/usr/share/ferio/samples/chime1.wav" "$settings" ||
    { echo "the first start's settings do not name the installed samples"; fail=1; }
else
  echo "no settings written in 20 s by the first start of the installed program:"; cat "$root/ferio.log"; fail=1
fi
ls "$root/usr/bin" | grep -q 'in4' && { echo "settings written beside the installed program"; fail=1; }
exit $fail
