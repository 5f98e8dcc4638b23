#!/usr/bin/env bash
# Checks that the source folders include each other only downwards:
#   core, settings, dictionary  <-  ui  <-  workspace, remembered, practice, recall, drills, images, help  <-  app
# and, among the window folders, that no window reaches into another: a window's
# header is included only by its own folder, by the main window (which opens every
# other window from its menus) and by app. The logic of a window folder (what
# numbrill_core builds from it) includes no window and no widget at all.
#
#   tools/check-layers.sh
set -euo pipefail
cd "$(dirname "$0")/../src"

status=0
complain() {
    echo "check-layers: $1:" >&2
    echo "$2" >&2
    status=1
}

forbid() {
    local folders=$1 pattern=$2 found
    # shellcheck disable=SC2086 # the folder list is meant to split
    if found=$(grep -rnE "#include \"($pattern)/" $folders); then
        complain "$folders must not include $pattern" "$found"
    fi
}

forbid "core settings dictionary" "ui|workspace|remembered|practice|recall|drills|images|help|app"
forbid "ui" "workspace|remembered|practice|recall|drills|images|help|app"
forbid "workspace remembered practice recall drills images help" "app"

windowFolders="workspace remembered practice recall drills images help"
mainWindow="workspace/MainWindow.cpp"

# The headers that declare a window: a class built on QWidget, QDialog or QMainWindow.
windows=$(grep -lE "^class [A-Za-z0-9_]+ : public Q(Widget|Dialog|MainWindow)\b" \
    $(for folder in $windowFolders; do echo "$folder"/*.h; done))

# Views one folder makes for a window of another, which shows them as its own part:
# "including file:view header".
embedded="recall/RecallStatisticsWindow.cpp:drills/DrillStatisticsView.h"

for header in $windows; do
    folder=${header%%/*}
    # shellcheck disable=SC2086
    found=$(grep -rnF "#include \"$header\"" $windowFolders | grep -v "^$folder/" |
        grep -v "^$mainWindow:" || true)
    for pair in $embedded; do
        [ "${pair#*:}" = "$header" ] && found=$(grep -v "^${pair%%:*}:" <<<"$found" || true)
    done
    if [ -n "$found" ]; then
        complain "only $folder/ and the main window may include the window $header" "$found"
    fi
done

# The QtCore-only sources of the window folders, as their CMakeLists.txt give them to
# numbrill_core.
for folder in $windowFolders; do
    core=$(sed -n '/target_sources(numbrill_core/,/)/p' "$folder/CMakeLists.txt" |
        grep -oE "[A-Za-z0-9_]+\.(cpp|h)" || true)
    for file in $core; do
        found=$(grep -nE "#include (<Q(Widget|Dialog|MainWindow|Abstract(Button|ItemView)|Label|LineEdit|TreeView|TreeWidget|PushButton)>|\"(ui)/)" \
            "$folder/$file" || true)
        for header in $windows; do
            found+=$(grep -nF "#include \"$header\"" "$folder/$file" || true)
        done
        if [ -n "$found" ]; then
            complain "$folder/$file is logic without widgets, yet includes" "$found"
        fi
    done
done
exit $status
