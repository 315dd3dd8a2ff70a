#!/usr/bin/env bash
# Installs what building, running and testing Tarnlight needs on Debian.
# Safe to run again: it only installs what is missing.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Whether the kernel runs 32-bit x86 programs, found by starting one: a
# 91-byte static i386 program that only exits. A copy of /bin/true beside it
# shows that the folder lets programs run at all; when even that fails the
# answer is unknown, and the 32-bit packages are kept.
host_refuses_i386() {
    local dir refused=1
    dir=$(mktemp -d)
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\133\0\0\0\133\0\0\0\5\0\0\0\0\20\0\0\61\333\61\300\100\315\200' \
        >"$dir/i386"
    cp /bin/true "$dir/native"
    chmod +x "$dir/i386" "$dir/native"
    if ! "$dir/i386" 2>/dev/null && "$dir/native"; then refused=0; fi
    rm -rf "$dir"
    return $refused
}

packages=(cmake make g++ googletest unzip dpkg-dev g++-mingw-w64-i686-posix binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-posix
          wine wine64 xvfb xauth locales fonts-ipafont-gothic fonts-wine imagemagick x11-utils)
# The 32-bit Wine loader, where it can run; elsewhere the 64-bit build is used.
if host_refuses_i386; then
    echo "setup: this host runs no 32-bit code; 32-bit Wine left out" >&2
else
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    packages+=(wine32:i386)
fi

for p in "${packages[@]}"; do
    have "$p" || need+=("$p")
done

if [ ${#need[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${need[@]}"
fi

# Wine's ANSI code page follows the locale: ja_JP.UTF-8 gives code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi
