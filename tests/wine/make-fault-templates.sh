#!/usr/bin/env bash
# Makes the faulty templates the start-up tests embed in copies of the installer:
#   truncated.tpl      the installer's template cut off inside its first unit table
#   other-window.tpl   a sound template whose only window is 0x52010002, so the
#                      start-up window 0x52010001 is missing
#   no-window-record.tpl the start-up window's section with no records at all
set -euo pipefail
template=$1
out_dir=$2
mkdir -p "$out_dir"
head -c 1000 "$template" > "$out_dir/truncated.tpl"
cp "$template" "$out_dir/other-window.tpl"
# The first window id sits right after the directory length word.
printf '\x02' | dd of="$out_dir/other-window.tpl" bs=1 seek=4 conv=notrunc status=none
# Directory of one window, then its section: tag 1, flags, two empty texts, no units.
printf '\x08\0\0\0\x01\0\x01\x52\0\0\0\0\x01\0\0\0\x0d\0\x01\x19\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' \
  > "$out_dir/no-window-record.tpl"
