# Sourced by every script that runs Windows programs: picks the Wine this
# machine can run and the matching Windows build.
#
# The product is a 32-bit program, and its tests run it under 32-bit Wine.
# Some kernels run no 32-bit Linux programs at all (no IA-32 emulation), and
# 32-bit Wine is one. On such a machine the Windows build is made for x86-64
# and runs under 64-bit Wine on a 64-bit prefix: the same sources, the same
# tests; the 32-bit product is still built, only not run.
#
# Exports VORNEX_WIN_ARCH (i686 or x86_64; set it beforehand to choose),
# VORNEX_WIN_TOOLCHAIN and WINEARCH, and for x86_64 puts a `wine` that starts
# 64-bit Wine first on PATH (Debian's `wine` always prefers the 32-bit one).

_vornex_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${VORNEX_WIN_ARCH:-}" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    VORNEX_WIN_ARCH=i686
  else
    VORNEX_WIN_ARCH=x86_64
  fi
fi
export VORNEX_WIN_ARCH
export VORNEX_WIN_TOOLCHAIN=$_vornex_root/cmake/mingw-$VORNEX_WIN_ARCH.cmake
if [ "$VORNEX_WIN_ARCH" = x86_64 ]; then
  export WINEARCH=win64
  _vornex_shim=$_vornex_root/build/wine/bin64
  # Debian's wineboot, winepath and the like start `wine-stable`.
  if [ ! -x "$_vornex_shim/wine-stable" ]; then
    mkdir -p "$_vornex_shim"
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$_vornex_shim/wine"
    chmod +x "$_vornex_shim/wine"
    cp "$_vornex_shim/wine" "$_vornex_shim/wine-stable"
  fi
  case ":$PATH:" in *":$_vornex_shim:"*) ;; *) export PATH=$_vornex_shim:$PATH ;; esac
else
  export WINEARCH=win32
fi

# Configures build folder $1 for the chosen architecture; a folder made for
# the other one is started afresh.
vornex_configure_windows() {
  local build=$1
  shift
  if [ -f "$build/CMakeCache.txt" ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:.*=$VORNEX_WIN_TOOLCHAIN\$" "$build/CMakeCache.txt"; then
    rm -rf "$build"
  fi
  cmake -S "$_vornex_root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$VORNEX_WIN_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}
