# Shared set-up for everything that runs Windows programs under Wine: source it, then call the functions.
# Wine as root ignores the read-only attribute, so Windows programs run as the unprivileged user
# $ORV_WINE_USER, each in a prefix copied from one template made once per machine.
# ORV_WINE_ARCH names the Wine that runs them: i686 (the default; Debian's wine wrapper, 32-bit Wine) or x86_64
# (64-bit Wine, called by its own path, for machines that cannot run 32-bit programs: tools/windows-build.sh).
ORV_WINE_USER=${ORV_WINE_USER:-orvtest}
ORV_WINE_HOME=${ORV_WINE_HOME:-/var/tmp/orvandel-wine}
ORV_WINE_ARCH=${ORV_WINE_ARCH:-i686}
ORV_DISPLAY=${ORV_DISPLAY:-:77}
case $ORV_WINE_ARCH in
    i686) ORV_WINE_TEMPLATE=$ORV_WINE_HOME/template ORV_WINE_BIN= ;;
    x86_64) ORV_WINE_TEMPLATE=$ORV_WINE_HOME/template-x86_64 ORV_WINE_BIN=$ORV_WINE_HOME/bin-x86_64 ;;
    *) echo "ORV_WINE_ARCH must be i686 or x86_64, not '$ORV_WINE_ARCH'" >&2; exit 2 ;;
esac

# orv_wine_path: the PATH under which wine, wineserver and wineboot are those of ORV_WINE_ARCH.
orv_wine_path() {
    if [ -n "$ORV_WINE_BIN" ]; then echo "$ORV_WINE_BIN:$PATH"; else echo "$PATH"; fi
}

# 64-bit Wine by its own path: Debian's wrappers would take 32-bit Wine wherever it is installed.
orv_ensure_wine_bin() {
    [ -n "$ORV_WINE_BIN" ] || return 0
    [ -x "$ORV_WINE_BIN/wineboot" ] && return 0
    mkdir -p "$ORV_WINE_BIN"
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$ORV_WINE_BIN/wine"
    printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 "$@"\n' >"$ORV_WINE_BIN/wineserver"
    printf '#!/bin/sh\nexec "%s/wine" wineboot.exe "$@"\n' "$ORV_WINE_BIN" >"$ORV_WINE_BIN/wineboot"
    chmod 755 "$ORV_WINE_BIN" "$ORV_WINE_BIN"/*
}

orv_as_user() {  # orv_as_user PREFIX COMMAND...: runs COMMAND as the Wine user in that prefix, on the test display
    local prefix=$1; shift
    if [ "$(id -u)" = 0 ]; then
        runuser -u "$ORV_WINE_USER" -- env HOME="$ORV_WINE_HOME/home" PATH="$(orv_wine_path)" WINEPREFIX="$prefix" \
            WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$ORV_DISPLAY" "$@"
    else
        env PATH="$(orv_wine_path)" WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
            DISPLAY="$ORV_DISPLAY" "$@"
    fi
}

orv_ensure_user() {
    [ "$(id -u)" = 0 ] || { ORV_WINE_USER=$(id -un); mkdir -p "$ORV_WINE_HOME/home"; orv_ensure_wine_bin; return 0; }
    id "$ORV_WINE_USER" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$ORV_WINE_USER"
    mkdir -p "$ORV_WINE_HOME/home"
    chown "$ORV_WINE_USER": "$ORV_WINE_HOME" "$ORV_WINE_HOME/home"
    orv_ensure_wine_bin
}

orv_ensure_display() {
    local n=${ORV_DISPLAY#:}
    local pid
    pid=$(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null)
    # A socket left by a server that has gone does not make a display: check the server's process.
    if [ -z "$pid" ] || ! kill -0 "$pid" 2>/dev/null; then
        rm -f "/tmp/.X11-unix/X$n" "/tmp/.X$n-lock"
        (setsid Xvfb "$ORV_DISPLAY" -screen 0 1024x768x24 -nolisten tcp -ac >/dev/null 2>&1 &)
        for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    fi
}

# The template prefix: made once (about 10 s), unmanaged so hidden windows cost nothing.
orv_ensure_template() {
    orv_ensure_user
    orv_ensure_display
    [ -f "$ORV_WINE_TEMPLATE/.orv-ready" ] && return 0
    (
        flock 9
        [ -f "$ORV_WINE_TEMPLATE/.orv-ready" ] && exit 0
        rm -rf "$ORV_WINE_TEMPLATE"
        orv_as_user "$ORV_WINE_TEMPLATE" wineboot -i >/dev/null 2>&1
        orv_as_user "$ORV_WINE_TEMPLATE" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            >/dev/null 2>&1
        orv_as_user "$ORV_WINE_TEMPLATE" wineserver -w
        # The system DLLs are most of a prefix (over 600 MB for 64-bit Wine): copies share them as hard links,
        # so they are made unwritable, and a program that tried to change one would fail rather than change
        # every copy.
        local dir
        for dir in "$ORV_WINE_TEMPLATE"/drive_c/windows/system32 "$ORV_WINE_TEMPLATE"/drive_c/windows/syswow64; do
            [ -d "$dir" ] || continue
            find "$dir" -type f -exec chmod a-w {} +
            [ "$(id -u)" = 0 ] && find "$dir" -type f -exec chown root: {} +
        done
        touch "$ORV_WINE_TEMPLATE/.orv-ready"
    ) 9>"$ORV_WINE_HOME/.template.lock"
}

# orv_new_prefix NAME: a fresh copy of the template at $ORV_WINE_HOME/NAME; prints its path.
orv_new_prefix() {
    orv_ensure_template
    local prefix=$ORV_WINE_HOME/$1
    if [ -d "$prefix" ]; then orv_as_user "$prefix" wineserver -k >/dev/null 2>&1 || true; fi
    rm -rf "$prefix"
    mkdir -p "$prefix"
    (cd "$ORV_WINE_TEMPLATE" && tar --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/syswow64 -cf - .) |
        (cd "$prefix" && tar -xpf -)
    local dir
    for dir in system32 syswow64; do
        [ -d "$ORV_WINE_TEMPLATE/drive_c/windows/$dir" ] &&
            cp -al "$ORV_WINE_TEMPLATE/drive_c/windows/$dir" "$prefix/drive_c/windows/$dir"
    done
    echo "$prefix"
}

# orv_prefix_path PREFIX WINPATH: the Linux path of C:\... inside a prefix.
orv_prefix_path() {
    local rest=${2#[Cc]:}
    echo "$1/drive_c$(echo "$rest" | tr '\\' '/')"
}
