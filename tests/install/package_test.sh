#!/usr/bin/env bash
# Builds the Debian package and checks its dependencies and files, and that
# lintian, desktop-file-validate and appstreamcli find nothing to complain about.
source "$(dirname "$0")/common.sh"
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$work/cpack.log")"
deb=$(find "$work" -maxdepth 1 -name '*.deb')
[ "$(echo "$deb" | wc -l)" -eq 1 ] && [ -f "$deb" ] || fail "cpack made no single .deb: $deb"

dpkg-deb --info "$deb" | tee "$work/info"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = orvanta-contacts ] || fail "package name is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "package version is '$(field Version)', not $version"
depends=$(field Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 qt6-qpa-plugins \
    libsqlite3-0 libc6 xdg-utils; do
    echo "$depends" | tr ',' '\n' | grep -q "^ *$library\b" || fail "Depends lacks $library: $depends"
done

dpkg-deb --contents "$deb" >"$work/contents"
for file in ./usr/bin/orvanta-contacts "./usr/share/applications/$app_id.desktop" \
    "./usr/share/metainfo/$app_id.metainfo.xml" \
    "./usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
    "./usr/share/icons/hicolor/48x48/apps/$app_id.png" \
    ./usr/share/man/man1/orvanta-contacts.1.gz ./usr/share/doc/orvanta-contacts/copyright \
    ./usr/share/doc/orvanta-contacts/changelog.Debian.gz; do
    grep -q " $file\$" "$work/contents" || fail "the package lacks $file"
done
# The installed program folder is the system's, not writable by its users.
grep " ./usr/bin/\$" "$work/contents" | grep -q "^drwxr-xr-x root/root" ||
    fail "usr/bin in the package is not a root-owned, read-only folder"

# Warnings and errors fail; informational tags do not.
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
    fail "lintian complains: $(cat "$work/lintian.log")"
dpkg-deb --extract "$deb" "$work/root"
complaints=$(desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop" 2>&1) &&
    [ -z "$complaints" ] || fail "desktop-file-validate complains: $complaints"
appstreamcli validate --no-net --strict "$work/root/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "appstreamcli complains about the metainfo"
grep -q "<release version=\"$version\"" "$work/root/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "metainfo lists no release $version"
zcat "$work/root/usr/share/doc/orvanta-contacts/changelog.Debian.gz" | head -1 |
    grep -q "^orvanta-contacts ($version)" || fail "the Debian changelog has no entry for $version"

echo "package: all checks passed"
