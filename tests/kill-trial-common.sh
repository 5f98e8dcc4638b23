# shellcheck shell=bash
# shellcheck disable=SC2034 # the variables set here are the sourcing script's
# What the kill trials (tests/kill-during-*.sh) share, sourced by each after it has
# read its own arguments:
#   kill_trial_begin TRIALS BUILD_DIR   sets `trials` and `build` (an absolute path),
#                                       makes the work folder `work` with the private
#                                       settings folder, and kills the writer still
#                                       running (`pid`) and removes `work` at exit
# The trials tally in `acknowledged`, `inflight` and `lost` what the writer printed and
# what its check read back after each kill.

kill_trial_begin() {
    trials="${1:-20}"
    build="$(cd "${2:-$(dirname "$0")/../build}" && pwd)"
    work="$(mktemp -d)"
    pid=""
    trap kill_trial_cleanup EXIT
    mkdir -p "$work/config"
    export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config"
    acknowledged=0 inflight=0 lost=0
}

kill_trial_cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$work"
}

millis() { date +%s%3N; }

# Kills the writer `pid` after MILLISECONDS and waits for it.
kill_after() {
    sleep "$(printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)))"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
}

# Fails with what the writer said on stderr (in $work/errors), if anything.
fail_on_errors() {
    if [ -s "$work/errors" ]; then
        cat "$work/errors" >&2
        exit 1
    fi
}

# The last number the writer printed to $work/acks is the last one it acknowledged.
note_acknowledged() {
    local last
    last=$(grep -E '^[0-9]+$' "$work/acks" | tail -n 1 || true)
    [ -n "$last" ] && acknowledged=$last
    return 0
}

# Compares HELD, what the check read back, with what was acknowledged: fewer is a loss,
# reported with LOST_MESSAGE; one more was on the disk before it was acknowledged; more
# than that cannot be, and fails with TOO_MANY_MESSAGE.
#   compare_held HELD LOST_MESSAGE TOO_MANY_MESSAGE
compare_held() {
    if [ "$1" -lt "$acknowledged" ]; then
        lost=$((lost + 1))
        echo "$2" >&2
    elif [ "$1" -gt $((acknowledged + 1)) ]; then
        echo "$3" >&2
        exit 1
    elif [ "$1" -gt "$acknowledged" ]; then
        inflight=$((inflight + 1))
    fi
    acknowledged=$1
}
