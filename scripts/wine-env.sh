# Sourced by the scripts that run Tarnlight or its tests under Wine.
# Gives Wine a private prefix and, when no display is set, a private Xvfb.
#   tarnlight_wine_start PREFIX   sets WINEPREFIX, DISPLAY, locale; starts what is missing
#   tarnlight_wine_stop           ends only the Xvfb and wineserver started here

export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8   # ANSI code page 932
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="    # no Mono or Gecko prompts
export WINEARCH=win32

tarnlight_xvfb_pid=
tarnlight_started_wineserver=

tarnlight_wine_start() {
    export WINEPREFIX=$1
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
        wineboot -i >/dev/null 2>&1
        wineserver -w
        # Without a window manager every hidden window waits for one.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
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
    wineboot >/dev/null 2>&1 </dev/null
}

# The dialogs' fonts under their Japanese and English names, drawn with the
# IPA font of the same kind (fixed or proportional) rather than whatever
# fallback comes first: a wider fallback cuts the options pages' texts.
tarnlight_replace_fonts() {
    local marker="$WINEPREFIX/.tarnlight-fonts-2"
    [ -f "$marker" ] && return
    local name
    for name in 'ＭＳ ゴシック' 'MS Gothic'; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ /d IPAGothic /f \
            >/dev/null 2>&1
    done
    for name in 'ＭＳ Ｐゴシック' 'MS PGothic'; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ /d IPAPGothic /f \
            >/dev/null 2>&1
    done
    wineserver -w
    touch "$marker"
}

tarnlight_wine_stop() {
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
