#!/bin/sh
# Installs the Debian packages named on the command line that are missing.
# Used by the make targets, so a fresh Debian 12 machine needs nothing else.
set -e
missing=""
for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0
echo "installing:$missing" >&2
if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
