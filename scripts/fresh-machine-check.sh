#!/usr/bin/env bash
# The proof that the README's two commands work where nothing was installed by hand: a new minimal Debian
# root (debootstrap --variant=minbase) of the suite and mirror that this machine's apt uses, a clean clone
# of HEAD in a copy of it, and ./run.sh (or ./test.sh) run there with a clean environment.
#
#   scripts/fresh-machine-check.sh [run|test]      (as root; default: run)
#
# The minimal root is built once and kept as a base in /var/cache/scenario-fresh-machine/ (rebuilt when
# missing); each check works in a copy of it under /var/tmp/, which it always unmounts and removes. apt
# inside retries failed downloads and shares this machine's package cache (/var/cache/apt/archives), so a
# package is downloaded once per machine. The check ends with one line: what it proved, or where it failed
# (the first error line of the log, and the log's path). Exit status: 0 passed, 1 failed, 2 bad usage.
set -Eeuo pipefail

# The functions it shares with scripts/package.sh: apt sources, mounts.
# shellcheck source=scripts/fresh-root.sh
source "$(dirname "$0")/fresh-root.sh"
readonly inner_path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
# What the scenario's run leaves in dist/ besides the two programs (scenario, and scenario-graphics, which it
# starts for the window run with a display and for the pictures): three documents and three binary files.
readonly expected_files=(
  Lesca-Varo_148_note.txt Lesca-Varo_148_rallentamenti.txt Lesca-Varo_148_scheda_treno.txt
  Lesca-Varo_linea.dat Lesca-Varo_148.sim Lesca-Varo_148.dat
)

mode=${1:-run}
case "$mode" in
  run) script=run.sh; time_limit=$((45 * 60)) ;;
  test) script=test.sh; time_limit=$((150 * 60)) ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac

repo=$(cd "$(dirname "$0")/.." && pwd)
log_dir=$repo/build-fresh-machine
log=$log_dir/$mode.log
work=""
root=""

say() { echo "fresh-machine check: $*"; }

# The first line of the log that reports an error; when it ends with ":" the indented lines after it
# (CMake's message) are joined to it. The last line of the log when none does.
first_error_line() {
  awk '
    found && /^[ \t]*$/ { next }
    found && /^[ \t]/ && extra < 3 { sub(/^[ \t]+/, ""); line = line " " $0; extra++; next }
    found { exit }
    /(^|[^[:alnum:]_-])(error:|Error:|ERROR:|Error at )|^E: |^FAILED: |dpkg: error|tests FAILED|command not found|Errore n\./ {
      line = $0; found = 1; if ($0 !~ /:[ \t]*$/) exit; next
    }
    NF { last = $0 }
    END { print (found ? line : last) }
  ' "$log" | tr -s ' \t' ' ' | cut -c 1-400
}

# Ends the check with its closing line: where it failed.
fail() {
  trap - ERR
  if [ -s "$log" ]; then
    echo "---- last lines of $log"
    tail -n 30 "$log"
    echo "----"
    say "FAILED: $1: $(first_error_line) (log: $log)"
  else
    say "FAILED: $1"
  fi
  exit 1
}

trap 'fail "unexpected failure of the check itself at line $LINENO"' ERR
trap 'fail "interrupted"' INT TERM

# Runs a step with its output in the log; a step that fails ends the check.
step() {
  local what=$1
  shift
  echo "== $what" >> "$log"
  "$@" >> "$log" 2>&1 < /dev/null || fail "$what"
}

# Ends the processes whose root is the copy: only the check's own can be there.
end_processes_in_copy() {
  local pids=() link entry
  for entry in /proc/[0-9]*; do
    link=$(readlink "$entry/root" 2>/dev/null) || continue
    if [ "$link" = "$root" ] || [[ "$link" == "$root"/* ]]; then pids+=("${entry#/proc/}"); fi
  done
  [ ${#pids[@]} -eq 0 ] && return 0
  kill -TERM "${pids[@]}" 2>/dev/null || true
  sleep 2
  kill -KILL "${pids[@]}" 2>/dev/null || true
}



# Always: unmount and remove the copy. Nothing is removed while anything is still mounted under it, since
# the removal would reach this machine's /dev and package cache through the mounts.
cleanup() {
  local status=$?
  trap - ERR INT TERM
  [ -n "$work" ] || exit "$status"
  end_processes_in_copy
  unmount_under "$work"
  if [ -n "$(mounts_under "$work")" ]; then
    echo "fresh-machine check: left $work in place: still mounted there: $(mounts_under "$work" | tr '\n' ' ')" >&2
  else
    rm -rf --one-file-system "$work"
  fi
  exit "$status"
}


[ "$(id -u)" -eq 0 ] || { say "FAILED: must run as root (it makes a root file system and mounts in it)"; exit 1; }
mkdir -p "$log_dir" "$cache_root"
: > "$log"
commit=$(git -C "$repo" rev-parse HEAD)
started=$(date +%s)

if ! command -v debootstrap > /dev/null; then
  say "installing debootstrap on this machine"
  step "apt-get update" apt-get update -qq
  step "installing debootstrap" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends debootstrap debian-archive-keyring
fi

# The suite and mirror: the first entry of this machine's sources whose suite debootstrap knows (the
# release itself, not its -updates or -security, nor another vendor's).
mirror="" suite="" components=""
while read -r uri entry_suite entry_components; do
  if [ -f "/usr/share/debootstrap/scripts/$entry_suite" ]; then
    mirror=$uri suite=$entry_suite components=${entry_components:-main}
    break
  fi
done < <(apt_sources)
[ -n "$suite" ] || fail "no Debian suite that debootstrap knows in this machine's apt sources"
arch=$(dpkg --print-architecture)
base=$cache_root/$suite-$arch-minbase

# The base: built when missing, by one check at a time, into a new directory renamed into place when whole.
exec 9> "$cache_root/lock"
flock 9
if [ ! -x "$base/usr/bin/apt-get" ]; then
  say "building the base root $base ($suite from $mirror, minbase)"
  unmount_under "$base.new"  # what an interrupted debootstrap may have left mounted
  rm -rf --one-file-system "$base" "$base.new"
  attempt=1
  # An https mirror needs the certificates inside, as a machine installed from it has them.
  include=()
  [[ "$mirror" != https:* ]] || include=(--include=ca-certificates)
  until echo "== debootstrap, attempt $attempt" >> "$log" &&
        debootstrap --variant=minbase "${include[@]}" --arch="$arch" --components="${components// /,}" \
          --cache-dir="$package_cache" "$suite" "$base.new" "$mirror" >> "$log" 2>&1 < /dev/null; do
    unmount_under "$base.new"
    rm -rf --one-file-system "$base.new"
    [ "$attempt" -lt 3 ] || fail "debootstrap of $suite from $mirror"
    attempt=$((attempt + 1))
    sleep 10
  done
  mv "$base.new" "$base"
fi
flock -u 9
exec 9>&-

trap cleanup EXIT
work=$(mktemp -d /var/tmp/scenario-fresh-machine.XXXXXX)
root=$work/root
say "checking ./$script of ${commit:0:12} in a copy of $base (log: $log)"
step "copying the base" cp -a "$base" "$root"
step "cloning HEAD" git clone -q --no-hardlinks "$repo" "$root/root/scenario"
step "checking out $commit" git -C "$root/root/scenario" checkout -q --detach "$commit"

# apt inside: this machine's sources of the suite (and its -updates, -security), retried downloads.
use_machine_apt_sources "$root" "$suite"

# Nothing of the project may be there before its install script runs, or the check would not test it.
packages=$(sed -n '/^packages=(/,/^)/p' "$root/root/scenario/scripts/install-dependencies.sh" | sed '1d;$d')
[ -n "${packages//[[:space:]]/}" ] || fail "no package list (packages=( ... )) found in scripts/install-dependencies.sh"
# shellcheck disable=SC2086,SC2016 # one package a word; dpkg-query's format, not the shell's
preinstalled=$({ chroot "$root" /usr/bin/env -i PATH="$inner_path" dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' \
  $packages 2>/dev/null || true; } | awk '$1 == "ii" { print $2 }' | tr '\n' ' ')
[ -z "$preinstalled" ] || fail "the base root already has ${preinstalled% }: it would not test the install script"
count_installed() {
  # shellcheck disable=SC2016 # dpkg-query's format, not the shell's
  chroot "$root" /usr/bin/env -i PATH="$inner_path" dpkg-query -W -f='${db:Status-Abbrev}\n' | grep -c '^ii'
}
installed_before=$(count_installed)

step "mounting /proc" mount -t proc proc "$root/proc"
step "mounting /dev" mount --rbind /dev "$root/dev"
step "keeping /dev's mounts one way" mount --make-rslave "$root/dev"
step "sharing the package cache" mount --bind "$package_cache" "$root$package_cache"

echo "== ./$script in the new root" >> "$log"
run_started=$(date +%s)
# In the background, so that an interruption is handled at once rather than when the run ends.
timeout --kill-after=60 "$time_limit" chroot "$root" /usr/bin/env -i PATH="$inner_path" HOME=/root \
  /bin/bash -c "cd /root/scenario && ./$script" < /dev/null >> "$log" 2>&1 &
status=0
wait $! || status=$?
took=$(($(date +%s) - run_started))
[ "$status" -ne 124 ] || fail "./$script did not end within $((time_limit / 60)) minutes"
[ "$status" -eq 0 ] || fail "./$script exited $status"
installed=$(($(count_installed) - installed_before))

if [ "$mode" = run ]; then
  dist=$root/root/scenario/dist
  for name in "${expected_files[@]}"; do
    if [ ! -f "$dist/$name" ] || [ ! -s "$dist/$name" ]; then fail "./run.sh exited 0, but dist/$name is missing or empty"; fi
  done
  for program in scenario scenario-graphics; do
    [ -x "$dist/$program" ] || fail "./run.sh exited 0, but dist/$program is missing or not executable"
  done
  leftover=$(find "$dist" -mindepth 1 -maxdepth 1 -printf '%f\n' |
    { grep -v -x -F -e scenario -e scenario-graphics "${expected_files[@]/#/-e}" || true; } | tr '\n' ' ')
  [ -z "$leftover" ] || fail "./run.sh exited 0, but dist/ also holds ${leftover% } (a text source or a temporary file)"
  # scenario hands the pictures to scenario-graphics: one picture proves that the new root runs it.
  chroot "$root" /usr/bin/env -i PATH="$inner_path" HOME=/root /root/scenario/dist/scenario preview \
    /root/scenario/dist/Lesca-Varo_148.dat -o /tmp/fresh-machine-picture.png < /dev/null >> "$log" 2>&1 ||
    fail "dist/scenario preview of the scenario's grid failed (scenario-graphics, which draws it)"
  proved="built the program (scenario and scenario-graphics) and wrote its six files into dist/ (three documents, three binary files, no text source left), and a picture of them"
else
  counts=$({ grep -E '^tests: [0-9]+ passed, 0 failed$' "$log" || true; } | tail -n 1)
  [ -n "$counts" ] || fail "./test.sh exited 0, but its closing line does not count the tests"
  proved="built and ran every test ($counts)"
fi

say "passed: in a new Debian $suite root (minbase, nothing else installed), ./$script of ${commit:0:12} installed" \
  "$installed packages with scripts/install-dependencies.sh and $proved; $((took / 60))m$((took % 60))s for" \
  "./$script, $(( $(date +%s) - started ))s in all (log: $log)"
