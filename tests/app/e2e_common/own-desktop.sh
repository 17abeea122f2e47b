#!/bin/sh
# Wine links the desktop of a new prefix to the home folder; the drivers need one of their
# own inside the prefix (logs land there, the shell tree shows it).
# Argument: the prefix.
for desktop in "$1"/drive_c/users/*/Desktop; do
    if [ -L "$desktop" ] && [ "$(basename "$(dirname "$desktop")")" != Public ]; then
        rm -f "$desktop" && mkdir -p "$desktop"
    fi
done
