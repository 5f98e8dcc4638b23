#!/usr/bin/env bash
# Kills the image list's writer at random moments while it saves one whole list after
# another to images.db. After every kill the file must hold the last list whose save
# returned, or the one being saved, byte for byte; and the next opening must remove
# any temporary file the kill left beside it.
#
#   tests/kill-during-image-save.sh [TRIALS [BUILD_DIR]]      defaults: 20 trials, ./build
set -euo pipefail

trials="${1:-20}"
build="$(cd "${2:-$(dirname "$0")/../build}" && pwd)"
saver="$build/tests/bin/images_saver"
[ -x "$saver" ] || { echo "missing $saver: build the project first" >&2; exit 2; }

work="$(mktemp -d)"
pid=""
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config"

acknowledged=0 lost=0 leftover=0 inflight=0
for ((trial = 1; trial <= trials; trial++)); do
    "$saver" save "$work" 1000000 >"$work/acks" 2>"$work/errors" &
    pid=$!
    # Kill somewhere in the first half second of saving.
    sleep "0.$(printf '%03d' $((RANDOM % 500)))"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
    if [ -s "$work/errors" ]; then
        cat "$work/errors" >&2
        exit 1
    fi
    last=$(grep -E '^[0-9]+$' "$work/acks" | tail -n 1 || true)
    [ -n "$last" ] && acknowledged=$last
    [ -n "$(find "$work" -maxdepth 1 -name 'images.db.*')" ] && leftover=$((leftover + 1))

    if ! held=$("$saver" check "$work" 2>"$work/errors"); then
        cat "$work/errors" >&2
        echo "trial $trial: images.db is not a whole list" >&2
        exit 1
    fi
    if [ -n "$(find "$work" -maxdepth 1 -name 'images.db.*')" ]; then
        echo "trial $trial: a temporary file outlived the next opening" >&2
        exit 1
    fi
    if [ "$held" -lt "$acknowledged" ]; then
        lost=$((lost + 1))
        echo "trial $trial: list $acknowledged saved, list $held read back" >&2
    elif [ "$held" -gt $((acknowledged + 1)) ]; then
        echo "trial $trial: list $held read back, only $acknowledged saved" >&2
        exit 1
    elif [ "$held" -gt "$acknowledged" ]; then
        inflight=$((inflight + 1))
    fi
    acknowledged=$held
done

echo "trials: $trials; lists saved in all: $acknowledged; kills that left a temporary file:" \
    "$leftover; a list on the disk but not yet acknowledged: $inflight; saved lists lost: $lost"
[ "$lost" -eq 0 ]
