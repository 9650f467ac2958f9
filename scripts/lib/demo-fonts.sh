# shellcheck shell=bash
# The demo's own Wine prefix, with fonts that have Windows' metrics, so that
# the pictures scripts/demo takes lay out text as Windows does. Sourced by
# scripts/demo after scripts/lib/common.sh; defines functions only.
#
# The test suite's prefix (build/wine-prefix) must not see these fonts: its
# expectations hold for the fonts Wine finds there by default, and with the
# metric-compatible Arial in reach Wine realizes a 12-point Arial at 11.25
# points, where Windows keeps 12. So the fonts are copied into the demo's
# prefix only, never installed system-wide.

# The demo's prefix; scripts/wine-run and the prefix functions use it once
# TESSEL_WINEPREFIX names it.
# shellcheck disable=SC2034 # used by scripts/demo
TESSEL_DEMO_PREFIX="$TESSEL_ROOT/build/demo-prefix"

# Where the packaged fonts are unpacked, outside any prefix.
_TESSEL_DEMO_FONT_DIR="$TESSEL_ROOT/build/demo-fonts"

# Faces a Windows program asks for, and the installed faces with the same
# metrics that stand in for them. Wine applies such a replacement only to a
# face it does not have itself. (Tahoma, MS Sans Serif, MS Shell Dlg and
# Courier come from Wine's own fonts, copied into the prefix as they are.)
_TESSEL_DEMO_FONT_REPLACEMENTS=(
  "Arial=Liberation Sans"
  "Times New Roman=Liberation Serif"
  "Courier New=Liberation Mono"
)

# Unpacks the metric-compatible Arial, Times New Roman and Courier New
# replacements (fonts-liberation2) into build/demo-fonts without installing
# the package. Prints the folder that holds their TTF files (and nothing else
# on stdout).
_tessel_demo_fetch_fonts() {
  local ttf_dir="$_TESSEL_DEMO_FONT_DIR/usr/share/fonts/truetype/liberation2"
  if ! compgen -G "$ttf_dir/LiberationSans-*.ttf" >/dev/null; then
    local download="$_TESSEL_DEMO_FONT_DIR/download"
    rm -rf -- "$download"
    mkdir -p -- "$download"
    # Root downloads into a folder apt's own user may not write to; say so
    # to apt rather than have it warn.
    local fetch=(apt-get download -q -o APT::Sandbox::User=root fonts-liberation2)
    # A machine whose package lists were never fetched (or were cleaned) knows
    # no such package yet: fetch the lists once and try again.
    if ! (cd -- "$download" && "${fetch[@]}") >&2; then
      apt-get update -q >&2 || echo "warning: apt-get update reported errors; going on" >&2
      (cd -- "$download" && "${fetch[@]}") >&2 || return 1
    fi
    local package
    for package in "$download"/*.deb; do
      dpkg-deb -x "$package" "$_TESSEL_DEMO_FONT_DIR" || return 1
    done
    rm -rf -- "$download"
  fi
  compgen -G "$ttf_dir/LiberationSans-*.ttf" >/dev/null || return 1
  printf '%s\n' "$ttf_dir"
}

# Gives the prefix in WINEPREFIX (made ready by tessel_prefix_ready) Wine's own
# fonts (fonts-wine) and the metric-compatible replacements, and tells Wine to
# use those for the faces they replace. Fails when the fonts cannot be had;
# the prefix stays usable then, with the fonts Wine finds on the system.
tessel_install_demo_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  local wine_fonts=/usr/share/wine/fonts
  if ! compgen -G "$wine_fonts/tahoma.ttf" >/dev/null; then
    echo "warning: Wine's own fonts (fonts-wine) are not in $wine_fonts" >&2
    return 1
  fi
  local ttf_dir
  if ! ttf_dir=$(_tessel_demo_fetch_fonts); then
    echo "warning: could not fetch fonts-liberation2" >&2
    return 1
  fi
  mkdir -p -- "$fonts" &&
    cp -u -- "$wine_fonts"/* "$ttf_dir"/*.ttf "$fonts/" || return 1

  local entry
  for entry in "${_TESSEL_DEMO_FONT_REPLACEMENTS[@]}"; do
    _tessel_wine_quiet wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
      /v "${entry%%=*}" /d "${entry#*=}" /f || return 1
  done
}
