#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages.
# Idempotent: when everything is there it only checks and returns.
set -euo pipefail
cd "$(dirname "$0")/.."

need_pkgs=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine32:i386 wine64
  xvfb xdotool xauth imagemagick locales fonts-ipafont-gothic
  googletest libbenchmark-dev python3 fp-utils cmake g++ clang libclang-rt-14-dev ninja-build zip unzip
  qemu-user-static
)

missing=()
for p in "${need_pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -q i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Japanese locale: Wine takes its ANSI code page (932) from it.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating ja_JP.UTF-8"
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi

# The MinGW compilers must be the posix-threads variants (std::thread, std::mutex).
for arch in i686 x86_64; do
  if [ -x "/usr/bin/$arch-w64-mingw32-g++-posix" ] && \
     [ "$(readlink -f /usr/bin/$arch-w64-mingw32-g++)" != "$(readlink -f /usr/bin/$arch-w64-mingw32-g++-posix)" ]; then
    $SUDO update-alternatives --set "$arch-w64-mingw32-g++" "/usr/bin/$arch-w64-mingw32-g++-posix" >/dev/null 2>&1 || true
    $SUDO update-alternatives --set "$arch-w64-mingw32-gcc" "/usr/bin/$arch-w64-mingw32-gcc-posix" >/dev/null 2>&1 || true
  fi
done

# A Wine prefix of our own, created once.
if [ "${SETUP_SKIP_PREFIX:-}" != 1 ]; then
  scripts/wine-run.sh --init-prefix
fi
