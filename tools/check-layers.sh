#!/usr/bin/env bash
# Checks that the source folders include each other only downwards:
#   core, settings, dictionary  <-  ui  <-  workspace, remembered, practice, recall, drills, images, help  <-  app
# The window folders may include each other's headers, for the windows to call each
# other; nothing below them may include them.
#
#   tools/check-layers.sh
set -euo pipefail
cd "$(dirname "$0")/../src"

status=0
forbid() {
    local folders=$1 pattern=$2 found
    # shellcheck disable=SC2086 # the folder list is meant to split
    if found=$(grep -rnE "#include \"($pattern)/" $folders); then
        echo "check-layers: $folders must not include $pattern:" >&2
        echo "$found" >&2
        status=1
    fi
}

forbid "core settings dictionary" "ui|workspace|remembered|practice|recall|drills|images|help|app"
forbid "ui" "workspace|remembered|practice|recall|drills|images|help|app"
forbid "workspace remembered practice recall drills images help" "app"
exit $status
