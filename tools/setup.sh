#!/usr/bin/env bash
# Makes a fresh Debian 12 machine ready to build and test Vornex. Run as root.
# Idempotent: on a ready machine it checks and returns within seconds.
set -euo pipefail

PACKAGES_AMD64=(
  g++-mingw-w64-i686-posix mingw-w64-i686-dev libz-mingw-w64-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine wine64 xvfb xauth xcompmgr openbox xdotool imagemagick x11-utils
  libstb-dev nlohmann-json3-dev zlib1g-dev
  chromium fonts-wqy-microhei
  cmake make clang libclang-rt-14-dev llvm googletest valgrind
  libpugixml-dev libexpat1-dev
  zip unzip p7zip-full python3 iproute2 procps psmisc util-linux locales
)
PACKAGES_I386=(wine32:i386)

missing=()
for p in "${PACKAGES_AMD64[@]}" "${PACKAGES_I386[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}); run this script as root" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page from LANG; the feed tests run with
# LANG=zh_CN.UTF-8 (code page 936), which needs that locale on the host.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: locale zh_CN.UTF-8 missing; run this script as root" >&2
    exit 1
  fi
  sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -qx 'zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# The Wine prefix is made per build folder by tools/wine-prefix.sh; nothing
# more to do here.
echo "setup: machine ready"
