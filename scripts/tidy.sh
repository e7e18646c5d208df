#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the tree's sources listed in a
# build folder's compile_commands.json. Exits non-zero on any finding.
#
#   scripts/tidy.sh [-p BUILD_DIR] [-j JOBS] [FOLDER...]
#
# BUILD_DIR defaults to build/debug (configured with the debug preset when it has
# no compile_commands.json yet). FOLDERs (relative to the tree's root, e.g.
# platform/posix tools/vorenta-sim) narrow the run to the sources under them and
# the findings to the headers under them; without any, the whole tree is checked.
# A win64 build folder works too (-p build/win64): platform/win32 and ui/win32
# are checked from there.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

build="build/debug"
jobs="$(nproc 2>/dev/null || echo 2)"
while getopts "p:j:h" opt; do
  case "$opt" in
    p) build="$OPTARG" ;;
    j) jobs="$OPTARG" ;;
    *) sed -n '2,12s/^# \{0,1\}//p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

tidy="$(command -v clang-tidy || command -v clang-tidy-14 || true)"
if [ -z "$tidy" ]; then
  echo "tidy: clang-tidy not found (Debian: apt-get install clang-tidy)" >&2
  exit 2
fi

db="$build/compile_commands.json"
if [ ! -f "$db" ]; then
  if [ "$build" = "build/debug" ]; then
    cmake --preset debug >/dev/null
  else
    echo "tidy: $db not found; configure that build first" >&2
    exit 2
  fi
fi

folders=("$@")
if [ ${#folders[@]} -eq 0 ]; then
  # The whole tree: every top folder but the build folders.
  for d in */; do
    case "$d" in build/ | build-*/) ;; *) folders+=("$d") ;; esac
  done
fi
prefixes=()
for f in "${folders[@]}"; do
  f="${f%/}"
  if [ ! -d "$f" ]; then
    echo "tidy: no folder $f" >&2
    exit 2
  fi
  prefixes+=("$(cd "$f" && pwd)/")
done

# Sources of the tree (never generated ones in a build folder) under the folders.
mapfile -t files < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$db" | sort -u |
  while read -r file; do
    for p in "${prefixes[@]}"; do
      case "$file" in "$p"*) echo "$file"; break ;; esac
    done
  done)
if [ ${#files[@]} -eq 0 ]; then
  echo "tidy: no sources of $db under ${folders[*]}" >&2
  exit 2
fi

# Findings in headers count when the header lies under one of the folders.
filter=""
for p in "${prefixes[@]}"; do
  rel="${p#"$root"/}"
  filter+="${filter:+|}${rel}"
done
filter="^$(printf '%s' "$root" | sed 's/[.[\*^$()+?{}|]/\\&/g')/(${filter//./\\.})"

# A cross build (the win64 preset's MinGW): clang is told the compiler's
# target and given its C++ library headers; gcc's own intrinsics are not for
# clang, which brings its own.
extra=()
cc="$(sed -n 's/^ *"command": "\([^ ]*\) .*/\1/p' "$db" | head -n 1)"
if [ -n "$cc" ] && target="$("$cc" -dumpmachine 2>/dev/null)" &&
  [ "$target" != "$(c++ -dumpmachine 2>/dev/null)" ]; then
  extra+=(--extra-arg-before=--target="$target" --extra-arg=-Wno-unknown-warning-option
    --extra-arg=-nostdinc++)
  while read -r dir; do
    dir="$(realpath -m "$dir")"
    case "$dir" in */lib/gcc/*/include | */lib/gcc/*/include-fixed) continue ;; esac
    extra+=("--extra-arg=-isystem$dir")
  done < <("$cc" -E -x c++ - -v </dev/null 2>&1 |
    sed -n '/<\.\.\.> search starts here/,/End of search/p' | sed -n 's/^ //p')
fi

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
start=$SECONDS
# One clang-tidy a source, each writing its findings to a file of its own.
check_one() {  # NUMBER SOURCE
  eval "local args=($TIDY_ARGS)"
  "${args[@]}" "$2" >"$TIDY_OUT/$1.log" 2>&1 || echo "$2" >>"$TIDY_OUT/failed"
}
export -f check_one
export TIDY_OUT="$out"
TIDY_ARGS="$(printf '%q ' "$tidy" --quiet -p "$build" --header-filter="$filter" "${extra[@]}")"
export TIDY_ARGS
printf '%s\n' "${files[@]}" | nl -nrz -w5 | xargs -P "$jobs" -L 1 bash -c 'check_one "$@"' _

status=0
if [ -s "$out/failed" ]; then
  status=1
  # Each finding once (a header's finding shows in every source including it).
  cat "$out"/*.log | grep -E '^[^ ].*(warning|error): ' | sort -u
  echo "tidy: findings in $(sort -u "$out/failed" | wc -l) of ${#files[@]} sources:" >&2
  sort -u "$out/failed" | sed "s|^$root/|  |" >&2
fi
echo "tidy: ${#files[@]} sources checked in $((SECONDS - start)) s" >&2
exit $status
