#!/usr/bin/env bash
# Installs everything both builds and their tests need on Debian 12, as root.
# Idempotent: a second run checks and returns in a second or two.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev llvm-14 clang-format clang-tidy python3 pkg-config
  libgtest-dev googletest libjpeg62-turbo-dev libspng-dev libwebp-dev libssl-dev openssl
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  libz-mingw-w64-dev
  wine wine64 xvfb xauth x11-utils xdotool
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  nasm dpkg-dev
  imagemagick libtiff-tools giflib-tools netpbm libjpeg-turbo-progs webp
)
deps=/opt/kaleidon-deps
ljt_prefix=$deps/win64
# The Windows libraries, each built from Debian's source package when its
# library is missing from the prefix: source package and library file.
win64_libraries=(
  "libjpeg-turbo libjpeg.a"
  "libspng libspng_static.a"
  "libwebp libwebp.a"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Debian's source packages are needed for libjpeg-turbo. When the machine
# has no source entries, they are derived from its own binary ones (the same
# mirrors, suites and components, in the format each was written in), so the
# set-up follows whatever mirror or proxy the machine is configured for.
src_name=/etc/apt/sources.list.d/kaleidon-deb-src
need_src=0
for entry in "${win64_libraries[@]}"; do
  [ -f "$ljt_prefix/lib/${entry#* }" ] || need_src=1
done

# The suites of this release ("bookworm", "bookworm-updates", ...): entries of
# other repositories (vendor packages) may carry no sources at all.
release_suite() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  awk -v c="$codename" 'BEGIN { s = ARGV[1]; ARGV[1] = ""; sub(/-.*/, "", s); exit !(c != "" && s == c) }' "$1"
}

# Source entries the machine has of its own (ours are derived anew each time).
has_deb_src() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "${f%.*}" != "$src_name" ] || continue
    grep -Eqs '^[[:space:]]*deb-src[[:space:]]|^Types:.*deb-src' "$f" && return 0
  done
  return 1
}

# deb822 stanzas of type deb become the same stanzas of type deb-src.
derive_sources_stanzas() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  awk -v c="$codename" '
    function flush(   i, ok, n, s, suites) {
      if (n_lines && is_deb && enabled) {
        ok = 0
        n = split(suites_line, suites, /[[:space:]]+/)
        for (i = 1; i <= n; i++) { s = suites[i]; sub(/-.*/, "", s); if (s == c) ok = 1 }
        if (ok) {
          print "Types: deb-src"
          for (i = 1; i <= n_lines; i++) print lines[i]
          print ""
        }
      }
      n_lines = 0; is_deb = 0; enabled = 1; suites_line = ""; skip = 0
    }
    BEGIN { enabled = 1 }
    FNR == 1 { flush() }
    /^#/ { next }
    /^[[:space:]]*$/ { flush(); next }
    /^[[:space:]]/ { if (!skip) lines[++n_lines] = $0; next }
    {
      skip = 0
      key = tolower($1)
      if (key == "types:") { for (i = 2; i <= NF; i++) if ($i == "deb") is_deb = 1; skip = 1; next }
      if (key == "enabled:") { if (tolower($2) == "no") enabled = 0; skip = 1; next }
      if (key == "architectures:") { skip = 1; next }
      if (key == "suites:") { suites_line = $0; sub(/^[^:]*:[[:space:]]*/, "", suites_line) }
      lines[++n_lines] = $0
    }
    END { flush() }' "$@"
}

# One-line entries: "deb [options] uri suite components" becomes "deb-src ...".
derive_list_lines() {
  local line suite
  grep -Eh '^[[:space:]]*deb[[:space:]]' "$@" 2>/dev/null | while read -r line; do
    suite=$(echo "$line" | sed -E 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?[^[:space:]]+[[:space:]]+([^[:space:]]+).*/\2/')
    release_suite "$suite" && echo "$line" | sed -E 's/^[[:space:]]*deb[[:space:]]/deb-src /'
  done
}

if [ "$need_src" = 1 ] && ! has_deb_src; then
  derive_sources_stanzas /etc/apt/sources.list.d/*.sources > "$src_name.sources.new" 2>/dev/null || true
  derive_list_lines /etc/apt/sources.list /etc/apt/sources.list.d/*.list > "$src_name.list.new" || true
  for f in "$src_name.sources" "$src_name.list"; do
    if [ -s "$f.new" ]; then mv "$f.new" "$f"; else rm -f "$f.new"; fi
  done
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

# Fetches a source package afresh into $deps/src/NAME and prints its directory.
fetch_source() {
  rm -rf "$deps/src/$1"
  mkdir -p "$deps/src/$1"
  (cd "$deps/src/$1" && apt-get source -q "$1" >&2)
  find "$deps/src/$1" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

# Configures, builds and installs a CMake source tree for Windows into the prefix.
cross_build() {
  local src=$1
  shift
  cmake -S "$src" -B "$src-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$deps/src/toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$ljt_prefix" "$@" >/dev/null
  cmake --build "$src-build"
  cmake --install "$src-build" >/dev/null
}

build_libjpeg_turbo() {
  local src
  src=$(fetch_source libjpeg-turbo)
  cross_build "$src" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON \
    -DCMAKE_ASM_NASM_COMPILER=nasm
  # djpeg.exe stays beside the library: the benchmarks compare against it.
  cp "$src-build/djpeg-static.exe" "$ljt_prefix/bin/djpeg-static.exe" 2>/dev/null || true
}

# Against the static zlib of Debian's mingw-w64 package, with libspng's SIMD
# filters. Its build script cannot make the static library alone; the DLL
# made beside it goes unused.
build_libspng() {
  cross_build "$(fetch_source libspng)" -DSPNG_SHARED=ON -DSPNG_STATIC=ON -DBUILD_EXAMPLES=OFF -DENABLE_OPT=ON \
    -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a
}

# The decoder and the demuxer only; none of the tools.
build_libwebp() {
  local tool options=(-DBUILD_SHARED_LIBS=OFF -DWEBP_BUILD_LIBWEBPMUX=OFF)
  for tool in ANIM_UTILS CWEBP DWEBP GIF2WEBP IMG2WEBP VWEBP WEBPINFO WEBPMUX EXTRAS; do
    options+=("-DWEBP_BUILD_$tool=OFF")
  done
  cross_build "$(fetch_source libwebp)" "${options[@]}"
}

if [ "$need_src" = 1 ]; then
  mkdir -p "$deps/src"
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
  for entry in "${win64_libraries[@]}"; do
    package=${entry% *}
    [ -f "$ljt_prefix/lib/${entry#* }" ] || "build_${package//-/_}"
  done
fi
