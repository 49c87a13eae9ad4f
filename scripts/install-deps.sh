#!/bin/sh
# Installs the Debian 12 packages the build, the tests and the program need.
# apt-get update runs only when something is missing, so a ready machine
# starts at once.
set -eu

# What configuring and building the two programs needs (`make run`).
PROGRAM_PACKAGES="
build-essential
cmake
make
pkg-config
python3
python3-markdown
libgtest-dev
libgmock-dev
libbenchmark-dev
libcli11-dev
libsqlite3-dev
libssl-dev
libcsv-dev
qt6-base-dev
qt6-base-dev-tools
libqt6svg6
libgl-dev
fonts-liberation
libcups2-dev
libxlsxwriter-dev
"

# What the tests, the fuzzing, the screenshots and the package add to it.
TEST_PACKAGES="
sqlite3
xvfb
xauth
cups
cups-bsd
cups-client
poppler-utils
python3-openpyxl
clang
clang-format
libclang-rt-14-dev
appstream
desktop-file-utils
dpkg-dev
man-db
shared-mime-info
"

# With --programs, only the programs' packages; the rest comes with the
# first `make test`.
PACKAGES="$PROGRAM_PACKAGES"
[ "${1:-}" = "--programs" ] || PACKAGES="$PROGRAM_PACKAGES $TEST_PACKAGES"

missing=""
for pkg in $PACKAGES; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  case "$status" in
    *"install ok installed"*) ;;
    *) missing="$missing $pkg" ;;
  esac
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get -q update
# shellcheck disable=SC2086
$SUDO apt-get -q install -y --no-install-recommends $missing
