#!/usr/bin/env bash
# Sourced by every script of tools/: the one way a script stops.
#   source tools/lib/common.sh

# Ends the calling script with one line that says what went wrong and what to do.
splash_fail() {
  echo "$(basename "$0"): $*" >&2
  exit 1
}
