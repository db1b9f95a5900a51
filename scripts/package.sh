#!/usr/bin/env bash
# The release files, into dist-package/, each checked where it will run:
#   scenario-VERSION-windows-x86_64.zip   scenario.exe (the Windows build), README.md, docs/FORMAT.md;
#                                         unpacked, the exe runs `generate` under Wine (headless)
#   scenario_VERSION_amd64.deb            the Linux build (CPack DEB: scenario and scenario-graphics),
#                                         installed with apt in a copy of the fresh-machine check's base
#                                         root (a new minimal Debian), where /opt/scenario/scenario runs
#                                         `generate`, then `preview` (which scenario-graphics draws)
#
#   scripts/package.sh            (as root: the clean-root check mounts and chroots)
#
# The base root is the one scripts/fresh-machine-check.sh keeps in /var/cache/scenario-fresh-machine/;
# run that check once when there is none. Ends with one line per file; exit status 0 when both passed.
set -Eeuo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/fresh-root.sh
source scripts/fresh-root.sh

version=$(sed -n 's/^project(scenario VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=$(pwd)/dist-package
jobs=2
work=""
say() { echo "package: $*"; }
cleanup() {
  local status=$?
  if [ -n "$work" ]; then
    unmount_under "$work"
    if [ -z "$(mounts_under "$work")" ]; then rm -rf --one-file-system "$work"; fi
  fi
  exit "$status"
}
trap cleanup EXIT
work=$(mktemp -d /var/tmp/scenario-package.XXXXXX)
rm -rf "$out"
mkdir -p "$out"

./scripts/install-dependencies.sh

echo "== the Windows build"
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
cmake --build build-windows -j "$jobs" --target scenario
zip_name=scenario-$version-windows-x86_64
mkdir -p "$work/$zip_name"
cp build-windows/scenario.exe README.md docs/FORMAT.md "$work/$zip_name/"
(cd "$work" && zip -q -r "$out/$zip_name.zip" "$zip_name")

echo "== the exe of the zip under Wine"
mkdir -p "$work/unzipped"
unzip -q "$out/$zip_name.zip" -d "$work/unzipped"
imports=$(x86_64-w64-mingw32-objdump -p "$work/unzipped/$zip_name/scenario.exe" | sed -n 's/^\tDLL Name: //p' | tr '\n' ' ')
for dll in $imports; do
  case "${dll,,}" in
    kernel32.dll | user32.dll | gdi32.dll | shell32.dll | msvcrt.dll | advapi32.dll) ;;
    *) say "FAILED: scenario.exe imports $dll, which Windows does not ship"; exit 1 ;;
  esac
done
(cd "$work/unzipped" && env -u DISPLAY -u WAYLAND_DISPLAY WINEDEBUG=-all WINEPREFIX="$work/wine-prefix" \
  timeout 300 /usr/lib/wine/wine64 "$zip_name/scenario.exe" generate -o out)
written=$(find "$work/unzipped/out" -type f | wc -l)
[ "$written" -eq 6 ] || { say "FAILED: scenario.exe generate wrote $written files under Wine, not 6"; exit 1; }
say "passed: $zip_name.zip ($(stat -c %s "$out/$zip_name.zip") bytes: $(unzip -Z1 "$out/$zip_name.zip" | grep -v '/$' | tr '\n' ' ')); its exe imports only $imports and wrote the six files of generate under Wine"

echo "== the Debian package"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs" --target scenario scenario-graphics
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/package/scenario_"$version"_*.deb)
cp "$deb" "$out/"
deb=$out/$(basename "$deb")

echo "== the Debian package in a new Debian root"
base=$(ls -d "$cache_root"/*-"$(dpkg --print-architecture)"-minbase 2>/dev/null | head -n 1 || true)
if [ -z "$base" ] || [ ! -x "$base/usr/bin/apt-get" ]; then
  say "FAILED: no base root in $cache_root: scripts/fresh-machine-check.sh builds it"
  exit 1
fi
suite=$(basename "$base")
suite=${suite%%-*}
root=$work/root
cp -a "$base" "$root"
use_machine_apt_sources "$root" "$suite"
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
mount --bind "$package_cache" "$root$package_cache"
cp "$deb" "$root/tmp/"
inner() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DEBIAN_FRONTEND=noninteractive "$@"; }
inner apt-get update -qq
inner apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" >/dev/null
inner /bin/sh -c 'cd /tmp && /opt/scenario/scenario generate -o out'
written=$(find "$root/tmp/out" -type f | wc -l)
[ "$written" -eq 6 ] || { say "FAILED: the installed scenario wrote $written files, not 6"; exit 1; }
inner /bin/sh -c 'cd /tmp && /opt/scenario/scenario preview out/Lesca-Varo_148.dat -o picture.png'
[ -s "$root/tmp/picture.png" ] || { say "FAILED: the installed scenario drew no picture"; exit 1; }
say "passed: $(basename "$deb") ($(stat -c %s "$deb") bytes: $(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | tr '\n' ' ')depends on: $(dpkg-deb -f "$deb" Depends)) installed with apt in a new $suite root; /opt/scenario/scenario wrote the six files of generate and a picture of them"
