#!/usr/bin/env bash
# Installs what is missing, builds Korvalo and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
Korvalo is a desktop program and needs a graphical session: start it from a desktop
(or over ssh -X from one). Without a display, build/src/cli/korvalo-cli renders, resaves and
reports ego files: bash scripts/test.sh builds it, and korvalo-cli --help lists its commands.
MSG
  exit 1
fi
korvalo_install_packages
if [ -f "$KORVALO_BUILD/src/korvalo" ]; then
  korvalo_build >/dev/null
else
  echo "Building Korvalo for the first time; this takes a few minutes."
  korvalo_build
fi
exec "$KORVALO_BUILD/src/korvalo" "$@"
