#!/usr/bin/env bash
# Installs with apt-get whichever of the named Debian packages are missing.
#
# A name with an architecture suffix (wine32:i386) adds that architecture to
# dpkg first. When anything is missing, every named package goes into one
# apt-get call, the installed ones too, so apt can never make room for one
# of them by removing another.
#
# Packages of a second architecture must have exactly the version of their
# native twins. When the package lists of one suite are incomplete for that
# architecture (a mirror half way through a sync), the versions from the
# security suite cannot be matched; the install is then tried once more with
# the release suite pinned above everything else (priority 1001, which lets
# apt take an installed native twin back to the release's version), so that
# both architectures end up on the one consistent set of versions the
# release has.
set -euo pipefail
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

missing=()
foreign=()
for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    case $package in *:*) foreign+=("${package##*:}") ;; esac
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"

for arch in $(printf '%s\n' "${foreign[@]}" | sort -u); do
    dpkg --print-foreign-architectures | grep -qx "$arch" || "${sudo_cmd[@]}" dpkg --add-architecture "$arch"
done

# A list that fails to download is reported and left out; the install below
# says whether what it needs could be found without it.
"${sudo_cmd[@]}" apt-get update -qq || echo "apt-get update reported errors; installing from the lists it has" >&2

apt_install() {
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$@" "${packages[@]}"
}
packages=("$@")
if apt_install; then
    exit 0
fi
[ ${#foreign[@]} -eq 0 ] && exit 1
echo "Retrying with the release suite preferred over the security suite" >&2
preferences=$(mktemp)
trap 'rm -f "$preferences"' EXIT
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
printf 'Package: *\nPin: release n=%s, l=Debian\nPin-Priority: 1001\n' "$codename" >"$preferences"
apt_install --allow-downgrades -o Dir::Etc::Preferences="$preferences"
