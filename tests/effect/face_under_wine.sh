#!/bin/sh
# One end-to-end case of the pedal's editor in a host under Wine: vsthost
# opens the plug-in's editor, operates it through the system's input, and
# photographs it; screenshots must equal, pixel for pixel, the face that the
# same build renders headlessly (effect_face_render) after the same steps.
#   face_under_wine.sh CASE RUN VSTHOST PLUGIN FACE_RENDER WORKDIR
# RUN is the build's wine-run. Needs an X display for the whole Wine session
# (scripts/test.sh starts an Xvfb for the Windows stages); without DISPLAY
# the case is skipped (77).
#
# The footswitch acts at the editor's redraw checks (24 a second), so it is
# pressed and released in separate steps: a click's press and release arrive
# together and fall between two checks, which by design flips nothing.
set -u
case_name=$1 run=$2 host=$3 plugin=$4 render=$5 work=$6
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  echo "$case_name skipped: no X display (DISPLAY is not set)"
  exit 77
fi
mkdir -p "$work"
out="$work/$case_name.out"
fail=0
check() { # check TEXT: the report holds TEXT
  if ! grep -qF -- "$1" "$out"; then echo "missing: $1"; fail=1; fi
}
absent() {
  if grep -qF -- "$1" "$out"; then echo "unexpected: $1"; fail=1; fi
}
edits() { # edits WANT: the report's begin/automate/end lines, joined by ';'
  got=$(grep -E '^  (begin edit|automate|end edit) ' "$out" | sed 's/^  //' | tr '\n' ';')
  if [ "$got" != "$1" ]; then echo "edits: '$got', expected '$1'"; fail=1; fi
}
editor() { # editor STEPS...: one vsthost editor run, its report in $out
  "$run" "$host" editor "$plugin" "$@" >"$out.raw" 2>&1 </dev/null
  status=$?
  tr -d '\r' <"$out.raw" >"$out"
  if [ $status -ne 0 ]; then echo "vsthost editor exited with $status:"; cat "$out"; exit 1; fi
}
same() { # same SHOT STEPS...: SHOT equals the headless face after STEPS
  ref="${1%.png}-reference.png"
  shot=$1
  shift
  "$run" "$render" "$ref" "$@" || { echo "effect_face_render failed"; fail=1; return; }
  python3 "$here/compare_faces.py" "$shot" "$ref" || fail=1
}
press() { echo "--press $1 --release $1"; }
case "$case_name" in
  default_face)
    editor --screenshot "$work/default.png"
    same "$work/default.png"
    edits "" ;;
  footswitch)
    # Off, LED dark; on again, LED lit. No edit gesture: the footswitch has
    # no parameter of its own, the flip is one automate each.
    editor $(press 85,180) --screenshot "$work/off.png" $(press 85,180) \
           --screenshot "$work/on.png"
    same "$work/off.png" 85,180
    same "$work/on.png"
    edits "automate parameter 2 value 0;automate parameter 2 value 1;"
    check "2 Effect = On" ;;
  right_press)
    editor --right-click 85,180 --screenshot "$work/right.png"
    same "$work/right.png"
    edits ""
    check "2 Effect = On" ;;
  level_drag)
    editor --drag 50,118,0,-10 --screenshot "$work/level.png"
    same "$work/level.png" 0=0.53846154
    first=$(grep -E '^  (begin edit|automate|end edit) ' "$out" | head -n 1)
    last=$(grep -E '^  (begin edit|automate|end edit) ' "$out" | tail -n 1)
    [ "$first" = "  begin edit parameter 0" ] || { echo "first edit: $first"; fail=1; }
    [ "$last" = "  end edit parameter 0" ] || { echo "last edit: $last"; fail=1; }
    check "automate parameter 0 value 0.538462"
    absent "automate parameter 1"
    check "0 Level = 0.538" ;;
  cabinet)
    # Clicks further apart than the system's double-click time: a quick
    # second click would be a double click, which restores the default.
    editor --click 100,80 --wait 600 --click 100,80 --wait 600 --click 100,80
    edits "automate parameter 3 value 0;begin edit parameter 3;end edit parameter 3;automate parameter 3 value 1;begin edit parameter 3;end edit parameter 3;automate parameter 3 value 0;begin edit parameter 3;end edit parameter 3;"
    check "3 Cabinet = Off" ;;
  value_popup)
    bs="--key Backspace"
    editor --right-click 50,118 --click 50,118 --key End $bs $bs $bs $bs $bs $bs --type 0.25 \
           --key Return --wait 200 --screenshot "$work/popup.png"
    same "$work/popup.png" 0=0.25
    check "automate parameter 0 value 0.25"
    check "0 Level = 0.250" ;;
  host_changes)
    # Host automation while the editor is open: the knob and the LED follow.
    editor --set-param 1=0.8 --set-param 2=0 --wait 200 --screenshot "$work/host.png"
    same "$work/host.png" 1=0.8 2=0
    edits ""
    check "2 Effect = Off" ;;
  double_click)
    # A hand's double click, each press held across a redraw check: the
    # second press arrives as a double click and flips the effect back.
    editor --hold 70 --double-click 85,180 --screenshot "$work/double.png"
    same "$work/double.png"
    edits "automate parameter 2 value 0;automate parameter 2 value 1;"
    check "2 Effect = On" ;;
  shift_drag)
    # Shift held on the keyboard, as the X server sees it (Wine reads the
    # modifiers of mouse input from there): the same 10 px move ten times as
    # far, then clamped at the top.
    command -v xdotool >/dev/null || { echo "shift_drag skipped: no xdotool"; exit 77; }
    xdotool keydown shift
    editor --drag 50,118,0,-10 --drag 50,118,0,-10 --screenshot "$work/shift.png"
    xdotool keyup shift
    same "$work/shift.png" 0=1
    # Without shift the first drag would end at 0.538462.
    ended=$(grep -B1 -m1 '^  end edit' "$out" | head -n 1)
    [ "$ended" = "  automate parameter 0 value 0.884615" ] || { echo "first drag ended: $ended"; fail=1; }
    check "0 Level = 1.000" ;;
  program_change)
    # Program changes while the editor is open: the knob and the LED follow
    # each one; the edits made in program 0 were kept when it was left.
    editor --set-param 2=0 --set-param 0=0.2 --wait 100 --program 1 --wait 200 \
           --screenshot "$work/program1.png" --program 0 --wait 200 --screenshot "$work/program0.png"
    same "$work/program1.png" 2=0 0=0.2 p1
    same "$work/program0.png" 2=0 0=0.2 p1 p0
    edits ""
    check "0 Level = 0.200"
    check "2 Effect = Off" ;;
  footswitch_render)
    # What the host hears after the footswitch: off passes the dry sum
    # exactly, on again is the fuzz.
    python3 "$here/dry_sum.py" make "$work/dry-in.wav" || exit 1
    editor $(press 85,180) --render "$work/dry-in.wav" "$work/off.wav" $(press 85,180) \
           --render "$work/dry-in.wav" "$work/on.wav"
    python3 "$here/dry_sum.py" check "$work/dry-in.wav" "$work/off.wav" || fail=1
    python3 "$here/dry_sum.py" differs "$work/dry-in.wav" "$work/on.wav" || fail=1
    edits "automate parameter 2 value 0;automate parameter 2 value 1;" ;;
  about_panel)
    # Opened from the badge; a press over the footswitch closes it and does
    # not operate the footswitch.
    editor $(press 20,40) --screenshot "$work/about.png" $(press 100,190) \
           --screenshot "$work/closed.png"
    same "$work/about.png" 20,40
    same "$work/closed.png"
    edits ""
    check "2 Effect = On" ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac
if [ $fail -ne 0 ]; then echo "--- output of the run:"; cat "$out"; exit 1; fi
echo "$case_name: ok ($work)"
