#!/usr/bin/env bash
# Installs everything both builds and their tests need on Debian 12, as root.
# Idempotent: a second run checks and returns in a second or two.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev python3 pkg-config
  libgtest-dev googletest libjpeg62-turbo-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 xvfb xauth x11-utils xdotool
  nasm dpkg-dev
  imagemagick libtiff-tools giflib-tools netpbm libjpeg-turbo-progs
)
deps=/opt/kaleidon-deps
ljt_prefix=$deps/win64

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Debian's source packages are needed for libjpeg-turbo.
src_list=/etc/apt/sources.list.d/kaleidon-deb-src.sources
need_src=0
[ -f "$ljt_prefix/lib/libjpeg.a" ] || need_src=1
if [ "$need_src" = 1 ] && ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  cat > "$src_list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
fi

if [ ${#missing[@]} -gt 0 ] || [ "$need_src" = 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  # wine and wine64 are named together so that no 32-bit loader (wine32) is
  # pulled in: these machines cannot run i386 code.
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ "$need_src" = 1 ]; then
  rm -rf "$deps/src"
  mkdir -p "$deps/src"
  (cd "$deps/src" && apt-get source -q libjpeg-turbo)
  src=$(find "$deps/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
  cat > "$deps/src/toolchain.cmake" <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
TC
  cmake -S "$src" -B "$deps/src/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$deps/src/toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON \
    -DCMAKE_ASM_NASM_COMPILER=nasm -DCMAKE_INSTALL_PREFIX="$ljt_prefix" >/dev/null
  cmake --build "$deps/src/build"
  cmake --install "$deps/src/build" >/dev/null
  # djpeg.exe stays beside the library: the benchmarks compare against it.
  cp "$deps/src/build/djpeg-static.exe" "$ljt_prefix/bin/djpeg-static.exe" 2>/dev/null || true
fi
