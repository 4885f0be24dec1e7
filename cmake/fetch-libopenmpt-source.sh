#!/bin/sh
# Unpacks Debian's source package of libopenmpt, of the version the Linux
# build links against, into the folder given (which must not exist yet), with
# Debian's patches applied, and prints the version it got.
#
#   fetch-libopenmpt-source.sh DEST
#
# apt-get source needs a deb-src entry; 'make windows-deps' adds one.
set -eu
dest="$1"

fail()
{
    echo "fetch-libopenmpt-source.sh: $*" >&2
    exit 1
}

# The Linux build's libopenmpt is the installed libopenmpt-dev; before that is
# installed, the version apt would install.
version=$(dpkg-query -W -f='${Version}' libopenmpt-dev 2>/dev/null || true)
[ -n "$version" ] || version=$(apt-cache policy libopenmpt-dev 2>/dev/null | sed -n 's/^ *Candidate: *//p')
case "$version" in
"" | "(none)") fail "apt knows no libopenmpt-dev, so the version to build is unknown" ;;
esac
# 1:0.6.9-1 unpacks as libopenmpt-0.6.9.
upstream=${version#*:}
upstream=${upstream%-*}

partial="$dest.partial"
rm -rf "$partial"
mkdir -p "$partial"
(cd "$partial" && apt-get source -qq "libopenmpt=$version" >../"$(basename "$partial")".log 2>&1) ||
    { cat "$partial.log" >&2; fail "apt-get source libopenmpt=$version failed; 'make windows-deps' adds the deb-src entry it needs"; }
unpacked="$partial/libopenmpt-$upstream"
[ -f "$unpacked/libopenmpt/libopenmpt.h" ] || fail "apt-get source gave no libopenmpt-$upstream folder"

# What was unpacked must be the version asked for, not whatever the index
# offered: the changelog's first line and the library's own version numbers.
head -n 1 "$unpacked/debian/changelog" | grep -qF "($version)" ||
    fail "the source package is $(head -n 1 "$unpacked/debian/changelog"), not $version"
numbers=$(sed -n 's/^#define OPENMPT_API_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]*\).*/\2/p' \
    "$unpacked/libopenmpt/libopenmpt_version.h" | paste -sd.)
[ "$numbers" = "$upstream" ] || fail "libopenmpt_version.h says $numbers, not $upstream"

mv "$unpacked" "$dest"
rm -rf "$partial" "$partial.log"
echo "$version"
