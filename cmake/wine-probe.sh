#!/bin/sh
# Prints the Wine loader that can run 32-bit programs on this machine, or nothing.
# Some machines (sandboxed kernels) refuse to execute any 32-bit code, wine32 included.
/usr/lib/wine/wine --version >/dev/null 2>&1 && { echo wine; exit 0; }
exit 0
