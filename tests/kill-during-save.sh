#!/usr/bin/env bash
# Kills the real program at random moments while it saves a list of 100,000
# remembered numbers. After every kill rv.db must hold the old list or the new one,
# byte for byte, and the next start must remove any temporary file the kill left.
#
#   tests/kill-during-save.sh [TRIALS [BUILD_DIR]]      defaults: 20 trials, ./build
#
# The list holds one line with a quote outside the quoted form, which the program
# turns into a blank at load; that change makes the save at SIGTERM write the list.
set -euo pipefail
# shellcheck source=tests/kill-trial-common.sh
source "$(dirname "$0")/kill-trial-common.sh"

kill_trial_begin "${1:-}" "${2:-}"
program="$build/bin/numbrill"
share="$build/share/numbrill"
for needed in "$program" "$share/data/num1.db" "$share/data/num.db"; do
    [ -e "$needed" ] || { echo "missing $needed: build the project first" >&2; exit 2; }
done

data="$work/install/data"
mkdir -p "$data" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$share/data/num1.db" "$share/data/num.db" "$data/"
printf 'instaldir=%s\nfirsttime=no\n' "$work/install" >"$work/config/kerravane.conf"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"

# Descriptions count up, so the file is already in the order the program saves in.
awk 'BEGIN {
    srand(14)
    for (i = 1; i <= 100000; i++) {
        printf "\"%d%d:entry %06d:meter tin bee\"\r\n", int(rand() * 1e9), i % 97, i
        if (i == 50000)
            printf "31415:entry 050000a say \"hi\":meter\r\n"
    }
}' >"$work/old.db"

temporaries() { find "$data" -maxdepth 1 \( -name 'rv.db.*' -o -name 'rv2.db.*' \); }

# Whether a process has its own handler for SIGTERM yet (bit 15 of the mask of caught
# signals); a busy machine may hold the program up between the lock and the handler.
catches_sigterm() {
    local mask
    mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$1/status" 2>/dev/null) || return 1
    [ -n "$mask" ] && (( (16#$mask >> 14) & 1 ))
}

# Starts the program on the old list; returns once it holds the installation lock
# and handles SIGTERM itself.
start() {
    cp "$work/old.db" "$data/rv.db"
    rm -f "$data/rv2.db" "$data/numbrill.lock"
    "$program" >/dev/null 2>"$work/stderr" &
    pid=$!
    while [ ! -e "$data/numbrill.lock" ] || ! catches_sigterm "$pid"; do
        kill -0 "$pid" 2>/dev/null || { echo "the program ended at start" >&2; exit 1; }
        sleep 0.005
    done
    sleep 0.05
}

# The new list: what an uninterrupted save writes. In a sanitizer build the leak
# checker stops every thread at exit with a tracer of its own, which now and then
# fails on a busy machine; that is no leak, so such a run is tried once more.
save_and_end() {
    begin=$(millis)
    start
    kill -TERM "$pid"
    local status=0
    wait "$pid" || status=$?
    pid=""
    window=$(($(millis) - begin))
    return "$status"
}
if ! save_and_end; then
    if grep -q "LeakSanitizer has encountered a fatal error" "$work/stderr"; then
        echo "the leak checker's tracer failed at exit; trying once more"
        save_and_end || { cat "$work/stderr" >&2; echo "the program failed to save and end" >&2; exit 1; }
    else
        cat "$work/stderr" >&2
        echo "the program failed to save and end" >&2
        exit 1
    fi
fi
cp "$data/rv.db" "$work/new.db"
if cmp -s "$work/old.db" "$work/new.db"; then
    echo "SIGTERM did not save the list" >&2
    exit 1
fi
echo "uninterrupted start and save: ${window} ms; killing within that after SIGTERM"

# With strace at hand, one traced save shows that the folder is synced after each
# file is renamed into place, so the new names survive a power cut too.
if command -v strace >/dev/null && command -v pgrep >/dev/null; then
    cp "$work/old.db" "$data/rv.db"
    rm -f "$data/rv2.db" "$data/numbrill.lock"
    strace -f -qq -y -e trace=fsync,rename,renameat,renameat2,linkat -o "$work/trace" \
        "$program" >/dev/null 2>&1 &
    tracer=$!
    while [ ! -e "$data/numbrill.lock" ]; do sleep 0.005; done
    sleep 0.05
    kill -TERM "$(pgrep -P "$tracer")"
    wait "$tracer" || true
    # A line that puts rv.db or rv2.db in place counts until a sync of the folder.
    read -r renamed unsynced < <(awk -v dir="$data" '
        /(rename|linkat)\(/ && / = 0$/ && (index($0, dir "/rv.db\"") || index($0, dir "/rv2.db\"")) {
            renamed++
            pending++
        }
        /fsync\(/ && index($0, "<" dir ">") { pending = 0 }
        END { print renamed + 0, pending + 0 }' "$work/trace")
    echo "traced save: $renamed files put in place, $unsynced without a folder sync after"
    [ "$renamed" -ge 2 ] && [ "$unsynced" -eq 0 ] || { echo "the folder is not synced" >&2; exit 1; }
fi

before=0 between=0 after=0 lost=0 leftovers=0 stale=0
for ((trial = 1; trial <= trials; trial++)); do
    left_before=$(temporaries | wc -l)
    start
    # The program removes what an earlier kill left once it has read the list.
    if [ "$left_before" -gt 0 ]; then
        for ((tries = 0; tries < 400; tries++)); do
            [ "$(temporaries | wc -l)" -eq 0 ] && break
            sleep 0.025
        done
        if [ "$(temporaries | wc -l)" -gt 0 ]; then
            stale=$((stale + 1))
            echo "trial $trial: temporary files of the last kill were not removed" >&2
        fi
    fi
    kill -TERM "$pid"
    delay=$((RANDOM * 32768 + RANDOM))
    delay=$((delay % (window + 1)))
    kill_after "$delay"

    # Old rv.db and no rv2.db: killed before the save wrote anything; old rv.db
    # next to rv2.db: killed between the two files.
    if cmp -s "$data/rv.db" "$work/old.db" && [ ! -e "$data/rv2.db" ]; then
        before=$((before + 1))
    elif cmp -s "$data/rv.db" "$work/old.db"; then
        between=$((between + 1))
    elif cmp -s "$data/rv.db" "$work/new.db"; then
        after=$((after + 1))
    else
        lost=$((lost + 1))
        kept="${TMPDIR:-/tmp}/kill-during-save-trial-$trial.db"
        cp "$data/rv.db" "$kept" 2>/dev/null || true
        echo "trial $trial: killed ${delay} ms after SIGTERM, rv.db is neither list: $kept" >&2
    fi
    [ "$(temporaries | wc -l)" -gt 0 ] && leftovers=$((leftovers + 1))
done

echo "trials: $trials; rv.db old, killed before the save: $before, killed between rv2.db" \
    "and rv.db: $between; rv.db new: $after; rv.db neither: $lost;" \
    "kills that left a temporary file: $leftovers, not removed at the next start: $stale"
[ "$lost" -eq 0 ] && [ "$stale" -eq 0 ]
