#!/usr/bin/env bash
# Adds source entries (Types: deb-src) for the Debian archives this machine
# already installs binaries from, so that `apt-get source` can fetch Debian's
# own source packages. The URIs, suites, components and keys are copied from
# the machine's existing Debian entries; no host name is written here.
# Prints nothing and changes nothing when source entries are already there.
set -euo pipefail

target=/etc/apt/sources.list.d/veyra-deb-src.sources
[[ -e $target || -e /etc/apt/sources.list.d/veyra-deb-src.list ]] && exit 0
# One-line and deb822 lists that already carry deb-src entries need nothing.
if grep -qsE '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list ||
   grep -qsE '^Types:.*\bdeb-src\b' /etc/apt/sources.list.d/*.sources; then
  exit 0
fi

out=$(mktemp)
trap 'rm -f "$out"' EXIT

# deb822 stanzas: keep those of Types deb that are enabled and signed by the
# Debian archive keyring (that is, Debian's own archives).
for f in /etc/apt/sources.list.d/*.sources; do
  [[ -e $f ]] || continue
  awk '
    function flush() {
      if (types ~ /(^|[ \t])deb([ \t]|$)/ && enabled != "no" && uris != "" && signed ~ /debian-archive-keyring/) {
        print "Types: deb-src"; print "URIs: " uris; print "Suites: " suites
        print "Components: " comps; print "Signed-By: " signed; print ""
      }
      types = uris = suites = comps = signed = enabled = ""
    }
    /^[ \t]*$/ { flush(); next }
    /^#/ { next }
    {
      key = tolower($1); sub(/:$/, "", key); val = $0; sub(/^[^:]*:[ \t]*/, "", val)
      if (key == "types") types = val; else if (key == "uris") uris = val
      else if (key == "suites") suites = val; else if (key == "components") comps = val
      else if (key == "signed-by") signed = val; else if (key == "enabled") enabled = tolower(val)
    }
    END { flush() }' "$f" >>"$out"
done

# One-line entries: "deb [options] URI suite component...".
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [[ -e $f ]] || continue
  awk '$1 == "deb" && ($0 ~ /debian/) { $1 = "deb-src"; print }' "$f" |
    while read -r line; do printf '%s\n' "$line"; done >>"$out.list"
done
if [[ -s $out.list ]]; then
  cp "$out.list" /etc/apt/sources.list.d/veyra-deb-src.list
fi
rm -f "$out.list"

if [[ -s $out ]]; then
  install -m 0644 "$out" "$target"
fi
if [[ ! -e $target && ! -e /etc/apt/sources.list.d/veyra-deb-src.list ]]; then
  echo "windows-deb-src: no Debian archive found in the apt source lists" >&2
  exit 1
fi
