# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Sourced by the scripts that make a fresh Debian system with debootstrap
# (tools/check-deb.sh, tools/test-debian.sh).

# Sets codename (the machine's own Debian release) and mirror (the archive
# its apt sources name for it: deb822 .sources or sources.list alike, as apt
# reads them), and exports the proxy apt is told to use.
debian_archive() {
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:?no VERSION_CODENAME in /etc/os-release}")
    mirror=$(apt-get indextargets --format '$(TARGET_OF) $(RELEASE) $(CODENAME) $(REPO_URI)' \
        'Created-By: Packages' | awk -v release="$codename" \
        '$1 == "deb" && ($2 == release || $3 == release) { print $NF; exit }')
    if [ -z "$mirror" ]; then
        echo "no Debian archive for $codename among apt's sources (apt-get indextargets)" >&2
        exit 1
    fi
    eval "$(apt-config shell http_proxy Acquire::http::Proxy https_proxy Acquire::https::Proxy)"
    export http_proxy="${http_proxy:-}" https_proxy="${https_proxy:-}"
    echo "Debian $codename from $mirror"
}

# The release's archives as the machine's apt sources name them (the
# release, its updates and its security archive), as a deb822 file.
debian_sources() {
    apt-get indextargets --format '$(TARGET_OF) $(RELEASE) $(REPO_URI)' 'Created-By: Packages' |
        awk -v release="$codename" '$1 == "deb" && index($2, release) == 1 { print $3, $2 }' |
        sort -u | while read -r uri suite; do
        printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: main\n' "$uri" "$suite"
        printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n\n'
    done
}
