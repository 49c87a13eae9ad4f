#!/bin/sh
# Checks a built Debian package as a desktop would see it once installed:
#   tests/package/check-package.sh build-package/quarrendale-tonnage_*.deb
# The package is unpacked into a fresh folder (nothing is installed on this
# machine) and each file is looked for where the desktop expects it; the
# desktop entry, the AppStream file and the man pages are validated; the MIME
# database and the desktop entries' cache are built inside that folder, and
# a *.K81 file must come out as the program's type, opened by its entry.
# Builds nothing; ends 0 when every check passes, 1 otherwise.
set -u

[ $# -eq 1 ] && [ -f "$1" ] || { echo "usage: $0 PACKAGE.deb" >&2; exit 2; }
deb=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
root=$(mktemp -d "${TMPDIR:-/tmp}/tonnage-package-XXXXXX")
trap 'rm -rf "$root"' EXIT INT TERM

failures=0
fail() { echo "FAIL  $*"; failures=$((failures + 1)); }
check() {  # check DESCRIPTION COMMAND...: passes when the command succeeds
  what=$1
  shift
  if out=$("$@" 2>&1); then
    echo "ok    $what"
  else
    fail "$what"
    [ -z "$out" ] || printf '%s\n' "$out" | sed 's/^/      /'
  fi
}
for tool in dpkg-deb desktop-file-validate appstreamcli man update-mime-database update-desktop-database; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$0: $tool is needed (scripts/install-deps.sh)" >&2; exit 2; }
done

dpkg-deb -x "$deb" "$root" || { echo "$0: cannot unpack $deb" >&2; exit 1; }
share=$root/usr/share
doc=$share/doc/quarrendale-tonnage
desktop=$share/applications/quarrendale-tonnage.desktop
metainfo=$share/metainfo/io.github.quarrendale.tonnage.metainfo.xml
mime=application/x-quarrendale-tonnage

# The control data: name, and what apt must bring in on a bare Debian 12.
check "package name" test "$(dpkg-deb -f "$deb" Package)" = quarrendale-tonnage
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6widgets6 libqt6printsupport6 libqt6gui6 libqt6core6 fonts-liberation \
           shared-mime-info desktop-file-utils hicolor-icon-theme; do
  check "depends on $dep" sh -c 'printf ", %s,\n" "$1" | grep -q ", $2[ ,]" || { echo "Depends: $1"; exit 1; }' \
    - "$depends" "$dep"
done

# Every file where the desktop and the shell look for it (the programs are
# run at the end).
for file in "$desktop" "$metainfo" "$share/mime/packages/quarrendale-tonnage.xml" \
    "$share/icons/hicolor/scalable/apps/quarrendale-tonnage.svg" "$share/man/man1/tonnage.1" \
    "$share/man/man1/quarrendale-tonnage.1" "$doc/copyright" "$doc/user-guide.html"; do
  check "${file#"$root"}" test -s "$file"
done
for program in quarrendale-tonnage tonnage; do
  check "man -l $program.1" sh -c "MANWIDTH=80 man -l '$share/man/man1/$program.1' 2>&1 | grep -q '^NAME'"
done
# A PNG icon of each size, as large as its folder says.
for size in 16 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/quarrendale-tonnage.png
  dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{ printf "%dx%d", $3*256+$4, $7*256+$8 }')
  check "icon ${size}x${size} is ${size}x${size} pixels" test "$dims" = "${size}x${size}"
done
# Every picture the installed guide shows is installed with it.
missing=""
for src in $(grep -o 'src="[^"]*"' "$doc/user-guide.html" 2>/dev/null | sed 's/^src="//; s/"$//'); do
  [ -f "$doc/$src" ] || missing="$missing $src"
done
check "the guide's pictures are installed${missing:+ (missing:$missing)}" test -z "$missing"

# The files validate; the desktop entry starts the installed program with the
# file, opens the data files' type and has its icon installed.
check "desktop-file-validate" desktop-file-validate "$desktop"
check "appstreamcli validate" appstreamcli validate --no-net --pedantic "$metainfo"
check "the AppStream file names the desktop entry" \
  grep -q '<launchable type="desktop-id">quarrendale-tonnage.desktop</launchable>' "$metainfo"
for line in 'Exec=quarrendale-tonnage %f' "MimeType=$mime;" 'Icon=quarrendale-tonnage'; do
  check "the desktop entry says $line" grep -qx "$line" "$desktop"
done

# A *.K81 file is of the program's type, and that type opens the program:
# the databases built in the unpacked tree as the package's triggers would.
check "update-mime-database" update-mime-database "$share/mime"
check "*.K81 is $mime" grep -q "^[0-9]*:$mime:\*\.k81" "$share/mime/globs2"
check "a file beginning CST81 is $mime" grep -q "$mime" "$share/mime/magic"
check "the type has its name" test -s "$share/mime/$mime.xml"
check "update-desktop-database" update-desktop-database "$share/applications"
check "$mime opens quarrendale-tonnage.desktop" \
  grep -qx "$mime=quarrendale-tonnage.desktop;" "$share/applications/mimeinfo.cache"

# The installed programs run (their libraries are this machine's).
check "tonnage --version" sh -c "'$root/usr/bin/tonnage' --version | grep -q '4.2.1'"
check "tonnage check on a sample" \
  sh -c "'$root/usr/bin/tonnage' check '$here/samples/us-standard-tickets.K81' | grep -q 'STP-0312'"
check "quarrendale-tonnage --version" \
  sh -c "QT_QPA_PLATFORM=offscreen '$root/usr/bin/quarrendale-tonnage' --version | grep -q '4.2.1'"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed for $deb"; exit 1; }
echo "every check passed for $deb"
