# Sourced by the scripts that run Tarnlight or its tests under Wine.
# Chooses the program and Wine loader this host can run, gives Wine a private
# prefix and, when no display is set, a private Xvfb.
#   tarnlight_wine_choose         tries the 32-bit loader once and prints the choice;
#                                 sets tarnlight_wine_bits (32 or 64) and
#                                 tarnlight_wine_build (win or win64, the build folder);
#                                 tarnlight_wine_reason says why not 32-bit
#   tarnlight_wine_use 32|64      the loader, prefix kind and build of one arch
#   tarnlight_wine_start PREFIX   sets WINEPREFIX, DISPLAY, locale; starts what is missing
#   tarnlight_wine_seal           unlinks the prefix's user folders from $HOME (tests)
#   tarnlight_wine_stop           ends only the Xvfb and wineserver started here
#   tarnlight_wine ARGS...        runs ARGS (a program, or reg, winepath...) under Wine
# TARNLIGHT_FORCE_WINE64=1 takes the 64-bit path even where 32-bit code runs.

export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8   # ANSI code page 932
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko prompts, and no menu entries written into the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# The loaders themselves: Debian's wine, wineboot and winepath wrappers pick
# the 32-bit loader whenever it is installed, even where it cannot run.
tarnlight_wine32_loader=/usr/lib/wine/wine
tarnlight_wine64_loader=/usr/lib/wine/wine64

tarnlight_xvfb_pid=
tarnlight_started_wineserver=

tarnlight_wine_choose() {
    local reason
    tarnlight_wine_reason=
    if [ -n "${TARNLIGHT_FORCE_WINE64:-}" ] && [ "$TARNLIGHT_FORCE_WINE64" != 0 ]; then
        reason="forced by TARNLIGHT_FORCE_WINE64=$TARNLIGHT_FORCE_WINE64"
    elif [ ! -x "$tarnlight_wine32_loader" ]; then
        reason="no 32-bit Wine loader installed"
    # The loader's own start-up runs the kernel's 32-bit support, the i386
    # C library and Wine's 32-bit ntdll; a kernel without IA-32 support
    # refuses it ("Exec format error").
    elif "$tarnlight_wine32_loader" --version 2>/dev/null | grep -q '^wine-'; then
        tarnlight_wine_use 32
        echo "Wine: 32-bit" >&2
        return
    else
        reason="this host runs no 32-bit code"
    fi
    if [ ! -x "$tarnlight_wine64_loader" ]; then
        tarnlight_wine_reason="$reason, and no $tarnlight_wine64_loader"
        echo "Wine: no loader can run here ($tarnlight_wine_reason)" >&2
        return 1
    fi
    tarnlight_wine_reason=$reason
    tarnlight_wine_use 64
    echo "Wine: 64-bit ($reason)" >&2
}

tarnlight_wine_use() {
    case $1 in
        32) tarnlight_wine_bits=32; tarnlight_wine_build=win
            export WINELOADER=$tarnlight_wine32_loader WINEARCH=win32 ;;
        64) tarnlight_wine_bits=64; tarnlight_wine_build=win64
            export WINELOADER=$tarnlight_wine64_loader WINEARCH=win64 ;;
        *)  echo "tarnlight_wine_use: 32 or 64, not '$1'" >&2; return 2 ;;
    esac
}

tarnlight_wine() {
    "${WINELOADER:?choose a loader first (tarnlight_wine_choose or tarnlight_wine_use)}" "$@"
}

tarnlight_wine_start() {
    : "${WINEARCH:?choose a loader first (tarnlight_wine_choose or tarnlight_wine_use)}"
    WINEPREFIX=$(realpath -m "$1")
    export WINEPREFIX
    if [ -f "$WINEPREFIX/system.reg" ] && ! grep -q "^#arch=$WINEARCH\$" "$WINEPREFIX/system.reg"; then
        echo "$WINEPREFIX is not a $WINEARCH prefix; remove it or choose another" >&2
        return 1
    fi
    if [ -z "${DISPLAY:-}" ] || [ "${TARNLIGHT_OWN_DISPLAY:-0}" = 1 ]; then
        local n=90
        while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
        Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        tarnlight_xvfb_pid=$!
        export DISPLAY=:$n
        local i
        for i in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        tarnlight_wine wineboot.exe -i >/dev/null 2>&1
        wineserver -w
        # Without a window manager every hidden window waits for one.
        tarnlight_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        # Caption buttons are drawn with Marlett, which this Wine build does
        # not find in its own data folder.
        if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
            cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
        fi
    fi
    tarnlight_replace_fonts
    # One persistent server for the run keeps each process start short.
    wineserver -p
    tarnlight_started_wineserver=1
    # Start Wine's own services now, so they do not inherit (and hold open)
    # the output pipes of the first test that would otherwise start them.
    tarnlight_wine wineboot.exe >/dev/null 2>&1 </dev/null
    # Tells scripts/wine-test.sh that this prefix is ready on this display.
    export TARNLIGHT_WINE_SESSION=$WINEPREFIX
}

# Wine links a new prefix's Desktop, Documents and the like to the home of
# whoever created it. A test prefix gets plain folders of its own instead, so
# the tests neither reach into that home nor depend on it.
tarnlight_wine_seal() {
    local link
    for link in "$WINEPREFIX"/drive_c/users/*/*; do
        if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
    done
}

# The dialogs' fonts under their Japanese and English names, drawn with the
# IPA font of the same kind (fixed or proportional) rather than whatever
# fallback comes first: a wider fallback cuts the options pages' texts.
tarnlight_replace_fonts() {
    local marker="$WINEPREFIX/.tarnlight-fonts-2"
    [ -f "$marker" ] && return
    local name
    for name in 'ＭＳ ゴシック' 'MS Gothic'; do
        tarnlight_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ /d IPAGothic /f \
            >/dev/null 2>&1
    done
    for name in 'ＭＳ Ｐゴシック' 'MS PGothic'; do
        tarnlight_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ /d IPAPGothic /f \
            >/dev/null 2>&1
    done
    wineserver -w
    touch "$marker"
}

tarnlight_wine_stop() {
    unset TARNLIGHT_WINE_SESSION
    if [ -n "$tarnlight_started_wineserver" ]; then
        wineserver -k >/dev/null 2>&1 || true
        tarnlight_started_wineserver=
    fi
    if [ -n "$tarnlight_xvfb_pid" ]; then
        kill "$tarnlight_xvfb_pid" 2>/dev/null || true
        wait "$tarnlight_xvfb_pid" 2>/dev/null || true
        tarnlight_xvfb_pid=
    fi
}
