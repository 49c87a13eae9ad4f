#!/bin/sh
# Pictures of every window of the desktop program, into docs/screenshots/.
#   scripts/screenshots.sh [BUILD_DIR]   (default: build)
#
# The program runs as on an office machine: a home folder with the data file
# in Documents, and a print service with a laser printer of four trays (the
# default) and a PDF printer. All of it lives in one private folder: the print
# service is a cupsd of its own, listening only on a socket in that folder,
# and is stopped and the folder removed at the end, also on failure. Nothing
# system-wide is touched and nothing reaches a real printer.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
program="$build/src/gui/tonnage-screenshots"
out="$here/docs/screenshots"
sample="$here/samples/us-standard-tickets.K81"
PATH="$PATH:/usr/sbin:/sbin"

if [ ! -x "$program" ]; then
  echo "screenshots: $program is not built (cmake --build $build --target tonnage-screenshots)" >&2
  exit 1
fi
for tool in cupsd lpadmin lpstat pdftoppm; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "screenshots: $tool is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
  fi
done

area=$(mktemp -d "${TMPDIR:-/tmp}/tonnage-shots-XXXXXX")
cupsd_pid=""
finish() {
  if [ -n "$cupsd_pid" ]; then
    kill "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
  fi
  rm -rf "$area"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' HUP TERM

# The print service. Its filters run as its own user, who must reach the folders.
chmod 755 "$area"
cups="$area/cups"
for sub in etc etc/ppd etc/ssl spool spool/tmp cache state log; do mkdir -p "$cups/$sub"; done
socket="$cups/cups.sock"
cat >"$cups/etc/cups-files.conf" <<EOF
ServerRoot $cups/etc
RequestRoot $cups/spool
TempDir $cups/spool/tmp
CacheDir $cups/cache
StateDir $cups/state
ServerKeychain $cups/etc/ssl
AccessLog $cups/log/access_log
ErrorLog $cups/log/error_log
PageLog $cups/log/page_log
FileDevice Yes
EOF
cat >"$cups/etc/cupsd.conf" <<EOF
Listen $socket
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cupsd -f -c "$cups/etc/cupsd.conf" -s "$cups/etc/cups-files.conf" >"$cups/log/stdout" 2>&1 &
cupsd_pid=$!
export CUPS_SERVER="$socket"
tries=0
until LC_ALL=C lpstat -r 2>/dev/null | grep -qx "scheduler is running"; do
  tries=$((tries + 1))
  if [ "$tries" -gt 200 ] || ! kill -0 "$cupsd_pid" 2>/dev/null; then
    echo "screenshots: the print service did not start:" >&2
    cat "$cups/log/stdout" "$cups/log/error_log" >&2 2>/dev/null || true
    exit 1
  fi
  sleep 0.1
done

# Quiet unless it fails (lpadmin warns that printer drivers are deprecated).
admin() {
  said=$("$@" 2>&1) || { echo "screenshots: $* failed: $said" >&2; return 1; }
}

# An office laser on the network (an address that reaches nobody; no job is
# sent) with its trays, Tray 1 as it comes, and a PDF printer.
admin lpadmin -p Office_Laser -E -v socket://192.0.2.40:9100 -m drv:///sample.drv/generpcl.ppd \
  -D "Office laser" -L "Site office" -o InputSlot=Tray1
pdf_ppd=/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd
if [ -f "$pdf_ppd" ]; then
  admin lpadmin -p PDF -E -v file:///dev/null -P "$pdf_ppd" -D "PDF files"
else
  admin lpadmin -p PDF -E -v file:///dev/null -m drv:///sample.drv/generic.ppd -D "PDF files"
fi
admin lpadmin -d Office_Laser

# A user's home with the data file in Documents (a copy: the run saves it).
home="$area/home/inspector"
mkdir -p "$home/Documents" "$home/.config" "$area/tmp" "$area/run"
chmod 700 "$area/run"
data="$home/Documents/STP-0312.K81"
cp "$sample" "$data"

mkdir -p "$out"
rm -f "$out/report-pages.pdf"
run() {
  env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$area/run" TMPDIR="$area/tmp" \
    CUPS_SERVER="$socket" "$@"
}
if command -v xvfb-run >/dev/null 2>&1; then
  # A screen of its own with the usual 96 dots per inch.
  run xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb "$program" "$out" "$data"
else
  echo "screenshots: xvfb-run not found, drawing offscreen" >&2
  run env QT_QPA_PLATFORM=offscreen "$program" "$out" "$data"
fi
# The report's first page of tickets (page 2, after the error report) as it
# prints; the PDF itself is not kept.
if [ -f "$out/report-pages.pdf" ]; then
  pdftoppm -png -r 80 -f 2 -l 2 -singlefile "$out/report-pages.pdf" "$out/report-page"
  rm -f "$out/report-pages.pdf"
fi
echo "screenshots: pictures in $out"
