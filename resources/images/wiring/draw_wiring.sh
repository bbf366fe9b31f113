#!/bin/bash
# Draws the wiring pictures of the info panel and writes wiring.qrc beside them. Every picture is
# sized for the place it is shown on: device bodies 129x144, single inputs 92x105, quarter-height
# blocks 92x48 (left) and 115x48 (right), rail and bus strips 115x11, separators 82x1. Terminals
# always face the device body. Needs ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")"

INK='#3a3a3a'
WIRE='#1f5fa8'
FONT=DejaVu-Sans
BOLD=DejaVu-Sans-Bold

# terminal X Y: a screw terminal of 11x11 pixels at X,Y.
terminal() {
    local x=$1 y=$2
    echo "fill #d8d8d8 stroke $INK rectangle $x,$y $((x + 10)),$((y + 10))"
    echo "fill white circle $((x + 5)),$((y + 5)) $((x + 5)),$((y + 8))"
    echo "line $((x + 3)),$((y + 7)) $((x + 7)),$((y + 3))"
}

# wire X1 Y1 X2 Y2: an L-shaped wire, horizontal at the terminal's height.
wire() {
    echo "fill none stroke $WIRE polyline $1,$2 $3,$2 $3,$4"
}

# symbol KIND CX CY: the drawing of a source or load centred on CX,CY; text symbols are written
# by the caller.
symbol() {
    local kind=$1 cx=$2 cy=$3
    case $kind in
    resistor)
        echo "fill white stroke $INK rectangle $((cx - 6)),$((cy - 13)) $((cx + 6)),$((cy + 13))"
        ;;
    poti)
        echo "fill white stroke $INK rectangle $((cx - 6)),$((cy - 13)) $((cx + 6)),$((cy + 13))"
        echo "fill $INK stroke $INK line $((cx + 14)),$cy $((cx + 7)),$cy"
        echo "polygon $((cx + 7)),$cy $((cx + 11)),$((cy - 3)) $((cx + 11)),$((cy + 3))"
        ;;
    thermo)
        echo "fill none stroke $INK line $((cx - 8)),$((cy - 12)) $cx,$((cy + 10))"
        echo "stroke #c03030 line $((cx + 8)),$((cy - 12)) $cx,$((cy + 10))"
        echo "fill $INK stroke $INK circle $cx,$((cy + 10)) $cx,$((cy + 12))"
        ;;
    contact)
        echo "fill none stroke $INK line $((cx - 12)),$((cy + 4)) $((cx - 4)),$((cy + 4))"
        echo "line $((cx - 4)),$((cy + 4)) $((cx + 8)),$((cy - 4))"
        echo "line $((cx + 6)),$((cy + 4)) $((cx + 12)),$((cy + 4))"
        ;;
    relay)
        echo "fill white stroke $INK rectangle $((cx - 14)),$((cy - 9)) $((cx - 4)),$((cy + 9))"
        echo "line $((cx - 14)),$((cy + 9)) $((cx - 4)),$((cy - 9))"
        echo "fill none stroke $INK line $((cx + 2)),$((cy + 5)) $((cx + 14)),$((cy - 3))"
        echo "stroke-dasharray 2,2 line $((cx - 4)),$cy $((cx + 7)),$cy"
        ;;
    *)
        echo "fill white stroke $INK circle $cx,$cy $((cx + 13)),$cy"
        ;;
    esac
}

# render FILE W H DRAW TEXT TX TY: draws the primitives and an optional centred text.
render() {
    local file=$1 w=$2 h=$3 draw=$4 text=$5 tx=${6:-0} ty=${7:-0}
    local args=(-size "${w}x${h}" xc:none -strokewidth 1 -draw "$draw")
    if [[ -n $text ]]; then
        args+=(-font "$BOLD" -pointsize 8 -fill "$INK" -stroke none -gravity NorthWest
            -annotate "+${tx}+${ty}" "$text")
    fi
    convert "${args[@]}" "PNG32:$file.png"
    NAMES+=("$file")
}

# text_width TEXT: pixel width of TEXT in the label font.
text_width() {
    convert -font "$BOLD" -pointsize 8 label:"$1" -format '%w' info:
}

# centred_at NAME W H DRAW TEXT CX CY: renders with TEXT centred on CX,CY.
centred_at() {
    local width=0
    [[ -n $5 ]] && width=$(text_width "$5")
    render "$1" "$2" "$3" "$4" "$5" $(($6 - width / 2)) $(($7 - 6))
}

# A single input: four terminals on the right edge, the sensor left, wired to the first
# WIRES terminals. in1 NAME KIND WIRES TEXT
in1() {
    local name=$1 kind=$2 wires=$3 text=$4 draw="" i y
    for i in 0 1 2 3; do
        y=$((14 + i * 22))
        draw+="$(terminal 79 "$y") "
        if ((i < wires)); then
            draw+="$(wire 79 $((y + 5)) $((30 + i * 4)) 52) "
        fi
    done
    draw+="$(symbol "$kind" 30 52) "
    if [[ $kind == circle ]]; then
        centred_at "$name" 92 105 "$draw" "$text" 30 52
    else
        centred_at "$name" 92 105 "$draw" "$text" 30 90
    fi
}

# A quarter-height block with two terminals facing the body. quarter NAME SIDE KIND TEXT
quarter() {
    local name=$1 side=$2 kind=$3 text=$4 draw="" w tx cx
    if [[ $side == L ]]; then
        w=92 tx=79 cx=26
    else
        w=115 tx=2 cx=88
    fi
    for y in 8 29; do
        draw+="$(terminal "$tx" "$y") "
        if [[ $side == L ]]; then
            draw+="fill none stroke $WIRE polyline $tx,$((y + 5)) $((cx + 6)),$((y + 5)) $((cx + 6)),24 "
        else
            draw+="fill none stroke $WIRE polyline $((tx + 10)),$((y + 5)) $((cx - 6)),$((y + 5)) $((cx - 6)),24 "
        fi
    done
    draw+="$(symbol "$kind" "$cx" 24) "
    if [[ $kind == circle ]]; then
        centred_at "$name" "$w" 48 "$draw" "$text" "$cx" 24
    elif [[ $side == L ]]; then
        centred_at "$name" "$w" 48 "$draw" "$text" 52 24
    else
        centred_at "$name" "$w" 48 "$draw" "$text" 56 24
    fi
}

# Device body: a housing of the colour given, terminal rows top and bottom, a front window.
device() {
    local name=$1 colour=$2 draw="" i
    draw+="fill $colour stroke $INK roundrectangle 4,10 124,134 6,6 "
    for i in 0 1 2 3 4 5; do
        draw+="$(terminal $((14 + i * 17)) 0) $(terminal $((14 + i * 17)) 133) "
    done
    draw+="fill #e9f2e0 stroke $INK roundrectangle 16,24 112,54 3,3 "
    draw+="fill #7ac943 stroke none circle 22,116 22,119 "
    render "$name" 129 144 "$draw" ""
}

# A strip of contacts: the rail connector and the bus terminals.
strip() {
    local name=$1 text=$2 count=$3 draw="fill #cfd6de stroke $INK rectangle 0,0 114,10 " i
    for ((i = 0; i < count; i++)); do
        draw+="fill #b08d3c stroke none rectangle $((6 + i * 12)),3 $((12 + i * 12)),7 "
    done
    local args=(-size 115x11 xc:none -strokewidth 1 -draw "$draw")
    if [[ -n $text ]]; then
        args+=(-font "$BOLD" -pointsize 7 -fill "$INK" -gravity East -annotate +3+0 "$text")
    fi
    convert "${args[@]}" "PNG32:$name.png"
    NAMES+=("$name")
}

NAMES=()

device DEVICE_GN '#4f8f3a'
device DEVICE_GR '#a9adb1'
device DEVICE_SW '#2b2b2b'

in1 IN1_CONTACT_L contact 2 ''
in1 IN1_CONTACT_SN_L contact 2 'SN'
in1 IN1_LOGIC_L circle 2 'LOG'
in1 IN1_LOGIC_TX_L circle 3 'LOG'
in1 IN1_MA_L circle 2 'mA'
in1 IN1_MA_TX_L circle 3 'mA'
in1 IN1_NAMUR_L circle 2 'NAM'
in1 IN1_NPN_L circle 3 'NPN'
in1 IN1_PNP_L circle 3 'PNP'
in1 IN1_POTI3_L poti 3 'POT'
in1 IN1_POTI4_L poti 4 'POT'
in1 IN1_RTD2_L resistor 2 'RTD'
in1 IN1_RTD3_L resistor 3 'RTD'
in1 IN1_RTD4_L resistor 4 'RTD'
in1 IN1_S0_L circle 2 'S0'
in1 IN1_SHUNT_L resistor 2 'SH'
in1 IN1_SN_L contact 2 'SN'
in1 IN1_TC_L thermo 2 'TC'
in1 IN1_TC_PT2_L thermo 2 'TC+Pt'
in1 IN1_TC_PT3_L thermo 3 'TC+Pt'
in1 IN1_TX_L circle 2 'TX'
in1 IN1_V_L circle 2 'V'
in1 IN1_V_TX_L circle 3 'V'
in1 IN1_WID2_L resistor 2 'Ω'
in1 IN1_WID3_L resistor 3 'Ω'
in1 IN1_WID4_L resistor 4 'Ω'

for side in L R; do
    quarter "IN4_AC_$side" $side circle '~'
    quarter "IN4_CNT_$side" $side circle 'CNT'
    quarter "IN4_FRQ_$side" $side circle 'Hz'
    quarter "IN4_LOGIC_$side" $side circle 'LOG'
    quarter "IN4_MA-_$side" $side circle '-mA'
    quarter "IN4_MA_$side" $side circle 'mA'
    quarter "IN4_V_$side" $side circle 'V'
    quarter "OUT4_FRQ_$side" $side circle 'Hz'
    quarter "OUT4_LOGIC_$side" $side circle 'LOG'
    quarter "OUT4_PULSE_$side" $side circle 'PLS'
    quarter "OUT4_PWM_$side" $side circle 'PWM'
    quarter "OUT4_RELAY_$side" $side relay ''
    quarter "OUT4_SCHALT_$side" $side contact ''
done
quarter OUT4_SPG_R R circle 'V'
quarter OUT4_STROM_R R circle 'mA'
quarter POWER R circle 'DC'

strip INRAIL '' 9
strip MODBUS 'MODBUS' 3
convert -size 82x1 'pattern:gray50' -fill '#8a8a8a' -opaque black -transparent white \
    PNG32:TRENNLINIE.png
NAMES+=(TRENNLINIE)

{
    echo '<!DOCTYPE RCC>'
    echo '<RCC version="1.0">'
    echo '    <qresource prefix="/wiring">'
    for name in "${NAMES[@]}"; do
        echo "        <file alias=\"$name\">$name.png</file>"
    done
    echo '    </qresource>'
    echo '</RCC>'
} >wiring.qrc
