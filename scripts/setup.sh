#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine, then
# builds the static Windows libraries (zlib, libpng, libjpeg-turbo, libsndfile)
# for both Windows targets from Debian's own source packages. Idempotent: a
# second run only checks and returns in seconds.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
deps="${VK_DEPS_DIR:-/opt/vorn-kettle-deps}"

log() { printf '[setup] %s\n' "$*" >&2; }

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

packages=(
  build-essential g++ cmake ninja-build pkg-config nasm dpkg-dev git python3
  clang libclang-rt-14-dev clang-format-15
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth xdotool
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libpng-dev libjpeg62-turbo-dev zlib1g-dev libsndfile1-dev
  valgrind librsvg2-bin imagemagick sox
  lsp-plugins-vst dpf-plugins-vst
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

need_src=0
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  need_src=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "enabling the i386 architecture (for 32-bit Wine)"
    $SUDO dpkg --add-architecture i386
  fi
  if [ $need_src -eq 1 ]; then
    log "adding source entries for the configured suites"
    # Mirror every deb entry of the deb822 files as deb-src, in a file of our own.
    python3 - <<'PY' | $SUDO tee /etc/apt/sources.list.d/vk-sources.sources >/dev/null
import glob, re
out = []
for path in sorted(glob.glob('/etc/apt/sources.list.d/*.sources')):
    if path.endswith('vk-sources.sources'):
        continue
    for stanza in open(path).read().split('\n\n'):
        lines = [l for l in stanza.splitlines() if l and not l.startswith('#')]
        fields = dict(l.split(':', 1) for l in lines if ':' in l)
        if fields.get('Types', '').split() == ['deb']:
            out.append('\n'.join('Types: deb-src' if l.startswith('Types:') else l for l in lines))
import os
if os.path.exists('/etc/apt/sources.list'):
    for l in open('/etc/apt/sources.list'):
        m = re.match(r'^deb\s+(\S+)\s+(\S+)\s+(.*)$', l.strip())
        if m:
            out.append('Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s' % m.groups())
print('\n\n'.join(out))
PY
  fi
  log "apt-get update"
  # A mirror caught mid-sync fails one index now and then; the lists that did
  # arrive are still used, and a package that is truly unreachable makes the
  # install below fail with apt's own message.
  for try in 1 2 3; do
    if $SUDO apt-get update -qq; then break; fi
    log "apt-get update failed (try $try of 3)"
    sleep $((try * 5))
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing: ${missing[*]}"
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi

# 32-bit Wine comes apart from the rest: its i386 libraries must match the
# amd64 ones version for version, so a mirror whose i386 index lags cannot give
# it. That is fatal only where the kernel could run 32-bit programs at all;
# elsewhere the 32-bit tests are reported as skipped anyway.
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  log "installing: wine32:i386"
  if ! $SUDO apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null; then
    if bash "$here/scripts/kernel-runs-32bit.sh"; then
      log "wine32:i386 could not be installed"; exit 1
    fi
    log "wine32:i386 could not be installed; this kernel runs no 32-bit programs, so the 32-bit tests will be skipped"
  fi
fi

# The posix-threads flavour of mingw-w64 (std::thread, std::mutex).
for arch in x86_64 i686; do
  for tool in gcc g++; do
    if [ -x "/usr/bin/$arch-w64-mingw32-$tool-posix" ]; then
      cur=$(readlink -f "/usr/bin/$arch-w64-mingw32-$tool" || true)
      case "$cur" in *posix*) ;; *) $SUDO update-alternatives --set "$arch-w64-mingw32-$tool" "/usr/bin/$arch-w64-mingw32-$tool-posix" >/dev/null ;; esac
    fi
  done
done

"$here/scripts/build-windows-deps.sh" "$deps"
log "ready"
