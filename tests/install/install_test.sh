#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the launcher and the
# metainfo, then where the installed program keeps its database.
source "$(dirname "$0")/common.sh"
program_pid=""
cleanup() {
    if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# The unprivileged user below must reach the installed tree.
chmod 755 "$work"
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >"$work/install.log"

# The launcher and the metainfo name each other and the program.
desktop=$prefix/share/applications/$app_id.desktop
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ -x "$prefix/bin/$(entry Exec | cut -d' ' -f1)" ] || fail "launcher Exec names no installed program"
[ -f "$prefix/share/icons/hicolor/48x48/apps/$(entry Icon).png" ] || fail "launcher Icon is not installed"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
    "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "metainfo does not launch $app_id.desktop"

# start NAME PROGRAM [RUNNER...]: runs PROGRAM headless as the runner, home in
# $work/NAME, until a contacts.mdb appears in the per-user folder or beside it.
start() {
    local name=$1 program=$2
    shift 2
    local home=$work/$name
    mkdir -p "$home/runtime"
    chmod 777 "$home"
    chmod 700 "$home/runtime"
    if [ $# -gt 0 ]; then chown -R 65534:65534 "$home"; fi
    local user_db="$home/data/Orvanta/Orvanta Contacts/contacts.mdb"
    local own_db=${program%/*}/contacts.mdb
    # The timeout only keeps a hung program from holding the test for ever.
    timeout 300 "$@" env HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
        XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen \
        "$program" >"$home/output.log" 2>&1 &
    program_pid=$!
    while [ ! -f "$user_db" ] && [ ! -f "$own_db" ] && kill -0 "$program_pid" 2>/dev/null; do
        sleep 0.1
    done
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" || true
    program_pid=""
}

user_db() { echo "$work/$1/data/Orvanta/Orvanta Contacts/contacts.mdb"; }

# 1. An ordinary user, for whom the installed folder is read-only (root writes
# through file permissions, so as root the program runs as nobody).
chmod -R a-w "$prefix/bin"
runner=() runner_uid=$(id -u)
if [ "$runner_uid" -eq 0 ]; then
    runner=(setpriv --reuid=65534 --regid=65534 --clear-groups) runner_uid=65534
fi
start user "$prefix/bin/orvanta-contacts" "${runner[@]}"
[ -f "$(user_db user)" ] ||
    fail "no database in the per-user folder; program said: $(cat "$work/user/output.log")"
[ "$(stat -c %u "$(user_db user)")" = "$runner_uid" ] ||
    fail "the program did not run as the unprivileged user"
[ ! -e "$prefix/bin/contacts.mdb" ] || fail "the database was created in the install folder"

# 2. A user who may write the installed folder still uses the per-user one.
chmod u+w "$prefix/bin"
start owner "$prefix/bin/orvanta-contacts"
[ -f "$(user_db owner)" ] ||
    fail "owner: no database in the per-user folder; program said: $(cat "$work/owner/output.log")"
[ ! -e "$prefix/bin/contacts.mdb" ] || fail "owner: the database was created in the install folder"

# 3. A portable copy, outside an installed tree, keeps its data beside itself.
mkdir "$work/portable"
cp "$prefix/bin/orvanta-contacts" "$work/portable/"
start portable "$work/portable/orvanta-contacts"
[ -f "$work/portable/contacts.mdb" ] ||
    fail "the portable copy made no database beside itself: $(cat "$work/portable/output.log")"
[ ! -e "$(user_db portable)" ] || fail "the portable copy used the per-user folder"

echo "install: all checks passed"
