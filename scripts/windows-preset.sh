#!/usr/bin/env bash
# Prints the Windows preset that Wine can run on this machine: win32, the program as it
# ships, or win64, the same program built 64-bit, where the kernel runs no 32-bit programs
# or 32-bit Wine is not installed (scripts/install-deps.sh goes on without it when the
# mirror's i386 packages cannot be installed).
if "$(dirname "$0")/runs-32-bit.sh" && [ -x /usr/lib/wine/wine ]; then
  echo win32
else
  echo win64
fi
