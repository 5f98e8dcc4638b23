#!/usr/bin/env bash
# Checks that the source folders include each other only downwards:
#   core, settings, dictionary  <-  ui  <-  workspace, remembered, practice, recall, drills, images, help  <-  app
# and, among the window folders, that no window reaches into another: a window's
# header is included only by its own folder, by the main window (which opens every
# other window from its menus) and by app. The logic of a window folder (what
# numbrill_core builds from it) includes no window and no widget at all.
#
# The build runs it whenever a source changes, so it reads every file once:
#   tools/check-layers.sh [stamp file to touch when all is well]
set -euo pipefail
stamp=${1:-}
cd "$(dirname "$0")/../src"

windowFolders="workspace remembered practice recall drills images help"

# The headers that declare a window: a class built on QWidget, QDialog or QMainWindow.
windows=$(grep -lE "^class [A-Za-z0-9_]+ : public Q(Widget|Dialog|MainWindow)\b" \
    $(for folder in $windowFolders; do echo "$folder"/*.h; done) | tr '\n' ' ')

# The QtCore-only sources of the window folders, as their CMakeLists.txt give them to
# numbrill_core.
logic=$(for folder in $windowFolders; do
    sed -n '/target_sources(numbrill_core/,/)/p' "$folder/CMakeLists.txt" |
        grep -oE "[A-Za-z0-9_]+\.(cpp|h)" | sed "s|^|$folder/|" || true
done | tr '\n' ' ')

# Every include of every source, as "file:line:#include ...".
grep -rnE '^#include ["<]' --include='*.cpp' --include='*.h' . | sed 's|^\./||' |
    awk -v windows="$windows" -v logic="$logic" -v windowFolders="$windowFolders" '
BEGIN {
    split("core settings dictionary", names); for (i in names) rank[names[i]] = 0
    rank["ui"] = 1
    split(windowFolders, names); for (i in names) { rank[names[i]] = 2; isWindowFolder[names[i]] = 1 }
    rank["app"] = 3
    split(windows, names); for (i in names) isWindow[names[i]] = 1
    split(logic, names); for (i in names) isLogic[names[i]] = 1
    # Views one folder makes for a window of another, which shows them as its own part.
    embedded["recall/RecallStatisticsWindow.cpp drills/DrillStatisticsView.h"] = 1
    mainWindow = "workspace/MainWindow.cpp"
    widgets = "^<Q(Widget|Dialog|MainWindow|Abstract(Button|ItemView)|Label|LineEdit|TreeView|TreeWidget|PushButton)>$"
    status = 0
}
function complain(what) { print "check-layers: " what ":\n" where > "/dev/stderr"; status = 1 }
{
    where = $0
    colon = index($0, ":"); file = substr($0, 1, colon - 1)
    included = $0; sub(/^[^#]*#include /, "", included)
    folder = file; sub(/\/.*/, "", folder)
    if (included ~ /^"/) {
        header = substr(included, 2, length(included) - 2)
        target = header; sub(/\/.*/, "", target)
    } else {
        header = ""; target = ""
    }
    if (target in rank && rank[target] > rank[folder])
        complain(folder " must not include " target)
    else if (isWindowFolder[folder] && target != folder && isWindow[header] && file != mainWindow && !((file " " header) in embedded))
        complain("only " target "/ and the main window may include the window " header)
    if (file in isLogic && (included ~ widgets || target == "ui" || isWindow[header]))
        complain(file " is logic without widgets, yet includes")
}
END { exit status }
'
if [ -n "$stamp" ]; then
    touch "$stamp"
fi
