#!/usr/bin/env bash
# Prints the Windows preset that Wine can run on this machine: win32, the program as it
# ships, or win64, the same program built 64-bit, where the kernel runs no 32-bit programs.
if "$(dirname "$0")/runs-32-bit.sh"; then echo win32; else echo win64; fi
