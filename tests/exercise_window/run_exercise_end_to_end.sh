#!/usr/bin/env bash
# The exercise as a learner runs it: the real program from a copy of its bundled folder under a
# virtual display, playing into a PulseAudio null sink.
#   (a) manual mode: Exercise > Start shows the first card at once; the digit 9 gives that pair
#       "not more use"; Enter writes each solution and brings the next card, three cards in
#       all; "No" to the question at the end closes the exercise window, Exercise > Exit the
#       program. lexaro-lang then shows the pair with both marks cleared, and the settings no
#       longer list it.
#   (b) automatic mode with 1 s delays and speech: Space starts it, the three cards pass on their
#       own up to the question at the end, and the recording of the null sink's monitor during
#       the run is not silent.
#   (c) killed mid-run: two cards practised, the third on the table, then the program is
#       killed (SIGKILL). The practice journal beside the language file holds the two cards
#       that had left the table, each a whole line.
# Uses the PulseAudio server of the test run when it has the sink lexaro_null (scripts/test.sh
# starts one), otherwise starts its own the same way.
#   run_exercise_end_to_end.sh <bundled application folder> <lexaro-lang> <folder for screenshots>
set -euo pipefail
bundle=$1
langtool=$2
shots=$3
here=$(cd "$(dirname "$0")" && pwd)
preset="$here/../../resources/Lexaro.Ini.in"
caption='Exercise - English/Deutsch'

if [ "${LEXARO_E2E_INNER:-}" != 1 ]; then
  for f in Lexaro Text.Db LangFiles/English-Deutsch.lang; do
    [ -e "$bundle/$f" ] || { echo "exercise end-to-end: the bundled folder lacks $f" >&2; exit 1; }
  done
  mkdir -p "$shots"
  work=$(mktemp -d)
  # shellcheck source=../support/null_sink.sh
  . "$(dirname "$0")/../support/null_sink.sh"
  cleanup() {
    end_null_sink
    rm -rf "$work" 2>/dev/null || true
  }
  trap cleanup EXIT
  use_null_sink "$work" "exercise end-to-end" || exit 1
  LEXARO_E2E_INNER=1 WORK="$work" xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$0" "$bundle" "$langtool" "$shots"
  exit $?
fi

export QT_QPA_PLATFORM=xcb
pid=""
recorder=""
fail() {
  echo "exercise end-to-end: $*" >&2
  [ -n "$recorder" ] && kill "$recorder" 2>/dev/null
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}

# A fresh copy of the bundle with the preset settings, changed as given (key=value lines).
prepare() {
  app="$WORK/app-$1"
  shift
  rm -rf "$app"
  cp -r "$bundle" "$app"
  # The learner's first start: the bundled preset, with this run's changes.
  local ini
  ini=$(tr -d '\r' <"$preset")
  for change in "$@"; do
    ini=$(sed "s/^${change%%=*}=.*/$change/" <<<"$ini")
  done
  printf '%s\n' "$ini" | sed 's/$/\r/' >"$app/Lexaro.Ini"
}

start() {
  "$app/Lexaro" &
  pid=$!
  main=$(timeout 30 xdotool search --sync --onlyvisible --name 'V2\.02' | head -1) ||
    fail "no main window appeared"
  xdotool mousemove 1270 1010
  focus "$main"
}
focus() {
  for _ in $(seq 20); do
    xdotool windowfocus --sync "$1" 2>/dev/null && return 0
    sleep 0.2
  done
  return 0
}
# Exercise > Start or Exit, by keyboard as a learner would.
menu() {
  focus "$main"
  xdotool key alt+e
  sleep 0.5
  xdotool key "$1"
}
# The exercise window, or the question it asks (same caption, a second window).
exercise_window() {
  ex=$(timeout 30 xdotool search --sync --onlyvisible --name "^$caption\$" | head -1) ||
    fail "no exercise window appeared"
  focus "$ex"
}
question() {
  local limit=$1
  for _ in $(seq $((limit * 5))); do
    for w in $(xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null); do
      [ "$w" != "$ex" ] && { box=$w; return 0; }
    done
    sleep 0.2
  done
  return 1
}
# Waits until the exercise window shows the same picture twice in a row: no card flying, no
# wipe, no letters being written.
settle() {
  local previous="$WORK/settle-a.png" current="$WORK/settle-b.png" same=0
  import -window "$ex" "$previous" 2>/dev/null || true
  for _ in $(seq 150); do
    sleep 0.3
    import -window "$ex" "$current" 2>/dev/null || continue
    if [ "$(compare -metric AE "$previous" "$current" null: 2>&1 || true)" = 0 ]; then
      same=$((same + 1))
      [ "$same" -ge 2 ] && return 0
    else
      same=0
    fi
    mv "$current" "$previous"
  done
  fail "the exercise window never came to rest"
}
finish() {
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end"
  wait "$pid" || fail "the program ended with status $?"
  pid=""
}
differs() {
  [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" != 0 ]
}
# Silver pixels (the wipe's colour) on the card table of an exercise window picture.
silver() {
  convert "$1" -crop 440x190+12+46 +repage -fill black +opaque 'rgb(192,192,192)' \
    -fill white -opaque 'rgb(192,192,192)' -format '%[fx:round(mean*w*h)]' info:
}
# Pictures of the exercise window every 150 ms from now for about 4 s: the wipe of the card on
# the table and the flight of the next one. The wipe's silver must be gone while the next card
# is still in flight (it used to stay under the whole flight).
flight_series() {
  local n
  for n in $(seq -w 1 27); do
    import -window "$ex" "$shots/exercise-flight-$n.png" 2>/dev/null || true
    sleep 0.15
  done
  local seen=0 cleared=0 last="$shots/exercise-flight-27.png"
  for shot in "$shots"/exercise-flight-*.png; do
    local s
    s=$(silver "$shot")
    if [ "$s" -gt 1000 ]; then
      seen=1
    elif [ "$seen" = 1 ] && [ "$s" = 0 ] && differs "$shot" "$last"; then
      cleared=1
    fi
  done
  [ "$seen" = 1 ] || fail "no picture of the series shows the wipe"
  [ "$cleared" = 1 ] || fail "the wipe's silver stayed on the table while the next card flew in"
}

# --- (a) manual mode ------------------------------------------------------------------------
prepare manual AutoPresent=False MaxWords=3 ShowTable=False VoicePresent=0 VoiceAnswer=False
start
menu s
exercise_window
import -window root "$shots/exercise-manual-first-card.png"
xdotool key 9
settle
import -window root "$shots/exercise-manual-not-more-use.png"
for card in 1 2 3; do
  xdotool key Return # the solution, letter by letter
  settle
  import -window "$ex" "$WORK/card$card.png"
  import -window root "$shots/exercise-manual-card$card-solution.png"
  if [ "$card" -gt 1 ]; then
    differs "$WORK/card$((card - 1)).png" "$WORK/card$card.png" ||
      fail "card $card looks like card $((card - 1))"
  fi
  xdotool key Return # the next card, or the end
  if [ "$card" = 1 ]; then
    flight_series
    echo "exercise end-to-end (a): the wipe and the next card's flight, pictures every 150 ms"
  fi
  [ "$card" -lt 3 ] && settle
done
question 30 || fail "no question at the end of the exercise"
import -window root "$shots/exercise-manual-end-question.png"
focus "$box"
xdotool key Escape # No: without the table the window closes
for _ in $(seq 50); do
  xdotool search --onlyvisible --name "^$caption\$" >/dev/null 2>&1 || break
  sleep 0.2
done
xdotool search --onlyvisible --name "^$caption\$" >/dev/null 2>&1 &&
  fail "the exercise window did not close after No"
menu x
finish

dump=$(LEXARO_NO_SETTINGS=1 "$langtool" dump "$app/LangFiles/English-Deutsch.lang" --codepage 1252 | tr -d '\r')
ini=$(tr -d '\r' <"$app/Lexaro.Ini")
# The pair given "not more use": its line ends at "#" with no mark (neither used nor drawn).
cleared=$(awk '/^\[/ { lesson = substr($0, 2, length($0) - 2) } /^[0-9]+=.*#$/ { split($0, p, "="); print lesson "-" p[1] }' <<<"$dump")
[ "$(wc -l <<<"$cleared")" = 1 ] && [ -n "$cleared" ] ||
  fail "expected exactly one pair without marks, found: '$cleared'"
grep -qE "^[0-9]+=$cleared-" <<<"$ini" && fail "the settings still list the pair $cleared"
grep -qx 'NbrWords=2' <<<"$ini" || fail "the settings do not list the two other pairs"
drawn=$(grep -c '#§$' <<<"$dump" || true)
[ "$drawn" = 2 ] || fail "expected the two other pairs drawn, found $drawn"
echo "exercise end-to-end (a): pair $cleared has no marks and left the exercise list"

# --- (b) automatic mode, heard --------------------------------------------------------------
prepare auto AutoPresent=True DelayPresent=1 DelayAnswer=1 MaxWords=3 ShowTable=False \
  VoicePresent=2 VoiceAnswer=True
start
menu s
exercise_window
settle
import -window root "$shots/exercise-auto-waiting.png"
parecord --device=lexaro_null.monitor --file-format=wav "$WORK/heard.wav" &
recorder=$!
sleep 0.5
xdotool key space
question 120 || fail "the automatic run did not reach its end on its own"
kill -INT "$recorder" 2>/dev/null || true
wait "$recorder" 2>/dev/null || true
recorder=""
import -window root "$shots/exercise-auto-end-question.png"
focus "$box"
xdotool key Escape
menu x
finish

rms=$(sox "$WORK/heard.wav" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }')
[ -n "$rms" ] || fail "the recording could not be measured"
awk -v r="$rms" 'BEGIN { exit !(r > 0.002) }' || fail "the run was silent (RMS amplitude $rms)"
cp "$WORK/heard.wav" "$shots/exercise-auto-heard.wav"
echo "exercise end-to-end (b): three cards passed on their own and were heard (RMS amplitude $rms)"

# --- (c) killed mid-run ---------------------------------------------------------------------
prepare killed AutoPresent=False MaxWords=3 ShowTable=False VoicePresent=0 VoiceAnswer=False
journal="$app/LangFiles/English-Deutsch.lang.journal.tsv"
start
menu s
exercise_window
settle
for card in 1 2; do
  xdotool key Return # the solution
  settle
  xdotool key Return # the next card
  settle
done
import -window root "$shots/exercise-killed-third-card.png"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
pid=""
[ -f "$journal" ] || fail "no practice journal after the kill"
lines=$(tail -n +2 "$journal")
[ "$(grep -c . <<<"$lines")" = 2 ] || fail "expected the two cards before the kill, found: $lines"
grep -qvP '^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ\t' <<<"$lines" &&
  fail "a journal line is not whole: $lines"
echo "exercise end-to-end (c): the two cards before the kill are in the journal"
