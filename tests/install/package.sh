#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a distribution checks it: lintian finds no error and no
# warning; the installed tree's AppStream metadata validates (its launchable being the
# installed desktop entry); the changelog's newest entry is the package's version; with
# --hardened, lintian finds no hardening missing from the programs either.
#
#   package.sh [--hardened] BUILD_DIR   packages the build with CPack, then checks it
#   package.sh [--hardened] --deb FILE  checks a package made already (scripts/package)
#
# Exit code 77 (skipped) when lintian, appstreamcli or dpkg-dev is not installed.
set -euo pipefail

hardened=0
[ "${1:-}" = --hardened ] && { hardened=1; shift; }
for need in lintian appstreamcli dpkg-deb dpkg-parsechangelog dpkg-shlibdeps file; do
    command -v "$need" >/dev/null || { echo "SKIP: $need is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "${1:-}" = --deb ]; then
    deb=$(realpath "$2")
else
    cpack -G DEB --config "$1/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log" >&2; echo "FAIL: CPack made no package" >&2; exit 1; }
    deb=$(ls "$work"/out/daylog_*.deb)
fi
echo "Checking $deb"
failed=0

# Every tag down to the pedantic ones is listed; errors and warnings fail.
lintian_out=$(lintian --display-info --pedantic --fail-on error,warning "$deb" 2>&1) || failed=1
echo "$lintian_out" | grep -v 'running with root privileges' || true
[ $failed -eq 0 ] || echo "FAIL: lintian reports errors or warnings" >&2
if [ $hardened -eq 1 ]; then
    # A program in which the compiler knew the size of no buffer passed to the C
    # library has no checked call to show even when built with them: the checked
    # functions are missing only when no program has any.
    programs=$(dpkg-deb -c "$deb" | grep -c ' \./usr/bin/')
    unfortified=$(grep -c ' hardening-no-fortify-functions ' <<<"$lintian_out" || true)
    if grep ' hardening-' <<<"$lintian_out" | grep -qv ' hardening-no-fortify-functions ' ||
        [ "$unfortified" -ge "$programs" ]; then
        echo "FAIL: the programs lack hardening" >&2
        failed=1
    fi
fi

root=$work/root
dpkg-deb -x "$deb" "$root"
if ! appstreamcli validate-tree --no-net --pedantic "$root"; then
    echo "FAIL: the AppStream metadata in the package does not validate" >&2
    failed=1
fi
[ -n "$(ls "$root"/usr/share/metainfo/*.metainfo.xml 2>/dev/null)" ] ||
    { echo "FAIL: no AppStream metadata in the package" >&2; failed=1; }

changelog=$root/usr/share/doc/daylog/changelog.Debian.gz
if [ -f "$changelog" ]; then
    zcat "$changelog" >"$work/changelog"
    logged=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
    packaged=$(dpkg-deb -f "$deb" Version)
    [ "$logged" = "$packaged" ] ||
        { echo "FAIL: the changelog is at $logged, the package at $packaged" >&2; failed=1; }
fi
# (A missing changelog, copyright file or manual page is lintian's error or warning.)

[ $failed -eq 0 ] && echo "PASS: lintian, AppStream and the changelog agree with the package"
exit $failed
