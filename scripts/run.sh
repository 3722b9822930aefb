#!/usr/bin/env bash
# Sets up, builds and starts Orvanta Contacts.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found; to start Orvanta Contacts without one, run: xvfb-run -a build/orvanta-contacts"
  exit 1
fi
exec build/orvanta-contacts
