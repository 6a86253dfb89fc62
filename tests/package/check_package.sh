#!/usr/bin/env bash
# Checks Lexaro's Debian package as a learner's machine would meet it, one line per check:
#   lintian          no error
#   desktop entry    desktop-file-validate
#   metainfo         appstreamcli validate --no-net
#   recommends       a sound server (without one the speech is silent) and a stand-in for the
#                    preset settings' card font
#   manual pages     both say where the installed form keeps the settings and the language
#                    files; neither says that the settings are beside lexaro-lang
#   installed start  the package unpacked into a temporary root (dpkg-deb -x) and started from
#                    there under Xvfb with HOME and the XDG folders in a temporary folder: the
#                    main window opens with the starter language file (Exercise > Start opens the
#                    exercise), the settings and the drawn marks are written to the learner's
#                    folders at the end, and nothing in the unpacked root changed
#   no home          a file where the learner's folder should be: one message naming the folder,
#                    exit status 1, nothing half made
# Prints "PASS <check>" or "FAIL <check>: <why>" for each and exits 1 when any failed.
#   check_package.sh <package.deb> <folder for screenshots>
set -uo pipefail
deb=$1
shots=$2

if [ "${LEXARO_E2E_INNER:-}" != 1 ]; then
  mkdir -p "$shots"
  LEXARO_E2E_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$deb" "$shots"
  exit $?
fi
export QT_QPA_PLATFORM=xcb
failed=0
pass() { echo "PASS $1"; }
fail() { echo "FAIL $1: $2"; failed=1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
dpkg-deb -x "$deb" "$root" || { fail "unpack" "dpkg-deb -x failed"; exit 1; }

# --- The package's own checks ---------------------------------------------------------------
if out=$(lintian --fail-on error "$deb" 2>&1); then pass "lintian"; else fail "lintian" "$out"; fi
if out=$(desktop-file-validate "$root/usr/share/applications/lexaro.desktop" 2>&1); then
  pass "desktop entry"
else
  fail "desktop entry" "$out"
fi
if out=$(appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml 2>&1); then
  pass "metainfo"
else
  fail "metainfo" "$out"
fi

recommends=$(dpkg-deb -f "$deb" Recommends)
preset_font=$(tr -d '\r' <"$root/usr/share/lexaro/Lexaro.Ini" | sed -n 's/^Font=//p')
# The metric-compatible stand-ins of the fonts the preset may name, as fontconfig maps them.
case "$preset_font" in
  "Times New Roman") font_packages="fonts-liberation2 | fonts-urw-base35" ;;
  *) font_packages="" ;;
esac
if ! grep -qF "pulseaudio | pipewire-pulse" <<<"$recommends"; then
  fail "recommends" "no sound server in '$recommends'"
elif [ -z "$font_packages" ]; then
  fail "recommends" "no stand-in known for the preset font '$preset_font'"
elif ! grep -qF "$font_packages" <<<"$recommends"; then
  fail "recommends" "no '$font_packages' for the preset font '$preset_font' in '$recommends'"
elif ! grep -qF "fonts-noto-core" <<<"$recommends" || ! grep -qF "fonts-noto-cjk" <<<"$recommends"; then
  fail "recommends" "no fonts for the cards in other scripts in '$recommends'"
else
  pass "recommends"
fi

man_fault=""
for page in lexaro lexaro-lang; do
  text=$(zcat "$root/usr/share/man/man1/$page.1.gz" | tr -d '\\')
  for said in 'XDG_CONFIG_HOME/lexaro' 'XDG_DATA_HOME/lexaro'; do
    grep -qF "$said" <<<"$text" || man_fault+="$page.1 does not name $said; "
  done
  ! grep -q 'beside lexaro-lang *$\|Lexaro.Ini beside' <<<"$text" ||
    man_fault+="$page.1 says the settings are beside lexaro-lang; "
done
if [ -z "$man_fault" ]; then pass "manual pages"; else fail "manual pages" "$man_fault"; fi

# --- The installed program --------------------------------------------------------------------
listing() { (cd "$root" && find . -printf '%p %m\n' | sort && find . -type f -exec sha256sum {} + | sort); }
before=$(listing)

# Starts the unpacked program with the given home; sets pid.
start() {
  HOME="$1" XDG_CONFIG_HOME="$1/.config" XDG_DATA_HOME="$1/.local/share" \
    XDG_RUNTIME_DIR="$work/runtime" "$root/usr/bin/lexaro" >"$work/out.txt" 2>&1 &
  pid=$!
}
wait_end() {
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  if kill -0 "$pid" 2>/dev/null; then kill "$pid"; return 99; fi
  wait "$pid"
}
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"

installed() {
  local home="$work/home"
  mkdir -p "$home"
  start "$home"
  local main
  main=$(timeout 30 xdotool search --sync --onlyvisible --name 'V2\.02' | head -1) ||
    { fail "installed start" "no main window appeared ($(cat "$work/out.txt"))"; return; }
  sleep 1
  import -window root "$shots/package-installed-main-window.png"
  xdotool windowfocus --sync "$main" 2>/dev/null
  xdotool key alt+e; sleep 0.5; xdotool key s
  timeout 30 xdotool search --sync --onlyvisible --name '^Exercise - English/Deutsch$' >/dev/null ||
    { fail "installed start" "Exercise > Start opened no exercise: the starter file was not there"; kill "$pid"; return; }
  sleep 1
  import -window root "$shots/package-installed-exercise.png"
  xdotool windowfocus --sync "$main" 2>/dev/null
  xdotool key alt+e; sleep 0.5; xdotool key x
  wait_end || { fail "installed start" "the program ended with status $?"; return; }
  local ini="$home/.config/lexaro/Lexaro.Ini"
  local lang="$home/.local/share/lexaro/LangFiles/English-Deutsch.lang"
  [ -f "$ini" ] || { fail "installed start" "no settings in $ini"; return; }
  grep -qE '^NbrWords=[1-9]' <(tr -d '\r' <"$ini") ||
    { fail "installed start" "the settings were not written at the end (no exercise list)"; return; }
  local check
  check=$("$root/usr/bin/lexaro-lang" check "$lang" 2>&1) ||
    { fail "installed start" "the learner's language file: $check"; return; }
  grep -qE 'pairs drawn: +[1-9]' <<<"$check" ||
    { fail "installed start" "the composition's marks are not in the learner's file: $check"; return; }
  [ ! -e "$home/.local/share/lexaro/Lexaro.Reg" ] ||
    { fail "installed start" "the read-only Lexaro.Reg was copied to the learner's folder"; return; }
  [ "$(listing)" = "$before" ] || { fail "installed start" "the unpacked root changed"; return; }
  pass "installed start"
}
installed

nohome() {
  local home="$work/broken"
  mkdir -p "$home"
  echo "not a folder" >"$home/.config"
  start "$home"
  local box
  box=$(timeout 30 xdotool search --sync --onlyvisible --name '^Lexaro$' | head -1) ||
    { fail "no home" "no message appeared"; kill "$pid"; return; }
  sleep 0.5
  import -window root "$shots/package-no-home.png"
  xdotool windowfocus --sync "$box" 2>/dev/null
  xdotool key Return
  wait_end
  local status=$?
  [ "$status" = 1 ] || { fail "no home" "exit status $status, not 1"; return; }
  [ ! -e "$home/.local" ] || { fail "no home" "$home/.local was left behind"; return; }
  pass "no home"
}
nohome

exit $failed
