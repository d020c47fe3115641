#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Starts the window; without a display (a bare server, CI) it starts one under Xvfb.
set -euo pipefail
program="$1"; shift || true
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program" "$@"
fi
echo "No display found: starting Corvane under Xvfb." >&2
exec xvfb-run -a -s "-screen 0 1024x768x24" "$program" "$@"
