# Sourced by the install and package checks: their arguments, a failure that
# says what went wrong, and a work folder of their own.
# usage: SCRIPT BUILD_DIR APP_ID VERSION
set -euo pipefail
build=$1 app_id=$2 version=$3

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

work=$(mktemp -d)
