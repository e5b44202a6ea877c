#!/usr/bin/env bash
# The manual page formats with every groff warning on and draws none, and
# it describes every option the program's --help lists.
set -euo pipefail
groff=$1 page=$2 program=$3
warnings=$("$groff" -ww -man -z "$page" 2>&1)
if [ -n "$warnings" ]; then
  echo "$warnings"
  exit 1
fi
text=$("$groff" -man -Tutf8 -P-c -P-b -P-u "$page" 2>/dev/null | sed 's/\xe2\x80\x90/-/g')
status=0
for option in $("$program" --help | grep -o -- '^ *--[a-z-]*\|^ */[A-Z]=' | tr -d ' ' | sort -u); do
  if ! grep -qE -- "$option([^a-z-]|\$)" <<<"$text" && ! [[ $option == /* && $text == *$option* ]]; then
    echo "the manual page does not describe $option"
    status=1
  fi
done
exit $status
