#!/usr/bin/env bash
# Checks a file with freedesktop.org's validator for its kind; anything the validator says fails
# the check, warnings included. Exits with 77 (skipped) when the validator is not installed.
# Usage: validate-desktop-file.sh desktop|metainfo FILE
set -uo pipefail
kind="$1"
file="$2"
case "$kind" in
  desktop) command=(desktop-file-validate "$file") ;;
  metainfo) command=(appstreamcli validate --no-net --explain "$file") ;;
  *) echo "unknown kind $kind" >&2; exit 2 ;;
esac
if ! command -v "${command[0]}" >/dev/null; then
  echo "${command[0]} is not installed: skipped"
  exit 77
fi
output="$("${command[@]}" 2>&1)"
status=$?
echo "$output"
if [ "$kind" = metainfo ]; then
  # appstreamcli ends with a summary line (its tick is a "?" without a UTF-8 locale); only
  # pedantic hints may remain.
  output="$(printf '%s\n' "$output" | grep -Ev '^(P: |([^ ]+ )?Validation was successful)' | grep -v '^ ' || true)"
fi
[ $status -eq 0 ] && [ -z "$output" ]
