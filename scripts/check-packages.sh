#!/usr/bin/env bash
# Fails when the build uses a file of a Debian package that scripts/bootstrap.sh
# does not install, directly or as a dependency: such a package is on this
# machine only by accident, and a fresh machine would not build.
#
# Usage: scripts/check-packages.sh [--bootstrap FILE] [--uses FILE]... [--GROUP]... BUILD_DIR...
#   --GROUP       the bootstrap groups the caller installs (as given to bootstrap.sh)
#   --bootstrap   the bootstrap script whose lists are checked (default: the tree's)
#   --uses        a system file the tests run that no build file names (Wine's
#                 loaders, say); checked like the build's own
#   BUILD_DIR     configured and built trees (native or cross); their options and
#                 toolchain file are configured again with a trace into a scratch tree
#
# The files looked at: the CMake scripts the configure step ran and the files
# it requires to exist (imported targets' files), the tools in CMakeCache.txt,
# every system file build.ninja names (libraries, tools), and every header the
# compiler read (ninja's dependency log). Each is mapped to its
# package with dpkg; the allowed packages are the bootstrap lists, their
# Depends and Pre-Depends recursively, and the packages every Debian system has.
set -euo pipefail

src=$(cd "$(dirname "$0")/.." && pwd)
bootstrap=$src/scripts/bootstrap.sh
groups=()
builds=()
uses=()
while (($#)); do
  case "$1" in
    --bootstrap) bootstrap=$2; shift 2 ;;
    --uses) uses+=("$2"); shift 2 ;;
    --*) groups+=("$1"); shift ;;
    *) builds+=("$(cd "$1" && pwd)"); shift ;;
  esac
done
for f in "${uses[@]}"; do
  [[ -f "$f" ]] || { echo "check-packages: $f (--uses) does not exist" >&2; exit 1; }
done
if ((${#builds[@]} == 0)); then
  echo "check-packages: name at least one build tree" >&2
  exit 2
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# --- the packages allowed --------------------------------------------------
mapfile -t listed < <(bash "$bootstrap" --list "${groups[@]}")
apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts \
  --no-breaks --no-replaces --no-enhances "${listed[@]}" 2>/dev/null |
  grep -v '^ ' | sed 's/:.*//' | tr -d '<>' >"$tmp/allowed"
printf '%s\n' "${listed[@]}" >>"$tmp/allowed"
# Essential and required packages are on every Debian system.
dpkg-query -W -f='${Package} ${Essential} ${Priority}\n' |
  awk '$2 == "yes" || $3 == "required" { print $1 }' >>"$tmp/allowed"
sort -u -o "$tmp/allowed" "$tmp/allowed"

# --- the files used --------------------------------------------------------
system_paths() { grep -oE '(^|[^A-Za-z0-9_.+-])/(usr|lib|lib64|bin|sbin|etc|opt)/[A-Za-z0-9_./+-]+' | sed 's/^[^/]//'; }
for b in "${builds[@]}"; do
  [[ -f "$b/CMakeCache.txt" && -f "$b/build.ninja" ]] || { echo "check-packages: $b is not a configured build tree" >&2; exit 2; }
  # Configure the same options again, traced, in a scratch tree.
  opts=()
  while IFS= read -r line; do opts+=("-D$line"); done < <(
    grep -E '^(CMAKE_BUILD_TYPE|CMAKE_TOOLCHAIN_FILE|VEYRA_[A-Z0-9_]+):' "$b/CMakeCache.txt")
  cfg=$tmp/cfg-${#opts[@]}-$RANDOM
  if ! cmake -S "$src" -B "$cfg" -G Ninja "${opts[@]}" --trace-expand \
      --trace-redirect="$tmp/trace" >"$tmp/configure.log" 2>&1; then
    echo "check-packages: configuring $src again failed:" >&2
    cat "$tmp/configure.log" >&2
    exit 1
  fi
  {
    # The scripts it ran and the files it insists on (imported targets' files).
    sed -nE 's/^(\/[^(]+)\([0-9]+\):.*/\1/p' "$tmp/trace"
    grep -E '^[^ ]+\([0-9]+\): +if\(NOT EXISTS ' "$tmp/trace" | sed 's/^[^ ]*//' | system_paths
    # The tools it chose. Other cached finds count where build.ninja uses them:
    # optional probes (FindX11's extensions, say) that nothing uses are fine.
    sed -nE 's/^(CMAKE_[A-Z_]+|PKG_CONFIG_EXECUTABLE):[A-Z]+=//p' "$b/CMakeCache.txt" | system_paths
    system_paths <"$b/build.ninja"
    ninja -C "$b" -t deps 2>/dev/null | system_paths
  } >>"$tmp/paths"
  rm -rf "$cfg" "$tmp/trace"
done
((${#uses[@]} == 0)) || printf '%s\n' "${uses[@]}" >>"$tmp/paths"
sort -u "$tmp/paths" | while IFS= read -r f; do
  [[ -f "$f" ]] && printf '%s\n' "$f"
done >"$tmp/files"

# --- their packages --------------------------------------------------------
# dpkg knows a file by the name its package installed it under: try the name
# as used, then with symlinks resolved, then across the merged /usr.
owners() {  # reads paths on stdin, prints "package<TAB>path" for those found
  { xargs -r -d '\n' dpkg-query -S 2>/dev/null || true; } | { grep -v '^diversion by' || true; } |
    awk -F': ' '{ n = split($1, p, ", "); for (i = 1; i <= n; ++i) { sub(/:.*/, "", p[i]); print p[i] "\t" $2 } }'
}
owners <"$tmp/files" >"$tmp/owned"
cut -f2 "$tmp/owned" | sort -u >"$tmp/found"
sort -u "$tmp/files" | comm -23 - "$tmp/found" | while IFS= read -r f; do
  r=$(realpath -e "$f")
  for alt in "$r" "${r#/usr}" "/usr$r"; do printf '%s\t%s\n' "$alt" "$f"; done
done >"$tmp/alternates"
cut -f1 "$tmp/alternates" | sort -u | owners | while IFS=$'\t' read -r pkg alt; do
  awk -F'\t' -v a="$alt" -v p="$pkg" '$1 == a { print p "\t" $2 }' "$tmp/alternates"
done >>"$tmp/owned"

# A file is fine when any package that owns it is allowed.
awk -F'\t' 'NR == FNR { ok[$1] = 1; next } { own[$2] = own[$2] (own[$2] ? ", " : "") $1; if ($1 in ok) good[$2] = 1 }
  END { for (f in own) if (!(f in good)) print own[f] "\t" f }' "$tmp/allowed" "$tmp/owned" | sort >"$tmp/foreign"
cut -f2 "$tmp/owned" | sort -u | comm -13 - <(sort -u "$tmp/files") | grep -E '^/(usr/local|opt)/' >"$tmp/unowned" || true

status=0
if [[ -s "$tmp/foreign" ]]; then
  echo "check-packages: the build uses files of packages that $(basename "$bootstrap") does not install" >&2
  echo "(neither listed nor a dependency of a listed package); a fresh machine would lack them:" >&2
  cut -f1 "$tmp/foreign" | sort -u | sed 's/^/  package: /' >&2
  sed 's/\t/: /; s/^/    /' "$tmp/foreign" >&2
  status=1
fi
if [[ -s "$tmp/unowned" ]]; then
  echo "check-packages: the build uses files that no Debian package installed:" >&2
  sed 's/^/    /' "$tmp/unowned" >&2
  status=1
fi
((status)) || echo "check-packages: $(wc -l <"$tmp/files") system files used, all from the $(wc -l <"$tmp/allowed") packages bootstrap installs or pulls in"
exit $status
