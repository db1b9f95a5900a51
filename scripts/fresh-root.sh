# What the checks in a new Debian root share (sourced by scripts/fresh-machine-check.sh and
# scripts/package.sh): the place of the kept base roots, this machine's apt sources, and the mounts of a
# copy of a base.

readonly cache_root=/var/cache/scenario-fresh-machine
readonly package_cache=/var/cache/apt/archives

# Every enabled "deb" entry of this machine's apt sources, one per line: URI SUITE COMPONENT...
# Reads the one-line files (sources.list, *.list) and the deb822 files (*.sources).
apt_sources() {
  local list parts file
  eval "$(apt-config shell list Dir::Etc::sourcelist/f parts Dir::Etc::sourceparts/d)"
  for file in "$list" "$parts"*.list; do
    [ -f "$file" ] || continue
    sed -E 's/#.*//; s/\[[^]]*\]//' "$file" | awk '$1 == "deb" && NF >= 3 { $1 = ""; sub(/^ /, ""); print }'
  done
  for file in "$parts"*.sources; do
    [ -f "$file" ] || continue
    awk '
      function flush(   n, m, i, j, u, s) {
        if (types ~ /(^| )deb( |$)/ && tolower(enabled) != "no" && uris != "" && suites != "") {
          n = split(uris, u, " "); m = split(suites, s, " ")
          for (i = 1; i <= n; i++) for (j = 1; j <= m; j++) print u[i], s[j], components
        }
        types = uris = suites = components = field = ""; enabled = "yes"
      }
      BEGIN { flush() }
      /^#/ { next }
      /^[ \t]*$/ { flush(); next }
      function words(text) { gsub(/^[ \t]+|[ \t]+$/, "", text); gsub(/[ \t]+/, " ", text); return text }
      /^[ \t]/ {  # a value continued on the next line (a key block of Signed-By, say)
        if (field == "uris") uris = uris " " words($0)
        else if (field == "suites") suites = suites " " words($0)
        else if (field == "components") components = components " " words($0)
        next
      }
      {
        colon = index($0, ":"); if (colon == 0) next
        field = tolower(substr($0, 1, colon - 1)); value = words(substr($0, colon + 1))
        if (field == "types") types = value; else if (field == "uris") uris = value
        else if (field == "suites") suites = value; else if (field == "components") components = value
        else if (field == "enabled") enabled = value
      }
      END { flush() }
    ' "$file"
  done
}

# The mount points at or below a directory.
mounts_under() { awk -v d="$1" '$5 == d || index($5, d "/") == 1 { print $5 }' /proc/self/mountinfo; }

# Unmounts everything at or below a directory, the deepest first.
unmount_under() {
  local point
  while read -r point; do
    umount "$point" 2> /dev/null || umount -l "$point" || true
  done < <(mounts_under "$1" | sort -r)
}

# apt inside a root ROOT of suite SUITE: this machine's sources of the suite (and its -updates,
# -security), retried downloads, this machine's name servers.
use_machine_apt_sources() {
  local root=$1 suite=$2
  {
    apt_sources | while read -r uri entry_suite entry_components; do
      if [ "$entry_suite" = "$suite" ] || [[ "$entry_suite" == "$suite"[-/]* ]]; then
        printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: %s\n\n' "$uri" "$entry_suite" "${entry_components:-main}"
      fi
    done
  } > "$root/etc/apt/sources.list.d/fresh-machine.sources"
  rm -f "$root/etc/apt/sources.list"
  echo 'Acquire::Retries "5";' > "$root/etc/apt/apt.conf.d/80retries"
  rm -f "$root/etc/resolv.conf"
  cat /etc/resolv.conf > "$root/etc/resolv.conf"
}
