#!/usr/bin/env bash
# Takes the documentation screenshot of an imported route: an XML split file of another
# timer, with icons, subsplits and a second comparison, converted by quorvel-convert and
# opened in the real application in a private X server.
#
#   scripts/screenshot-import.sh build/dev/quorvel build/dev/formats/quorvel-convert \
#       docs/screenshot-import.png
set -euo pipefail

app=$1
convert=$2
out=$3
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../tests/e2e/xsession.sh
. "$root/tests/e2e/xsession.sh"

xs_begin

mkdir -p "$work/config/quorvel"
printf '%s\n' '[Window]' 'Left=0' 'Top=0' >"$work/config/quorvel/Quorvel.ini"

# A small coloured square per split, as the other timer embeds them.
icon() { convert -size 24x24 "xc:$1" png:- | base64 -w0; }
segment() { # name, best segment, personal best, rival, colour
    printf '<Segment><Name>%s</Name><Icon>%s</Icon><SplitTimes>' "$1" "$(icon "$5")"
    printf '<SplitTime name="Personal Best"><RealTime>%s</RealTime></SplitTime>' "$3"
    printf '<SplitTime name="Rival"><RealTime>%s</RealTime></SplitTime>' "$4"
    printf '</SplitTimes><BestSegmentTime><RealTime>%s</RealTime></BestSegmentTime></Segment>\n' "$2"
}
{
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<Run version="1.8.0">\n'
    printf '<GameName>Bell Tower</GameName><CategoryName>Any%%</CategoryName>\n'
    printf '<Offset>-00:00:01.5000000</Offset><AttemptCount>1788</AttemptCount>\n'
    printf '<AttemptHistory><Attempt id="1" /><Attempt id="2" /></AttemptHistory><Segments>\n'
    segment "-Stairs" "00:00:42.1000000" "00:00:43.5000000" "00:00:44.0000000" "#c0392b"
    segment "-Rope" "00:00:51.2500000" "00:01:36.2000000" "00:01:38.1000000" "#d68910"
    segment "{Tower} Bells" "00:00:48.9000000" "00:02:26.0000000" "00:02:25.3000000" "#b7950b"
    segment "Crank" "00:01:02.0000000" "00:03:30.7000000" "" "#229954"
    segment "Spire" "00:00:55.5000000" "00:04:28.9900000" "00:04:31.0000000" "#2471a3"
    segment "Roof" "00:01:10.1000000" "00:05:41.2000000" "00:05:44.6000000" "#7d3c98"
    printf '</Segments><AutoSplitterSettings><Start>True</Start></AutoSplitterSettings></Run>\n'
} >"$work/bell-tower.lss"
"$convert" "$work/bell-tower.lss" "$work/bell-tower.txt"

xs_start_server
XDG_CONFIG_HOME="$work/config" "$app" "$work/bell-tower.txt" >/dev/null 2>&1 &
app_pid=$!
xs_wait_titled "$app_pid" "Quorvel - bell-tower.txt - Bell Tower - Any%"
sleep 0.5  # the first paint after the title is set
import -window "$XS_WIN" "$out"
echo "wrote $out"
xs_key ctrl+q
xs_wait_exit "$app_pid" 20 || true
