# Shared by start.sh and test.sh: install what is missing, then configure and build.
set -euo pipefail

KORVALO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KORVALO_BUILD=${KORVALO_BUILD:-$KORVALO_ROOT/build}

# Debian 12 packages. The font is pinned: the map's "Arial" resolves to Liberation Sans,
# and the reference pictures of the tests depend on its exact glyphs.
KORVALO_PACKAGES=(
  cmake make g++ pkg-config
  qt6-base-dev libgl-dev
  qt6-svg-dev
  libjpeg62-turbo-dev
  libbenchmark-dev
  libminizip-dev libfreexl-dev
  fontconfig "fonts-liberation=1:1.07.4-11"
  desktop-file-utils appstream-util shared-mime-info dpkg-dev
  xvfb openbox x11-utils
)

korvalo_missing_packages() {
  local spec name want have
  for spec in "${KORVALO_PACKAGES[@]}"; do
    name=${spec%%=*}
    want=${spec#*=}
    [ "$want" = "$spec" ] && want=
    have=$(dpkg-query -W -f='${Status} ${Version}' "$name" 2>/dev/null || true)
    case "$have" in
      "install ok installed "*)
        if [ -n "$want" ] && [ "${have##* }" != "$want" ]; then echo "$spec"; fi ;;
      *) echo "$spec" ;;
    esac
  done
}

korvalo_install_packages() {
  local missing
  missing=$(korvalo_missing_packages)
  [ -z "$missing" ] && return 0
  echo "Installing: $(echo $missing)"
  local sudo=
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  # shellcheck disable=SC2086
  $sudo apt-get install -y -qq --no-install-recommends $missing
}

korvalo_build() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  if [ ! -f "$KORVALO_BUILD/CMakeCache.txt" ]; then
    cmake -S "$KORVALO_ROOT" -B "$KORVALO_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$KORVALO_BUILD" --parallel "$jobs"
}
