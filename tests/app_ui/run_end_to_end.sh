#!/usr/bin/env bash
# Runs of the real program from a copy of its bundled folder under a virtual display. The copy
# lies in a folder whose name has umlauts and blanks, as a learner's might: the program starts
# with the starter language file, opens the settings dialog from the menu and closes it with
# Escape, switches to German through the menu by keyboard and is closed through the menu; a
# second start reads the settings that the first one wrote. A third start after Lexaro.Ini was
# deleted (to reset the settings) stays portable: it comes up with the preset settings, writes
# them beside the program and looks at none in the learner's home. Then a damaged Text.Db ends
# the program with a message and a failing exit status.
#   run_end_to_end.sh <bundled application folder> [<folder for screenshots>]
set -euo pipefail
bundle=$1
shots=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
texts=$(cd "$here/../../resources/texts" && pwd)

if [ "${LEXARO_E2E_INNER:-}" != 1 ]; then
  for f in Lexaro Text.Db Lexaro.Ini LangFiles/English-Deutsch.lang presets/Lexaro.Ini; do
    [ -e "$bundle/$f" ] || { echo "end-to-end: the bundled folder lacks $f" >&2; exit 1; }
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # The bundle moved: the preset settings name the starter file relatively.
  moved="$work/Übungen für Jürgen/Lexaro"
  mkdir -p "$(dirname "$moved")"
  cp -r "$bundle" "$moved"
  LEXARO_E2E_INNER=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$moved" "${shots:-$work}"
  exit $?
fi

app=$bundle
# The real program on the virtual display, whatever platform the widget tests use.
export QT_QPA_PLATFORM=xcb
pid=""
fail() {
  echo "end-to-end: $*" >&2
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  exit 1
}

# The text with number n in a language's text source, and the key of its accelerator.
text() { python3 - "$texts/$1.txt" "$2" <<'PY'
import sys
raw = open(sys.argv[1], 'rb').read()
try:
    src = raw.decode('utf-8')
except UnicodeDecodeError:
    src = raw.decode('cp1252')
for line in src.splitlines():
    num, sep, value = line.partition('=')
    if sep and num.strip() == sys.argv[2]:
        print(value)
        break
PY
}
accel() { python3 - "$1" <<'PY'
import sys, unicodedata
t = sys.argv[1]
i = t.find('&')
c = t[i + 1].lower() if 0 <= i < len(t) - 1 else ''
names = {'ä': 'adiaeresis', 'ö': 'odiaeresis', 'ü': 'udiaeresis', 'ß': 'ssharp'}
print(names.get(c, c))
PY
}

start() { # [env NAME=value ...]: the program's environment
  "$@" "$app/Lexaro" &
  pid=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name 'V2\.02' | head -1) ||
    fail "no main window appeared"
  sleep 1
  xdotool windowfocus --sync "$wid" || true
}
menu() { # opens the menu with text number $2 and picks the item with text $3 (language $1)
  xdotool key "alt+$(accel "$(text "$1" "$2")")"
  sleep 0.5
  xdotool key "$(accel "$(text "$1" "$3")")"
  sleep 1
}
finish() {
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "the program did not end"; }
  wait "$pid" || fail "the program ended with status $?"
}

en_title="$(text en 0) V2.02"
de_title="$(text de 0) V2.02"

start
[ "$(xdotool getwindowname "$wid")" = "$en_title" ] || fail "caption is not '$en_title'"
import -window root "$shots/lexaro-e2e-en.png"
menu en 13 15 # Exercise > General Settings...
settings_title="$(text en 24)"
dlg=$(timeout 10 xdotool search --sync --onlyvisible --name "^$settings_title\$" | head -1) ||
  fail "the settings dialog did not open"
import -window root "$shots/lexaro-e2e-settings.png"
xdotool windowfocus --sync "$dlg" key Escape || true
sleep 1
if xdotool search --onlyvisible --name "^$settings_title\$" >/dev/null; then
  fail "Escape did not close the settings dialog"
fi
xdotool windowfocus --sync "$wid" || true
menu en 18 20 # Application Language > German
[ "$(xdotool getwindowname "$wid")" = "$de_title" ] || fail "caption is not '$de_title'"
import -window root "$shots/lexaro-e2e-de.png"
menu de 13 17 # Exercise > Exit
finish

ini=$(tr -d '\r' <"$app/Lexaro.Ini")
grep -qx 'Language=DE' <<<"$ini" || fail "the settings do not hold Language=DE"
for line in '0=1' '1=2' '2=3' 'NbrUnits=3' 'Lang1=English' '[GeneralProperty]' '[VoiceProperty]'; do
  grep -qxF "$line" <<<"$ini" || fail "the settings lack '$line'"
done

# The second start comes up in German.
start
[ "$(xdotool getwindowname "$wid")" = "$de_title" ] || fail "second start: caption not '$de_title'"
import -window root "$shots/lexaro-e2e-de2.png"
diff=$(compare -metric AE "$shots/lexaro-e2e-en.png" "$shots/lexaro-e2e-de2.png" null: 2>&1 || true)
[ "${diff%% *}" != 0 ] || fail "second start looks like the English first start"
menu de 13 17
finish
# The close keeps the relative name, so the folder can be moved again.
grep -qxF 'LangFileName=LangFiles/English-Deutsch.lang' <<<"$ini" ||
  fail "the settings no longer name the starter file relatively"

# The settings deleted to reset them: the folder stays portable and gets the preset anew. A
# home whose installed settings say German must not be looked at.
home=$(mktemp -d)
mkdir -p "$home/.config/lexaro"
printf '[Application]\r\nLanguage=DE\r\n' >"$home/.config/lexaro/Lexaro.Ini"
rm "$app/Lexaro.Ini"
start env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
[ "$(xdotool getwindowname "$wid")" = "$en_title" ] ||
  fail "start without Lexaro.Ini: caption not '$en_title' (the preset's English)"
import -window root "$shots/lexaro-e2e-reset.png"
menu en 13 17 # Exercise > Exit
finish
[ ! -e "$home/.local" ] || fail "start without Lexaro.Ini: it made $home/.local"
[ -f "$app/Lexaro.Ini" ] || fail "start without Lexaro.Ini: none was written beside the program"
ini=$(tr -d '\r' <"$app/Lexaro.Ini")
for line in 'Language=EN' 'LangFileName=LangFiles/English-Deutsch.lang'; do
  grep -qxF "$line" <<<"$ini" || fail "start without Lexaro.Ini: the new settings lack '$line'"
done
rm -rf "$home"

# A damaged Text.Db: a message box names the file, and the program ends with a failing status.
printf 'not a text database' >"$app/Text.Db"
"$app/Lexaro" &
pid=$!
box=$(timeout 30 xdotool search --sync --onlyvisible --name '^Lexaro$' | head -1) ||
  fail "no message about the damaged Text.Db appeared"
import -window root "$shots/lexaro-e2e-textdb.png"
xdotool windowfocus --sync "$box" key Return || true
status=0
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "the program did not end after the message"; }
wait "$pid" || status=$?
[ "$status" -ne 0 ] || fail "a damaged Text.Db ended with status 0"
pid=""

echo "end-to-end: started from a moved folder with umlauts, opened and closed the settings, switched to German, closed, started again in German; started without Lexaro.Ini with the preset; a damaged Text.Db ended with status $status after its message"
