# Shared by tools/run, tools/test and tools/bench: installs what is missing, configures and builds
# the native and Windows trees, and prepares a throwaway Wine prefix on a display.
# shellcheck shell=bash

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=-all
export WINEPREFIX="$root/build/wine-prefix"
export WINEDLLOVERRIDES="mscoree,mshtml="

# Installs Debian packages whose command or file is missing: each argument is "package:path".
ensure_packages() {
    local missing=()
    for pair in "$@"; do
        [ -e "${pair#*:}" ] || command -v "${pair#*:}" >/dev/null 2>&1 || missing+=("${pair%%:*}")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

ensure_build_tools() {
    ensure_packages cmake:cmake ninja-build:ninja g++:g++ python3:python3 \
        googletest:/usr/src/googletest/CMakeLists.txt \
        g++-mingw-w64-x86-64-posix:x86_64-w64-mingw32-g++-posix \
        binutils-mingw-w64-x86-64:x86_64-w64-mingw32-windres \
        wine:wine wine64:/usr/lib/wine/wine64 xvfb:Xvfb xauth:xauth \
        fonts-wqy-microhei:/usr/share/fonts/truetype/wqy/wqy-microhei.ttc \
        fonts-wine:/usr/share/wine/fonts/marlett.ttf clang-format:clang-format git:git
}

# The 32-bit build: mingw-w64 for i686 and Wine's 32-bit side, which Debian ships for its i386
# architecture (added here; ensure_packages then reads the package lists again).
ensure_x86_build_tools() {
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    ensure_packages g++-mingw-w64-i686-posix:i686-w64-mingw32-g++-posix \
        binutils-mingw-w64-i686:i686-w64-mingw32-windres wine32:/usr/lib/wine/wine
}

# The Chinese locale for the second Wine prefix: Wine takes its code page from the Unix locale.
chinese_wine_prefix="$root/build/wine-prefix-zh"
ensure_chinese_locale() {
    if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8'; then
        ensure_packages locales:/usr/share/i18n/locales/zh_CN
        localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
    fi
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
    local dir="$1"
    shift
    cmake -S "$root" -B "$root/build/$dir" -G Ninja "$@" >/dev/null
    cmake --build "$root/build/$dir"
}

build_windows() {
    configure_and_build win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release "$@"
}

# The 32-bit program from the same sources, into build/win32.
build_windows_x86() {
    configure_and_build win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release "$@"
}

# Starts Xvfb unless a display is given, and exports DISPLAY. Sets xvfb_pid when it started one.
start_display() {
    xvfb_pid=""
    if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != "--virtual" ]; then
        return
    fi
    local number=99
    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
        number=$((number + 1))
    done
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$number"
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$number" ] && return
        sleep 0.1
    done
}

stop_display() {
    if [ -n "${xvfb_pid:-}" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
    fi
}

# Creates the prefix once; the Chinese fonts stand in for the ones a Chinese Windows has. Windows
# open inside a Wine desktop window, which draws their frames and captions itself: without a window
# manager on the display each message box would otherwise wait about two seconds for one.
prepare_wine_prefix() {
    mkdir -p "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Preparing the Wine prefix in $WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        local key='HKCU\Software\Wine\Fonts\Replacements'
        for face in "宋体" "SimSun" "新宋体" "NSimSun" "MS Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Microsoft Sans Serif"; do
            wine reg add "$key" /v "$face" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1 || true
        done
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1 || true
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1024 /f >/dev/null 2>&1 || true
        wineserver -w
    fi
    # A prefix made before Wine's 32-bit side was installed has an empty syswow64, where 32-bit
    # programs find no kernel32.dll; an update that is made to run again fills it.
    if [ -e /usr/lib/wine/wine ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        echo "Adding Wine's 32-bit side to $WINEPREFIX"
        rm -f "$WINEPREFIX/.update-timestamp"
        wineboot -u >/dev/null 2>&1 || true
        wineserver -w
    fi
    # Wine draws the caption buttons with Marlett (from fonts-wine), which it does not put in the prefix.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    [ -f "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    # Start Wine's server and its system processes now, with no output attached: started later by
    # a test, they would inherit the test's output pipe and CTest would wait for it to close.
    wineserver -p >/dev/null 2>&1 || true
    wineboot >/dev/null 2>&1 || true
}
