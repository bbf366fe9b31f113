#!/usr/bin/env bash
# Draws the 16-pixel pictures of the tree and command image list with ImageMagick. The PNGs are
# committed; run this again only to change them. File name = image index.
set -eu
cd "$(dirname "$0")"

ink='#2b3a4a'   # outlines
body='#dfe6ee'  # device housings
blue='#2f6fb3'
green='#2e9a4c'
orange='#d9822b'
grey='#9aa3ad'
red='#c23b32'

icon() { # icon index draw-arguments...
    local index=$1
    shift
    convert -size 16x16 xc:none -strokewidth 1 "$@" "$index.png"
}

# A DIN-rail housing: the common outline of every device picture.
housing() { # fill colour; the arguments land in H
    H=(-fill "$1" -stroke "$ink" -draw "roundrectangle 3,1 12,14 2,2")
}

# 9: read from device (arrow out of the device, down to the program)
housing "$body"
icon 9 "${H[@]}" -stroke none -fill "$blue" \
    -draw "rectangle 6,3 9,8" -draw "polygon 4,8 11,8 7.5,12.5"
# 41: read/write without a selection (greyed arrow)
housing '#eef0f2'
icon 41 "${H[@]}" -stroke none -fill "$grey" \
    -draw "rectangle 6,3 9,8" -draw "polygon 4,8 11,8 7.5,12.5"
# 33: write to device (arrow up into the device)
housing "$body"
icon 33 "${H[@]}" -stroke none -fill "$orange" \
    -draw "rectangle 6,7 9,12" -draw "polygon 4,7 11,7 7.5,2.5"
# 42: write not possible here (greyed upward arrow)
housing '#eef0f2'
icon 42 "${H[@]}" -stroke none -fill "$grey" \
    -draw "rectangle 6,7 9,12" -draw "polygon 4,7 11,7 7.5,2.5"

# 30: the segment, a bus line with three stations
icon 30 -stroke "$ink" -fill none -draw "line 1,8 14,8" \
    -fill "$blue" -draw "rectangle 1,3 4,6" -draw "rectangle 6,3 9,6" -draw "rectangle 11,3 14,6" \
    -draw "line 2,6 2,8" -draw "line 7,6 7,8" -draw "line 12,6 12,8" \
    -fill "$ink" -draw "rectangle 0,10 15,11"
# 44: Modbus diagnostics not available (the bus greyed)
icon 44 -stroke "$grey" -fill none -draw "line 1,8 14,8" \
    -fill '#d5d9de' -draw "rectangle 1,3 4,6" -draw "rectangle 6,3 9,6" -draw "rectangle 11,3 14,6" \
    -draw "line 2,6 2,8" -draw "line 7,6 7,8" -draw "line 12,6 12,8" \
    -fill "$grey" -draw "rectangle 0,10 15,11"

# 20 / 21: a device, and the device when selected (lit status lamp)
housing "$body"
icon 20 "${H[@]}" -stroke "$ink" -fill white -draw "rectangle 5,3 10,7" \
    -stroke none -fill "$grey" -draw "rectangle 5,10 6,11" -draw "rectangle 9,10 10,11"
housing '#cfe0f4'
icon 21 "${H[@]}" -stroke "$ink" -fill white -draw "rectangle 5,3 10,7" \
    -stroke none -fill "$green" -draw "rectangle 5,10 6,11" -fill "$blue" \
    -draw "rectangle 9,10 10,11"

# 22: an input (signal arrow into a terminal)
icon 22 -stroke "$ink" -fill "$body" -draw "rectangle 9,3 14,12" -stroke none -fill "$green" \
    -draw "rectangle 1,6 6,9" -draw "polygon 6,4 10,7.5 6,11"
# 23: an output (signal arrow out of a terminal)
icon 23 -stroke "$ink" -fill "$body" -draw "rectangle 1,3 6,12" -stroke none -fill "$orange" \
    -draw "rectangle 7,6 10,9" -draw "polygon 10,4 14,7.5 10,11"
# 24: a relay or switching output that is in use (closed contact)
icon 24 -stroke "$ink" -fill none -draw "line 1,11 5,11" -draw "line 10,11 14,11" \
    -stroke "$green" -strokewidth 2 -draw "line 5,11 10,11" -stroke "$ink" -strokewidth 1 \
    -fill "$green" -draw "circle 5,11 5,12.5" -draw "circle 10,11 10,12.5" \
    -fill "$body" -draw "rectangle 4,2 11,6"
# 25: a function switched off (open contact)
icon 25 -stroke "$ink" -fill none -draw "line 1,11 5,11" -draw "line 10,11 14,11" \
    -stroke "$red" -strokewidth 2 -draw "line 5,11 10,6" -stroke "$ink" -strokewidth 1 \
    -fill white -draw "circle 5,11 5,12.5" -draw "circle 10,11 10,12.5"
# 26: the Modbus interface (a two-wire bus plug)
icon 26 -stroke "$ink" -fill "$blue" -draw "roundrectangle 2,4 13,11 2,2" -stroke none \
    -fill white -draw "rectangle 4,6 5,9" -draw "rectangle 10,6 11,9" -fill "$ink" \
    -draw "rectangle 7,11 8,15"
# 27: device data (identification)
icon 27 -stroke "$ink" -fill white -draw "rectangle 2,1 13,14" -stroke none -fill "$blue" \
    -draw "rectangle 7,3 8,4" -draw "rectangle 7,6 8,12" -draw "rectangle 6,6 7,6" \
    -draw "rectangle 6,12 9,12"
# 28: a digital input channel (square wave into a terminal)
icon 28 -stroke "$ink" -fill "$body" -draw "rectangle 11,3 15,12" -stroke "$green" -fill none \
    -strokewidth 2 -draw "polyline 0,11 3,11 3,4 7,4 7,11 10,11"
# 29: a digital output channel (square wave out of a terminal)
icon 29 -stroke "$ink" -fill "$body" -draw "rectangle 0,3 4,12" -stroke "$orange" -fill none \
    -strokewidth 2 -draw "polyline 5,11 8,11 8,4 12,4 12,11 15,11"
