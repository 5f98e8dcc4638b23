#!/usr/bin/env bash
# Kills a writer of an append-only file at random moments while it appends: the
# recall history's (recall_appender, recall.log), the drill history's (drills_appender,
# drills.log), the journal of changes to the remembered numbers' (journal_appender,
# rv.journal), or the remembered numbers themselves storing into a long list
# (numbers_storer, rv.journal). Every line it acknowledged
# (printed after the append returned) must be read back after the kill, in order,
# with no line unreadable: a torn last line is cut off by the next load, and at most
# the one line written but not yet acknowledged may come on top.
#
#   tests/kill-during-append.sh [TRIALS [BUILD_DIR [APPENDER FILE]]]
#       defaults: 20 trials, ./build, recall_appender recall.log
set -euo pipefail
# shellcheck source=tests/kill-trial-common.sh
source "$(dirname "$0")/kill-trial-common.sh"

kill_trial_begin "${1:-}" "${2:-}"
appender="$build/tests/bin/${3:-recall_appender}"
file="${4:-recall.log}"
pattern="$file>"
[ -x "$appender" ] || { echo "missing $appender: build the project first" >&2; exit 2; }

# With strace at hand, a traced run shows that each answer is synced to the disk
# before it is acknowledged.
if command -v strace >/dev/null; then
    mkdir "$work/traced"
    # LeakSanitizer cannot work under ptrace: a sanitizer build leaves it out here.
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
        strace -f -qq -y -e trace=write,fsync,fdatasync -o "$work/trace" \
        "$appender" append "$work/traced" 20 >/dev/null
    read -r written unsynced < <(awk '
        $0 ~ "^[0-9]+ +write\\(" && $0 ~ file { written++; pending = 1 }
        $0 ~ "^[0-9]+ +f(data)?sync\\(" && $0 ~ file { pending = 0 }
        /^[0-9]+ +write\(1/ && pending { unsynced++ }
        END { print written + 0, unsynced + 0 }' file="$pattern" "$work/trace")
    # The first line of a new journal comes with the file, written whole: 19 appends.
    echo "traced appends: $written lines written, $unsynced acknowledged before a sync"
    [ "$written" -ge 19 ] && [ "$unsynced" -eq 0 ] || { echo "appends are not synced" >&2; exit 1; }
fi

torn=0
for ((trial = 1; trial <= trials; trial++)); do
    "$appender" append "$work" 1000000 >"$work/acks" 2>"$work/errors" &
    pid=$!
    # Kill somewhere in the first half second of appending, once it has begun (a
    # writer into a long list reads it first).
    while [ ! -s "$work/acks" ] && kill -0 "$pid" 2>/dev/null; do sleep 0.01; done
    kill_after $((RANDOM % 500))
    fail_on_errors
    note_acknowledged
    [ -s "$work/$file" ] && [ "$(tail -c 1 "$work/$file" | od -An -c | tr -d ' ')" != '\n' ] &&
        torn=$((torn + 1))

    if ! held=$("$appender" check "$work" 2>"$work/errors"); then
        cat "$work/errors" >&2
        echo "trial $trial: the log does not read back in order" >&2
        exit 1
    fi
    compare_held "$held" "trial $trial: $acknowledged answers acknowledged, $held read back" \
        "trial $trial: $held answers read back, only $acknowledged acknowledged"
done

echo "trials: $trials; answers acknowledged in all: $acknowledged; kills that tore a line:" \
    "$torn; an answer on the disk but not yet acknowledged: $inflight; acknowledged answers lost: $lost"
[ "$lost" -eq 0 ]
