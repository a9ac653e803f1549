#!/usr/bin/env bash
# Succeeds when this machine's kernel runs 32-bit x86 Linux programs, which
# Wine needs for 32-bit Windows programs (wine32). Some virtual machines'
# kernels have no such support; there any 32-bit program fails to start.
[ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
