#!/usr/bin/env bash
# Sourced by the Windows scripts: a private 32-bit Wine prefix under the build folder ($1), made
# once, with Wine's fonts copied in and windows left undecorated (no window manager here), and
# its wineserver kept running while the caller runs programs (each program would otherwise wait
# about 3 s for a server). wine_prefix_stop ends that server only.
wine_prefix_start() {
    export WINEPREFIX=$(cd "$1" && pwd)/wineprefix WINEARCH=win32 WINEDEBUG=-all
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wineserver -w
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        # Wine draws the frames itself: the window tests' screenshots show caption and border.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
        # The user's date and time formats of a Russian workstation, whatever the locale here.
        wine reg add 'HKCU\Control Panel\International' /v sShortDate /d dd.MM.yyyy /f \
            >/dev/null 2>&1
        wine reg add 'HKCU\Control Panel\International' /v sTimeFormat /d HH:mm:ss /f \
            >/dev/null 2>&1
        wineserver -w
    fi
    # Exits non-zero when the prefix's server is already running, which is what is wanted.
    wineserver -p || true
    # The first program a new server runs starts Wine's own services and may be held up to a
    # minute by them; a throw-away program takes that wait instead of the first test.
    timeout 120 wine cmd /c exit >/dev/null 2>&1 || true
    # On a display, the first program that makes a window starts Wine's desktop, and window
    # programs started meanwhile fail to make theirs: a throw-away window takes that start too.
    if [[ -n ${DISPLAY:-} ]]; then
        timeout 120 wine rundll32.exe user32.dll,MessageBeep >/dev/null 2>&1 || true
    fi
}

# The screen resolution Wine reports (dots per inch), for the window tests' screenshots.
wine_prefix_dpi() {
    local key
    for key in 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        'HKCU\Control Panel\Desktop'; do
        wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    done
}

wine_prefix_stop() {
    [[ -n ${WINEPREFIX:-} ]] && wineserver -k 2>/dev/null || true
}
