#!/usr/bin/env bash
# Checks the Debian package that `make package` left in the build folder, as an administrator
# meets it:
#   check-package.sh BUILD_DIR XCLOSE
# - the build folder holds exactly one .deb and no debug-symbol package;
# - its control part has no maintainer scripts, names the font and the Qt libraries
#   (dpkg-shlibdeps) and nothing of the build tools;
# - lintian finds no error and no warning;
# - unpacked with dpkg-deb -x into a scratch root (no change to the system): the libraries of
#   its binaries resolve, the window program starts under Xvfb with its main window, which
#   carries an icon (_NET_WM_ICON) and the WM_CLASS that the desktop entry's StartupWMClass
#   names, and closes cleanly;
# - in CI (CI=true, as root, on a throw-away machine) it is also installed with apt-get, the
#   installed program starts the same way, and after apt-get purge none of its files is left.
# Every step has a time limit, so a window that never opens fails the check.
set -euo pipefail

if [ "${1:-}" = --window ]; then
    # Inside xvfb-run: start PROGRAM, find its main window, check icon and class, close it.
    program=$2 desktop=$3 xclose=$4
    "$program" >"$HOME/out.log" 2>&1 &
    pid=$!
    if ! wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Velimor 2008 & Orbalyx 1\.0$' | head -n 1) ||
        [ -z "$wid" ]; then
        echo "FAIL: the main window of $program did not appear"; cat "$HOME/out.log"
        kill "$pid" 2>/dev/null; exit 1
    fi
    status=0
    icons=$(xprop -id "$wid" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' || true)
    if [ -z "$icons" ]; then
        echo "FAIL: the main window carries no icon (_NET_WM_ICON)"; status=1
    else
        echo "main window icon: $(echo $icons)"
    fi
    # WM_CLASS = "instance", "class"; a task bar matches the class with StartupWMClass.
    class=$(xprop -id "$wid" -notype WM_CLASS | sed -n 's/^WM_CLASS = "[^"]*", "\(.*\)"$/\1/p')
    wanted=$(sed -n 's/^StartupWMClass=//p' "$desktop")
    if [ -z "$class" ] || [ "$class" != "$wanted" ]; then
        echo "FAIL: WM_CLASS class '$class' is not the desktop entry's StartupWMClass '$wanted'"
        status=1
    fi
    "$xclose" "$wid"
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "FAIL: $program did not end after its window was closed"; kill "$pid"; exit 1
    fi
    wait "$pid" || { echo "FAIL: $program ended with status $?"; cat "$HOME/out.log"; exit 1; }
    exit $status
fi

build=$(cd "$1" && pwd)
xclose=$(realpath "$2")
self=$(realpath "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Starts a program in a window on a private X server with a private home, as smoke.sh does.
window_check() {
    local home
    home=$(mktemp -d -p "$work")
    if HOME=$home XDG_RUNTIME_DIR=$home \
        env -u XDG_CURRENT_DESKTOP -u QT_QPA_PLATFORMTHEME -u QT_QPA_PLATFORM -u DESKTOP_SESSION \
        timeout 120 xvfb-run -a -s "-screen 0 1920x1200x24 -dpi 96 -nolisten tcp" \
        "$self" --window "$1" "$2" "$xclose"; then
        echo "ok: $1 starts with its main window, icon and window class"
    else
        fail "window check of $1"
    fi
}

echo "== the package"
shopt -s nullglob
debs=("$build"/*.deb)
if [ ${#debs[@]} -ne 1 ]; then
    echo "FAIL: $build holds ${#debs[@]} .deb files, not one: ${debs[*]}"; exit 1
fi
deb=${debs[0]}
echo "$(basename "$deb")"
[ "$(basename "$deb")" = velimor_1.0_amd64.deb ] || fail "unexpected file name $(basename "$deb")"
control=$(dpkg-deb --field "$deb")
echo "$control" | grep -E '^(Package|Version|Section|Maintainer|Depends|Recommends):'
[ "$(dpkg-deb --field "$deb" Package)" = velimor ] || fail "package name"
for field in Maintainer Section Description; do
    [ -n "$(dpkg-deb --field "$deb" $field)" ] || fail "empty $field"
done
depends=$(dpkg-deb --field "$deb" Depends)
echo "$depends" | grep -q 'fonts-liberation2' || fail "Depends lacks the font: $depends"
echo "$depends" | grep -q 'libqt6widgets6' || fail "Depends lacks Qt Widgets (dpkg-shlibdeps): $depends"
echo "$depends" | grep -q 'libqt6sql6-sqlite' || fail "Depends lacks Qt's SQLite driver: $depends"
# An archive on a PostgreSQL server is for those who want one: its driver is recommended only.
recommends=$(dpkg-deb --field "$deb" Recommends)
echo "$recommends" | grep -q 'libqt6sql6-psql' || fail "Recommends lacks Qt's PostgreSQL driver: $recommends"
if echo "$depends" | grep -q 'psql'; then fail "Depends pulls in Qt's PostgreSQL driver: $depends"; fi
tools=$(echo "$control" | sed -n 's/^\(Pre-Depends\|Depends\|Recommends\): //p' | tr ',|' '\n\n' |
    sed 's/(.*//; s/ //g' | grep -E -- '-dev$|^(cmake|make|g\+\+|gcc|clang|pkg-config|googletest|xvfb|lintian)$' || true)
[ -z "$tools" ] || fail "the package pulls in build tools: $(echo $tools)"
scripts=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -vE '^(|control|md5sums)$' || true)
[ -z "$scripts" ] || fail "control part holds more than control and md5sums: $scripts"

echo "== lintian"
if timeout 300 lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>"$work/lintian.err"; then
    echo "ok: lintian finds no error or warning"
else
    cat "$work/lintian.err"; fail "lintian"
fi

echo "== unpacked into a scratch root"
root=$work/root
dpkg-deb -x "$deb" "$root"
for bin in "$root"/usr/bin/*; do
    if missing=$(ldd "$bin" | grep 'not found'); then
        fail "$(basename "$bin") misses libraries: $missing"
    fi
done
desktop=$root/usr/share/applications/cz.velimor.velimor.desktop
[ -f "$desktop" ] || fail "no desktop entry in the package"
window_check "$root/usr/bin/velimor" "$desktop"

if [ "${CI:-}" = true ] && [ "$(id -u)" = 0 ]; then
    echo "== installed with apt-get (CI)"
    export DEBIAN_FRONTEND=noninteractive
    if timeout 300 apt-get install -y -qq --no-install-recommends "$deb" >"$work/apt.log" 2>&1; then
        dpkg -L velimor >"$work/files"
        echo "installed: $(wc -l <"$work/files") paths"
        window_check /usr/bin/velimor /usr/share/applications/cz.velimor.velimor.desktop
        if [ -x /usr/bin/velimor-report ]; then
            timeout 60 /usr/bin/velimor-report --help >/dev/null || fail "installed velimor-report --help"
        fi
        timeout 300 apt-get purge -y -qq velimor >>"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get purge"; }
        if dpkg-query -W -f='${Status}' velimor 2>/dev/null | grep -q installed; then
            fail "velimor is still installed after the purge"
        fi
        # Files must be gone; a directory may stay only while another package owns it.
        while read -r path; do
            [ "$path" = /. ] && continue
            if [ -d "$path" ] && [ ! -L "$path" ]; then
                dpkg -S "$path" >/dev/null 2>&1 || fail "left behind: $path/"
            elif [ -e "$path" ] || [ -L "$path" ]; then
                fail "left behind: $path"
            fi
        done <"$work/files"
        echo "removed: nothing of the package is left"
    else
        cat "$work/apt.log"; fail "apt-get install"
    fi
else
    echo "(apt-get install and removal run only in CI as root)"
fi

if [ $failures -ne 0 ]; then
    echo "package check: $failures failure(s)"; exit 1
fi
echo "package check passed"
