#!/usr/bin/env bash
# Takes a picture of every window at scale factors 1 and 2 under a virtual X server,
# for a person to look at, and prints the pictures' file names. Captions that the
# fonts cut off are named below the picture they are in.
#
#   tools/screenshots.sh OUTDIR [BUILDDIR]
#
# BUILDDIR (default: build) must hold a finished build. Needs Xvfb and xvfb-run
# (Debian: xvfb, xauth). Exits with 3 when a caption is cut off.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
fi
out="$1"
build="${2:-build}"
driver="$build/bin/numbrill-screenshots"
share="$build/share/numbrill"
if [ ! -x "$driver" ]; then
    echo "screenshots.sh: no $driver; build first" >&2
    exit 1
fi
mkdir -p "$out"

status=0
for scale in 1 2; do
    QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" \
        xvfb-run -a -s "-screen 0 2560x1600x24 -dpi 96" \
        "$driver" "$share" "$out" "scale$scale" || status=$?
done
exit "$status"
