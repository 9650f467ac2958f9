# shellcheck shell=bash
# Shared steps of scripts/test and scripts/demo: install the toolchain,
# prepare the Wine prefix, configure and build one architecture.
# Sourced by scripts running under `set -euo pipefail`, as root on Debian 12.

# shellcheck source=scripts/lib/prefix.sh
source "$(dirname -- "${BASH_SOURCE[0]}")/prefix.sh"

TESSEL_ROOT=$(tessel_repo_root)

# Debian packages the build and the tests need. wine64 only: the machines have
# no 32-bit support, and the i386 architecture stays disabled.
TESSEL_PACKAGES=(
  cmake
  g++-mingw-w64-x86-64-posix
  g++-mingw-w64-i686-posix
  mingw-w64-tools
  wine
  wine64
  libwine-dev
  wine64-tools
  googletest
  # Wine's own Tahoma, MS Sans Serif and Courier, the faces the property
  # pages, the about box and the demo's list use, with Windows' metrics.
  # Wine does not look for them where the package puts them: scripts/demo
  # copies them, with the metric-compatible Arial, Times New Roman and
  # Courier New, into its own prefix only (see scripts/lib/demo-fonts.sh).
  fonts-wine
)

tessel_heading() {
  printf '\n==> %s\n' "$*"
}

tessel_die() {
  echo "error: $*" >&2
  exit 1
}

# Prints the packages of TESSEL_PACKAGES that are not installed.
_tessel_missing_packages() {
  local installed
  # One query for all; unknown packages print nothing and make it fail.
  installed=$(dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' "${TESSEL_PACKAGES[@]}" \
    2>/dev/null | awk '$2 == "ii" { print $1 }' || true)
  local p
  for p in "${TESSEL_PACKAGES[@]}"; do
    grep -qxF -- "$p" <<<"$installed" || echo "$p"
  done
}

# Fails unless every tool the build calls is there.
_tessel_verify_tools() {
  local tool missing=()
  for tool in cmake ctest flock \
    x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres \
    i686-w64-mingw32-gcc-posix i686-w64-mingw32-g++-posix i686-w64-mingw32-windres \
    widl wine wineboot wineserver; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
  [[ -f /usr/src/googletest/googletest/src/gtest-all.cc ]] || missing+=("GoogleTest sources")
  ((${#missing[@]} == 0)) || tessel_die "missing after installation: ${missing[*]}"
}

tessel_install_deps() {
  local missing
  missing=$(_tessel_missing_packages)
  if [[ -n $missing ]]; then
    # shellcheck disable=SC2086 # one package name per word
    echo "installing:" $missing
    ((EUID == 0)) || tessel_die "run as root to install packages"
    export DEBIAN_FRONTEND=noninteractive
    local attempt
    for attempt in 1 2; do
      # An index that fails to download now and then makes `apt-get update`
      # fail although the packages are available; the tool check decides.
      apt-get update -q || echo "warning: apt-get update reported errors; going on" >&2
      # shellcheck disable=SC2086
      if apt-get install -y -q --no-install-recommends $missing; then
        break
      fi
      echo "warning: apt-get install failed (attempt $attempt)" >&2
    done
  fi
  _tessel_verify_tools
}

tessel_prepare_prefix() {
  tessel_prefix_ready
}

# tessel_build x64|x86 [extra cmake arguments for the first configure...]
# Configures build/<arch> once (Release) and builds it incrementally.
tessel_build() {
  local arch=$1
  shift
  local dir="$TESSEL_ROOT/build/$arch"
  local args=()
  case $arch in
    x64) ;;
    x86) args+=("-DTLBGEN_EXE=$TESSEL_ROOT/build/x64/bin/tlbgen.exe") ;;
    *) tessel_die "tessel_build: unknown architecture '$arch' (x64 or x86)" ;;
  esac
  # cmake.check_cache is written when a configure run has completed; after
  # that, the build re-runs configure itself whenever a CMake file changes.
  if [[ ! -f $dir/CMakeFiles/cmake.check_cache ]]; then
    cmake -S "$TESSEL_ROOT" -B "$dir" \
      -DCMAKE_TOOLCHAIN_FILE="$TESSEL_ROOT/cmake/toolchain-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=Release "${args[@]}" "$@"
  fi
  cmake --build "$dir" -j2
}
