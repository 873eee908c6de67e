#!/usr/bin/env bash
# Writes a catalogue of 32 767 ordinary sections into DIR: 16 384 boxes
# (widths and heights 0.300 m to 3.475 m by 25 mm) and 16 383 pipes
# (0.300 m to 3.030 m by 1 mm, repeated). Usage: large_catalogue.sh DIR
set -eu
dir=$1
mkdir -p "$dir"
awk 'BEGIN { for (i = 0; i < 16384; i++)
               printf "%5.3f %5.3f\r\n", 0.3 + 0.025 * (i % 128), 0.3 + 0.025 * int(i / 128) }' \
  >"$dir/BOX.TXT"
awk 'BEGIN { for (i = 0; i < 16383; i++) printf "%5.3f\r\n", 0.3 + 0.001 * (i % 2731) }' \
  >"$dir/KAN.TXT"
