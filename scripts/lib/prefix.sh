# shellcheck shell=bash
# Private Wine prefix for builds and tests. Sourced by scripts/wine-run and
# scripts/lib/common.sh; it defines functions only and changes no shell options.
#
# The prefix lives in $TESSEL_WINEPREFIX (default <repo>/build/wine-prefix).
# It is created once (wineboot; null graphics driver so windows need no X
# server; no crash dialog) and served by one persistent wineserver, which makes a launch cost
# about 0.1 s instead of seconds. Every Wine process started here that may
# outlive its caller (the server, the services the first client starts) gets
# /dev/null for stdin, stdout and stderr: a service holding ctest's output
# pipe open would make ctest wait forever.

tessel_repo_root() {
  local lib_dir
  lib_dir=$(cd -P -- "$(dirname -- "${BASH_SOURCE[0]}")" && pwd)
  printf '%s\n' "${lib_dir%/scripts/lib}"
}

# Exports WINEPREFIX and WINEDEBUG for the private prefix.
tessel_wine_env() {
  local prefix=${TESSEL_WINEPREFIX:-}
  if [[ -z $prefix ]]; then
    prefix="$(tessel_repo_root)/build/wine-prefix"
  elif [[ $prefix != /* ]]; then
    prefix="$PWD/$prefix" # Wine insists on an absolute prefix path.
  fi
  export WINEPREFIX=$prefix
  export WINEDEBUG=${WINEDEBUG:--all}
}

# Windows path of a Unix path, through drive Z: (the root in every prefix).
tessel_winpath() {
  local path=$1
  [[ $path == /* ]] || path="$PWD/$path"
  path=${path//\//\\}
  printf 'Z:%s\n' "$path"
}

# Runs a Wine command detached from the caller's terminal and pipes, and from
# the lock descriptor (fd 9), which a long-lived process must not keep.
_tessel_wine_quiet() {
  "$@" </dev/null >/dev/null 2>&1 9>&-
}

# What every prefix gets on top of Wine's defaults. Bump the version when
# this changes, so existing prefixes pick it up on their next use.
TESSEL_PREFIX_VERSION=2
_tessel_prefix_settings() {
  # Windows need no X server: the null graphics driver. A crashing program
  # prints a backtrace and exits; with Wine's crash dialog, which nobody sees
  # under the null driver, it would hang until killed.
  if ! _tessel_wine_quiet wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f ||
    ! _tessel_wine_quiet wine reg add 'HKCU\Software\Wine\WineDbg' \
      /v ShowCrashDialog /t REG_DWORD /d 0 /f; then
    echo "wine-run: could not write the settings of $WINEPREFIX" >&2
    return 1
  fi
}

# Creates the prefix. Also completes a prefix whose creation was interrupted
# (wineboot -i updates an existing one), and never deletes anything.
_tessel_prefix_create() {
  local marker=$1
  echo "wine-run: creating Wine prefix $WINEPREFIX" >&2
  # mscoree/mshtml off while booting: nothing here needs the .NET or HTML
  # add-ons, and their installers would try to download them.
  WINEDLLOVERRIDES="mscoree,mshtml=" _tessel_wine_quiet wineboot -i
  _tessel_prefix_settings || return 1
  # Let the boot's short-lived server write the registry to disk and exit,
  # so the persistent server started next reads the finished prefix.
  _tessel_wine_quiet wineserver -w
  [[ -f $WINEPREFIX/system.reg ]] || {
    echo "wine-run: wineboot did not create $WINEPREFIX" >&2
    return 1
  }
  echo "$TESSEL_PREFIX_VERSION" >"$marker"
}

# Makes sure the prefix exists and a persistent wineserver serves it. Cheap
# once both hold (a lock and one wineserver call, a few milliseconds).
tessel_prefix_ready() {
  tessel_wine_env
  local marker="$WINEPREFIX/.tessel-prefix-ready"
  local lock="$WINEPREFIX.lock"
  mkdir -p -- "$(dirname -- "$WINEPREFIX")"

  # Serialise concurrent callers (ctest -j, parallel builds): one creates the
  # prefix and starts the server while the others wait, so no Wine process
  # can reach a half-made prefix or become the new server's first client.
  exec 9>"$lock"
  flock 9

  local rc=0
  if [[ ! -f $marker ]]; then
    _tessel_prefix_create "$marker" || rc=$?
  fi
  if ((rc == 0)); then
    # Exit status 0: this call started the server; 2: one was running already.
    local server=0
    _tessel_wine_quiet wineserver -p || server=$?
    if ((server == 0)); then
      # The first client of a new server starts Wine's services, which live
      # as long as the server. Make that client one with no inherited pipes.
      _tessel_wine_quiet wine cmd.exe /c exit 0 || true
    elif ((server != 2)); then
      echo "wine-run: could not start wineserver (status $server)" >&2
      rc=1
    fi
  fi
  if ((rc == 0)); then
    # A prefix made by an older version of this file: add what it lacks.
    local version=""
    read -r version <"$marker" || true
    if [[ $version != "$TESSEL_PREFIX_VERSION" ]]; then
      if _tessel_prefix_settings; then
        echo "$TESSEL_PREFIX_VERSION" >"$marker"
      else
        rc=1
      fi
    fi
  fi

  exec 9>&-
  return "$rc"
}
