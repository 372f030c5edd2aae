#!/usr/bin/env bash
# Builds the installer and shows it at work on a demo ChemStation tree, under Wine.
# - On a desktop ($DISPLAY set) it opens the window there, as you, and waits until you close it.
# - Without a display it runs under Xvfb and goes through a whole install and remove by itself, saving a
#   screenshot of every step in build/demo/.
# Either way it prints the demo tree before and after.
# It runs the shipped i686 build where 32-bit programs run, else the x86_64 build of the same sources under
# 64-bit Wine (tools/windows-build.sh; ORVANDEL_WINDOWS_BUILD=i686 or x86_64 chooses).
# ORVANDEL_BUILD_DIR names another, already configured, windows build folder of that architecture to use instead
# of the preset's; ORVANDEL_DEMO_OUT another folder for the screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
out=${ORVANDEL_DEMO_OUT:-$repo/build/demo}

say() { printf '\n== %s\n' "$*"; }

say "Dependencies"
tools/deps.sh
. tools/windows-build.sh
orv_choose_windows_build
echo "$ORV_WINDOWS_WHY" | sed 's/^Windows tests/The demo runs/'
if [ -n "${ORVANDEL_BUILD_DIR:-}" ]; then
    build=$ORVANDEL_BUILD_DIR
    say "Building in $build"
    cmake --build "$build" --target OrvandelSetup orvauto phxhost lockfile macrecorder
else
    build=$repo/build/$ORV_WINDOWS_PRESET
    say "Building the $ORV_WINDOWS_PRESET preset (build/$ORV_WINDOWS_PRESET)"
    cmake --preset "$ORV_WINDOWS_PRESET" >/dev/null
    cmake --build --preset "$ORV_WINDOWS_PRESET"
fi
exe=$build/OrvandelSetup.exe
tools=$build/tests/e2e
mkdir -p "$out"

# The demo tree as the installer sees it: the files under the root, the head of user.mac, the version.
show_tree() {  # show_tree PREFIX
    local base=$1/drive_c/HPCHEM
    (cd "$base" && find . -type f -printf '  %-34P %7s bytes\n' | sort)
    echo "  core/user.mac begins:"
    if [ -f "$base/core/user.mac" ]; then head -3 "$base/core/user.mac" | tr -d '\r' | sed 's/^/    | /'; else echo "    (no file)"; fi
    local version
    version=$(grep -s '^Version=' "$base/OV/OV.INI" | tr -d '\r' | cut -d= -f2 || true)
    echo "  recorded version: ${version:-(none)}"
}

if [ -n "${DISPLAY:-}" ]; then
    . tests/wine/common.sh
    orv_ensure_wine_bin
    PATH=$(orv_wine_path)
    prefix=$out/prefix
    say "A fresh Wine prefix for you at $prefix"
    rm -rf "$prefix"
    WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
    tools/demo-tree.sh "$prefix"
    say "The demo tree before"
    show_tree "$prefix"
    say "Opening the installer on $DISPLAY; close its window to finish"
    (cd "$prefix/drive_c" && WINEPREFIX=$prefix WINEDEBUG=-all wine "$exe" >"$out/wine.log" 2>&1)
    WINEPREFIX=$prefix wineserver -w
    say "The demo tree after"
    show_tree "$prefix"
    exit 0
fi

# No display: Xvfb, the test user and orvauto do the clicking. Each step below reports its own trouble.
. tests/e2e/lib.sh
set +e
say "No display: running under Xvfb ($ORV_DISPLAY) as the Wine user, screenshots in $out"
E2E_PREFIX_NAME=demo E2E_KEEP=1  # the prefix stays for a look afterwards
e2e_begin demo "$exe" "$tools" "" "$out"
rm -f "$out"/[0-9]-*.png
bash tools/demo-tree.sh "$E2E_PREFIX" >/dev/null
echo "demo tree laid out at C:\\HPCHEM in $E2E_PREFIX"
say "The demo tree before"
show_tree "$E2E_PREFIX"

step() {  # step TEXT: what is done next
    printf '  - %s\n' "$*"
}
dialog() {  # dialog SHOT: waits for a dialog, prints it, takes its screenshot
    e2e_dialog || { echo "no dialog came: $E2E_AUTO_ERR" >&2; exit 1; }
    local text=${E2E_DIALOG_TEXT//\\\\/$'\1'}  # orvauto's escapes undone for reading
    text=${text//\\n/ / }
    printf '    dialog "%s": %s [%s]\n' "$E2E_DIALOG_TITLE" "${text//$'\1'/\\}" "$E2E_DIALOG_BUTTONS"
    e2e_shot "$1" "$E2E_MAIN"
}
state() {  # state SHOT: prints the window's state and takes its screenshot
    e2e_state
    printf '    window: %s; %s\n' "$E2E_TOP" "$E2E_BUTTONS"
    e2e_shot "$1" "$E2E_MAIN"
}

say "Install and remove, step by step"
step "start the installer"
e2e_start || exit 1
state 1-start
step "press Install"
e2e_auto click "$E2E_MAIN" '&Install'
dialog 2-question
step "answer No: user.mac keeps the site's macros after the add-on's start line"
e2e_answer Information '&No'
dialog 3-restart
step "OK"
e2e_answer Information OK
state 4-installed
say "The demo tree after the install"
show_tree "$E2E_PREFIX"

say "Remove"
step "press Remove"
e2e_auto click "$E2E_MAIN" '&Remove'
dialog 5-removed-message
step "OK"
e2e_answer Information OK
state 6-removed
step "press Escape: the window closes"
e2e_auto key "$E2E_MAIN" Escape
e2e_auto gone "$E2E_MAIN" 5000 || echo "    the window is still open" >&2
say "The demo tree after the remove"
show_tree "$E2E_PREFIX"

say "Screenshots"
ls -1 "$out"/[0-9]-*.png
e2e_end >/dev/null
echo "The Wine prefix stays at $E2E_PREFIX (run as user $ORV_WINE_USER)."
