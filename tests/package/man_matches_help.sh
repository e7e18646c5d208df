#!/usr/bin/env bash
# Every option a program's --help names is in its manual page, and the manual
# page names no option the program does not have.
set -uo pipefail
man_dir=$1
bin_dir=$2
failed=0
for program in vorenta-flash vorenta-sim vorenta-port; do
  page="$man_dir/$program.1"
  help=$("$bin_dir/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
  # roff writes a hyphen as \-; example lines of other programs do not count.
  documented=$(sed 's/\\-/-/g' "$page" | awk -v self="$program" '$1 !~ /^vorenta-/ || $1 == self' |
    grep -o -- '--[a-z][a-z-]*' | sort -u)
  missing=$(comm -23 <(echo "$help") <(echo "$documented"))
  extra=$(comm -13 <(echo "$help") <(echo "$documented"))
  if [ -n "$missing" ]; then
    echo "FAILED: $page lacks:" $missing
    failed=1
  fi
  if [ -n "$extra" ]; then
    echo "FAILED: $page names options $program --help does not:" $extra
    failed=1
  fi
  echo "$program: $(echo "$help" | wc -l) options in --help and in the manual page"
done
exit $failed
