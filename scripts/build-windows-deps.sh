#!/usr/bin/env bash
# Builds static Windows libraries for x86_64 and i686 from Debian's source
# packages: zlib, libpng 1.6, libjpeg-turbo (interface 62), libsndfile (WAV
# and the other built-in formats, no external codecs), GoogleTest and Google
# Benchmark. Results go to DEPS/<triple>/{include,lib}; a stamp per triple
# records what was built, so a second run returns at once.
set -euo pipefail

deps="${1:-${VK_DEPS_DIR:-/opt/vorn-kettle-deps}}"
here=$(cd "$(dirname "$0")/.." && pwd)
src="$deps/src"
jobs=$(nproc)
log() { printf '[deps] %s\n' "$*" >&2; }

# Bump when the recipe below changes, so stale builds are redone.
recipe=4
stamp_of() { printf 'recipe=%s\n' "$recipe"; sha256sum "$here/cmake/toolchain-mingw-$1.cmake" | cut -c1-16; }

fetch() { # fetch SOURCE-PACKAGE: unpack Debian's source once, print its folder
  local pkg=$1 dir
  mkdir -p "$src"
  dir=$(find "$src" -maxdepth 1 -mindepth 1 -type d -name "${2:-$pkg}-*" | head -n 1)
  if [ -z "$dir" ]; then
    log "apt-get source $pkg"
    # The newest version first; fall back to older ones when a suite's
    # sources cannot be fetched (the security suite's may be unavailable).
    local ok=0 v
    for v in $(apt-cache showsrc "$pkg" | awk '/^Version:/{print $2}' | sort -Vr | uniq); do
      if (cd "$src" && apt-get source -qq "$pkg=$v" >/dev/null 2>&1); then ok=1; break; fi
    done
    [ $ok -eq 1 ] || { log "cannot fetch the source of $pkg"; exit 1; }
    dir=$(find "$src" -maxdepth 1 -mindepth 1 -type d -name "${2:-$pkg}-*" | head -n 1)
  fi
  echo "$dir"
}

zlib_src=$(fetch zlib)
png_src=$(fetch libpng1.6 libpng1.6)
jpeg_src=$(fetch libjpeg-turbo)
sndfile_src=$(fetch libsndfile)
bench_src=$(fetch benchmark)
gtest_src=/usr/src/googletest

for arch in x86_64 i686; do
  triple=$arch-w64-mingw32
  prefix="$deps/$triple"
  want=$(stamp_of "$arch")
  if [ -f "$prefix/.stamp" ] && [ "$(cat "$prefix/.stamp")" = "$want" ]; then
    log "$triple: up to date"
    continue
  fi
  log "$triple: building into $prefix"
  rm -rf "$prefix" "$deps/build/$triple"
  mkdir -p "$prefix/include" "$prefix/lib" "$deps/build/$triple"
  b="$deps/build/$triple"
  tc="$here/cmake/toolchain-mingw-$arch.cmake"
  export VK_DEPS_DIR="$deps"
  cm=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$tc" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix"
      -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_POLICY_DEFAULT_CMP0074=NEW)

  # zlib: Debian's source lacks the win32 resource files, so compile the
  # library sources directly into a static archive.
  mkdir -p "$b/zlib"
  for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees uncompr zutil; do
    $triple-gcc-posix -O2 -DNDEBUG $( [ $arch = i686 ] && echo "-msse2 -mfpmath=sse" ) -c "$zlib_src/$f.c" -o "$b/zlib/$f.o"
  done
  $triple-ar rcs "$prefix/lib/libz.a" "$b"/zlib/*.o
  cp "$zlib_src/zlib.h" "$zlib_src/zconf.h" "$prefix/include/"

  cmake -S "$png_src" -B "$b/png" "${cm[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DPNG_BUILD_ZLIB=OFF -DZLIB_INCLUDE_DIR="$prefix/include" \
    -DZLIB_LIBRARY="$prefix/lib/libz.a" -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON >/dev/null
  cmake --build "$b/png" -j "$jobs" >/dev/null
  cmake --install "$b/png" >/dev/null

  cmake -S "$jpeg_src" -B "$b/jpeg" "${cm[@]}" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_JPEG8=OFF -DWITH_JPEG7=OFF -DWITH_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm >/dev/null
  cmake --build "$b/jpeg" -j "$jobs" >/dev/null
  cmake --install "$b/jpeg" >/dev/null

  cmake -S "$sndfile_src" -B "$b/sndfile" "${cm[@]}" -DBUILD_SHARED_LIBS=OFF -DBUILD_PROGRAMS=OFF \
    -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF \
    -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF -DENABLE_PACKAGE_CONFIG=ON -DCMAKE_DISABLE_FIND_PACKAGE_ALSA=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_Sqlite3=ON >/dev/null
  cmake --build "$b/sndfile" -j "$jobs" >/dev/null
  cmake --install "$b/sndfile" >/dev/null

  cmake -S "$gtest_src" -B "$b/gtest" "${cm[@]}" -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$b/gtest" -j "$jobs" >/dev/null
  cmake --install "$b/gtest" >/dev/null

  cmake -S "$bench_src" -B "$b/bench" "${cm[@]}" -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
    -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_INSTALL=ON -DGIT_VERSION=0.0.0 -DHAVE_STD_REGEX=1 -DHAVE_STEADY_CLOCK=1 -DBENCHMARK_INSTALL_DOCS=OFF -DBUILD_SHARED_LIBS=OFF >/dev/null
  cmake --build "$b/bench" -j "$jobs" >/dev/null
  cmake --install "$b/bench" >/dev/null

  echo "$want" > "$prefix/.stamp"
  rm -rf "$b"
  log "$triple: done"
done
