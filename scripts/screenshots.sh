#!/bin/sh
# Pictures of every window of the desktop program, into docs/screenshots/.
#   scripts/screenshots.sh [BUILD_DIR]   (default: build)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
program="$build/src/gui/quarrendale-tonnage"
out="$here/docs/screenshots"
sample="$here/samples/us-standard-tickets.K81"

if [ ! -x "$program" ]; then
  echo "screenshots: $program is not built (cmake --build $build --target quarrendale-tonnage)" >&2
  exit 1
fi
mkdir -p "$out"
if command -v xvfb-run >/dev/null 2>&1; then
  # A screen of its own with the usual 96 dots per inch.
  xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb "$program" --screenshots "$out" "$sample"
else
  echo "screenshots: xvfb-run not found, drawing offscreen" >&2
  QT_QPA_PLATFORM=offscreen "$program" --screenshots "$out" "$sample"
fi
# The report's first page as it prints, when the program wrote the PDF.
if [ -f "$out/report-pages.pdf" ] && command -v pdftoppm >/dev/null 2>&1; then
  pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$out/report-pages.pdf" "$out/report-page"
fi
echo "screenshots: pictures in $out"
