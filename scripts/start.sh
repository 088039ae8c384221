#!/usr/bin/env bash
# Installs what is missing, builds Korvalo and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Korvalo needs a graphical display: start it from a desktop session, or run it under a virtual one with: xvfb-run -a bash scripts/start.sh" >&2
  exit 1
fi
korvalo_install_packages
korvalo_build >/dev/null
exec "$KORVALO_BUILD/src/korvalo" "$@"
