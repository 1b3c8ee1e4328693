#!/bin/sh
# One end-to-end case of the editor window under Wine: vsthost opens the
# editor fixture, operates it through the system's input and photographs it.
#   editor_under_wine.sh CASE RUN VSTHOST FIXTURE WORKDIR
# RUN is the build's wine-run. Needs an X display for the whole Wine session
# (the shared wineserver's desktop binds to the display of its first program),
# so DISPLAY must be set before the tests start: scripts/test.sh starts an
# Xvfb for the Windows stages. Without DISPLAY the case is skipped (77).
set -u
case_name=$1 run=$2 host=$3 fixture=$4 work=$5
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  echo "$case_name skipped: no X display (DISPLAY is not set)"
  exit 77
fi
mkdir -p "$work"
out="$work/$case_name.out"
fail=0
check() { # check TEXT: the run printed TEXT (its report or the fixture's lines)
  if ! grep -qF -- "$1" "$out"; then echo "missing: $1"; fail=1; fi
}
absent() {
  if grep -qF -- "$1" "$out"; then echo "unexpected: $1"; fail=1; fi
}
editor() { # editor STEPS...: one vsthost editor run, report and fixture lines in $out
  "$run" "$host" editor "$fixture" "$@" >"$out" 2>&1 </dev/null
  status=$?
  if [ $status -ne 0 ]; then echo "vsthost editor exited with $status:"; cat "$out"; exit 1; fi
}
shot() { # shot FILE LEVEL: the screenshot shows the fixture with the slider at LEVEL
  python3 "$here/check_screenshot.py" "$1" "$2" || fail=1
}
bs="--key Backspace"
case "$case_name" in
  open_close_reopen)
    # Screenshot, a drag on the slider and a click on the switch, a close and
    # two reopenings (after the close, then without one).
    editor --screenshot "$work/open.png" --drag 40,80,0,-30 --click 140,25 --close \
           --reopen --screenshot "$work/reopened.png" --reopen --set-param 0=0.1 --wait 300 \
           --screenshot "$work/set.png" --json
    shot "$work/open.png" 0.25
    shot "$work/reopened.png" 0.55
    shot "$work/set.png" 0.1
    check '"event": "size"'
    check 'fixture: slider press 40,80 left'
    check 'fixture: slider drag 40,77 by 0,-3'
    check 'fixture: slider release 40,50'
    check 'fixture: switch press 140,25 left'
    check '"display": "On"'
    check '"display": "0.10"'
    [ "$(grep -c 'fixture: opened' "$out")" -eq 3 ] || { echo "expected three openings"; fail=1; }
    [ "$(grep -c 'fixture: closing' "$out")" -eq 2 ] || { echo "expected two closings"; fail=1; } ;;
  text_popup_commit)
    editor --right-click 40,60 --click 40,60 --key End $bs $bs $bs $bs $bs $bs --type 0.8 \
           --key Return --wait 200 --screenshot "$work/committed.png"
    shot "$work/committed.png" 0.8
    check 'fixture: slider press 40,60 right'
    check 'automate parameter 0 value 0.8'
    check '0 Level = 0.80' ;;
  right_press_cancels)
    editor --right-click 40,60 --click 40,60 --type 9 --right-click 150,100 --wait 200 \
           --screenshot "$work/cancelled.png" --right-click 40,60 --right-click 150,100 --wait 200
    shot "$work/cancelled.png" 0.25
    absent 'automate parameter 0'
    check '0 Level = 0.25' ;;
  list_popup)
    editor --right-click 140,25 --click 140,25 --click 125,70 --wait 200
    check 'fixture: switch press 140,25 right'
    check 'automate parameter 1 value 1'
    check '1 Mode = On' ;;
  wheel_keys_double_click)
    # Keys reach the control under the pointer; F5 and keypad keys do not.
    editor --wheel 40,60,2 --wheel 40,60,-1 --click 30,30 --key 7 --key F5 --key Q \
           --double-click 140,25
    check 'fixture: slider wheel 40,60 notches 2'
    check 'fixture: slider wheel 40,60 notches -1'
    check 'fixture: key 12 at 30,30'
    check 'fixture: key 31 at 30,30'
    [ "$(grep -c 'fixture: key' "$out")" -eq 2 ] || { echo "expected two keys"; fail=1; }
    check 'fixture: switch double click 140,25' ;;
  services)
    editor --wait 100
    check "fixture: closed dialogs: file '' colour refused page refused"
    check "module directory '"
    grep -qE "host directory '.*\\\\tools\\\\vsthost\\\\'" "$out" || { echo "host directory"; fail=1; }
    grep -qE "module directory '.*\\\\tests\\\\window\\\\'" "$out" || { echo "module directory"; fail=1; } ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac
if [ $fail -ne 0 ]; then echo "--- output of the run:"; cat "$out"; exit 1; fi
echo "$case_name: ok ($work)"
