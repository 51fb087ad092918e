#!/usr/bin/env bash
# Runs a test command that must fail (status 1) with a line matching PATTERN
# in its output: the check that a UI test fails for the right reason.
#
#   expect_failure.sh PATTERN COMMAND [ARGS...]
pattern=$1; shift
out=$("$@" 2>&1)
status=$?
if [ $status -eq 77 ]; then echo "$out"; exit 77; fi
if [ $status -ne 1 ] || ! grep -qE "$pattern" <<<"$out"; then
  printf '%s\n' "$out"
  echo "expect_failure: expected status 1 and a line matching /$pattern/, got status $status" >&2
  exit 1
fi
echo "expect_failure: failed as it should: $(grep -E -m1 "$pattern" <<<"$out")"
