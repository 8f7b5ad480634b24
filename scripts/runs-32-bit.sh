#!/usr/bin/env bash
# Exits 0 when this machine's kernel runs 32-bit x86 programs itself, as 32-bit Wine
# needs. Some kernels boot with that off ("32-bit emulation disabled" in the kernel log);
# an emulator registered for them (qemu-user) runs Wine far too slowly to test with, so a
# machine that runs them only through one counts as not running them.
/lib/ld-linux.so.2 --version >/dev/null 2>&1 || exit 1
for handler in /proc/sys/fs/binfmt_misc/*; do
  grep -qx enabled "$handler" 2>/dev/null &&
    grep -q '^magic 7f454c4601010100000000000000000002000300' "$handler" && exit 1
done
exit 0
