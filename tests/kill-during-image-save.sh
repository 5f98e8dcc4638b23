#!/usr/bin/env bash
# Kills the image list's writer at random moments while it saves one whole list after
# another to images.db. After every kill the file must hold the last list whose save
# returned, or the one being saved, byte for byte; and the next opening must remove
# any temporary file the kill left beside it.
#
#   tests/kill-during-image-save.sh [TRIALS [BUILD_DIR]]      defaults: 20 trials, ./build
set -euo pipefail
# shellcheck source=tests/kill-trial-common.sh
source "$(dirname "$0")/kill-trial-common.sh"

kill_trial_begin "${1:-}" "${2:-}"
saver="$build/tests/bin/images_saver"
[ -x "$saver" ] || { echo "missing $saver: build the project first" >&2; exit 2; }

leftover=0
for ((trial = 1; trial <= trials; trial++)); do
    "$saver" save "$work" 1000000 >"$work/acks" 2>"$work/errors" &
    pid=$!
    # Kill somewhere in the first half second of saving.
    kill_after $((RANDOM % 500))
    fail_on_errors
    note_acknowledged
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
    compare_held "$held" "trial $trial: list $acknowledged saved, list $held read back" \
        "trial $trial: list $held read back, only $acknowledged saved"
done

echo "trials: $trials; lists saved in all: $acknowledged; kills that left a temporary file:" \
    "$leftover; a list on the disk but not yet acknowledged: $inflight; saved lists lost: $lost"
[ "$lost" -eq 0 ]
