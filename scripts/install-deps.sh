#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the game need.
# A no-op when everything is already present; safe to run on every build.
# DEPS=0 skips it (a machine set up by hand). `install-deps.sh fuzz` adds
# what `make fuzz` needs.
set -euo pipefail
if [ "${DEPS:-1}" = "0" ]; then
  exit 0
fi

packages=(
  cmake ninja-build g++ pkg-config make lld
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  xvfb xauth xfonts-base
  imagemagick
  libfreetype-dev fonts-dejavu-core
)

# What each package is for, said before anything is installed.
declare -A why=(
  [cmake]="build" [ninja-build]="build" [g++]="build" [pkg-config]="build" [make]="build" [lld]="faster links of the test programs"
  [libgtest-dev]="tests" [libgmock-dev]="tests" [libbenchmark-dev]="benchmarks"
  [libsdl2-dev]="window, input and sound" [xvfb]="tests of real windows" [xauth]="tests of real windows"
  [xfonts-base]="the Game Mode box (its text needs the core X fonts)"
  [imagemagick]="image tests against an independent decoder"
  [clang]="fuzz targets (libFuzzer)"
  [libclang-rt-dev]="the fuzzer and sanitizer runtimes clang links (only recommended by clang)"
  [libavformat-dev]="movies" [libavcodec-dev]="movies and the sample clips" [libswscale-dev]="movie pictures"
  [libswresample-dev]="movie and sound resampling" [libavutil-dev]="movies"
  [libfreetype-dev]="the sample font builder" [fonts-dejavu-core]="the sample font"
)
if [ "${1:-}" = "fuzz" ]; then
  packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing what is missing (DEPS=0 skips this):"
for p in "${missing[@]}"; do
  echo "  $p: ${why[$p]:-needed by the build}"
done
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
