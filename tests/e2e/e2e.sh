#!/usr/bin/env bash
# End-to-end tests: the real keyboard program under Wine on a virtual X display, driven
# with real mouse events, typing into Wine's notepad, read back by a probe.
#   e2e.sh PACKAGE_DIR PROBE_EXE KEY_MAP OUT_DIR [scenario...]
# Every wait polls its condition against a deadline; a scenario fails when what it checks
# does not come true in time.
set -u

package=$(cd "$1" && pwd)
probe=$2
key_map=$3
out=$4
shift 4
mkdir -p "$out"
out=$(cd "$out" && pwd)

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$out/prefix"
desktop=quorel-e2e
passed=0
failed=0

log() { printf '%s\n' "$*" >&2; }

# --- the display and the prefix ---------------------------------------------------------

start_display() {
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null
  done
  log "no X display could be started"
  exit 1
}

make_prefix() {
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
}

stop_everything() {
  wineserver -k >/dev/null 2>&1
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
}
trap stop_everything EXIT

# Runs a Windows program on the test desktop, and waits for it.
in_desktop() { wine explorer "/desktop=$desktop,1024x768" "$@"; }
# Starts one there and goes on.
on_desktop() { in_desktop "$@" >/dev/null 2>&1 & }

# Runs the probe on the test desktop and prints what it wrote.
probe() {
  local file="$out/probe.$$.txt"
  rm -f "$file"
  in_desktop "$probe" "$@" "$(winepath -w "$file")" >/dev/null 2>&1
  for _ in $(seq 50); do
    [ -f "$file" ] && { cat "$file"; return 0; }
    sleep 0.1
  done
  echo "(probe wrote nothing)"
}

# Runs a probe command that writes nothing (post, place).
probe_do() {
  in_desktop "$probe" "$@" >/dev/null 2>&1
}

# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  while [ "$SECONDS" -lt "$deadline" ]; do
    "$@" && return 0
    sleep 0.3
  done
  return 1
}

registry() {  # registry KEY NAME TYPE VALUE
  wine reg add "HKCU\\$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
}

# --- the windows --------------------------------------------------------------------------

desktop_origin() {
  local id
  id=$(xdotool search --name "$desktop" 2>/dev/null | head -n 1)
  if [ -z "$id" ]; then echo "0 0"; return; fi
  xdotool getwindowgeometry "$id" | awk '/Position/ { split($2, p, ","); print p[1], p[2] }'
}

# window_shown CLASS: a top-level window of that class exists and is visible.
window_shown() {
  local rect
  rect=$(probe window "$1")
  [ "$rect" != "none" ] && [ "$rect" != "hidden" ]
}

notepad_up() { [ "$(probe window Notepad)" != "none" ]; }
keyboard_up() { window_shown QuorelMainWindow5.02; }
keyboard_gone() { [ "$(probe window QuorelMainWindow5.02)" = "none" ]; }

notepad_placed() {
  probe_do place Notepad 0 0 1024 420
  [ "$(probe window Notepad)" = "0 0 1024 420" ]
}

start_notepad() {
  on_desktop notepad.exe
  wait_for 30 notepad_up || { log "notepad did not start"; return 1; }
  wait_for 10 notepad_placed || { log "notepad stays at $(probe window Notepad)"; return 1; }
}

notepad_in_front() { [ "$(probe foreground)" = "Notepad" ]; }

# A click into notepad gives it the focus, as a user does before typing; the keys and the
# window actions go to the foreground window, so the test waits until notepad is it.
focus_notepad() {
  local try
  read -r dx dy < <(desktop_origin)
  for try in 1 2 3; do
    xdotool mousemove $((dx + 300)) $((dy + 200)) click 1
    wait_for 3 notepad_in_front && return 0
  done
  log "notepad did not come to the front: $(probe foreground) is"
  return 1
}

keyboard_process() { pgrep -f 'QuorelKeyboard\.exe' >/dev/null; }

# The keyboard's Wine messages go to a log of their own, so that a start that fails can say
# why. A launch that never brought up a keyboard process at all (Wine's launcher lost it;
# the keyboard was never run) is tried once more and reported; a keyboard process without
# its window fails the start.
start_keyboard() {
  local try
  for try in 1 2; do
    in_desktop "$package/QuorelKeyboard.exe" >"$out/keyboard.log" 2>&1 &
    if wait_for 30 keyboard_up; then
      keyboard_origin
      return 0
    fi
    log "the keyboard did not start: its window is $(probe window QuorelMainWindow5.02);" \
      "Wine said:"
    grep -v fixme "$out/keyboard.log" | tail -n 20 >&2
    keyboard_process && { log "its process runs without a window"; return 1; }
    log "no keyboard process ran (launch $try)"
  done
  return 1
}

# Where the keyboard's client area lies now, for the key points.
keyboard_origin() {
  read -r dx dy < <(desktop_origin)
  read -r cx cy < <(probe client QuorelMainWindow5.02)
  origin_x=$((dx + cx))
  origin_y=$((dy + cy))
}

close_keyboard() {
  tap_key 10 0  # <close>
  wait_for 10 keyboard_gone
}

# key_point KIND PARAMETER [state...]: the client point of a key, from the key map.
key_point() {
  local kind=$1 parameter=$2
  shift 2
  "$key_map" "$size" 2 "$@" | awk -v k="$kind" -v p="$parameter" '$1 == k && $2 == p { print $3, $4; exit }'
}

tap_key() {
  local point
  point=$(key_point "$@")
  [ -n "$point" ] || { log "no key $1/$2"; return 1; }
  read -r x y <<<"$point"
  xdotool mousemove $((origin_x + x)) $((origin_y + y)) mousedown 1
  sleep 0.05
  xdotool mouseup 1
  sleep 0.15
}

tap_char() { tap_key 8 "$(printf '%d' "'$1")" "${@:2}"; }

# slide_hold KIND PARAMETER DX DY: pen down on the key and a slide in steps, pen still down.
slide_hold() {
  local point x y steps=8 i
  point=$(key_point "$1" "$2")
  read -r x y <<<"$point"
  x=$((origin_x + x))
  y=$((origin_y + y))
  xdotool mousemove "$x" "$y" mousedown 1
  for i in $(seq 1 $steps); do
    xdotool mousemove $((x + $3 * i / steps)) $((y + $4 * i / steps))
    sleep 0.03
  done
  sleep 0.2
}

# slide_char CHARACTER DX DY: a slide from that character's key.
slide_char() { slide 8 "$(printf '%d' "'$1")" "$2" "$3"; }

pen_up() {
  xdotool mouseup 1
  sleep 0.2
}

slide() {
  slide_hold "$@"
  pen_up
}

list_shown() { window_shown ListBox; }

keyboard_rect() { probe window QuorelMainWindow5.02; }

option_value() {  # option_value NAME: the stored DWORD option, in decimal
  local hex
  hex=$(wine reg query 'HKCU\Software\Pelmarik Solutions\Quorel\Options' /v "$1" 2>/dev/null |
    tr -d '\r' | awk -v name="$1" 'index($0, "    " name "    REG_") == 1 { print $NF }')
  [ -n "$hex" ] && echo $((hex))
}

notepad_text() { probe text; }

expect_text() {  # expect_text EXPECTED: polls notepad until it holds exactly that
  local expected=$1
  text_is() { [ "$(notepad_text)" = "$expected" ]; }
  if wait_for 10 text_is; then return 0; fi
  log "notepad holds '$(notepad_text)', expected '$expected'"
  return 1
}

screenshot() { import -window root "$out/$1.png" 2>/dev/null; }

# --- scenarios ----------------------------------------------------------------------------

scenario_taps() {
  tap_key 56 0                 # <shift>
  tap_char h
  tap_char i
  tap_key 64 0                 # <space>
  tap_key 59 0                 # <123>
  tap_char 4 digits
  tap_key 60 0 digits          # <abc>
  tap_char '!'
  tap_key 1 0                  # <acute>
  tap_char e                   # é in the acute panel
  expect_text "Hi 4!é"
}

# A latched shift is held down in the system until the next character, which it
# capitalises, and is let go afterwards.
scenario_shift() {
  held_is() { [ "$(probe keys)" = "$1" ]; }
  tap_key 56 0                 # <shift>
  wait_for 5 held_is shift || { log "after <shift> the system holds: $(probe keys)"; return 1; }
  tap_char a
  expect_text "A" || return 1
  wait_for 5 held_is none || { log "after the letter the system holds: $(probe keys)"; return 1; }
  tap_char b
  expect_text "Ab"
}

scenario_slide_capital() {
  slide_char q 2 -40
  expect_text "Q"
}

setup_preview_list() {
  registry 'Software\Pelmarik Solutions\Quorel\Options' 'Use slides for' REG_DWORD 2
}

# MinimumSlides gives "p" a full stop and a full stop with a space, south-east.
scenario_preview_list() {
  slide_hold 8 "$(printf '%d' "'p")" 40 40
  if ! wait_for 5 list_shown; then
    pen_up
    log "no preview list while sliding"
    return 1
  fi
  screenshot preview_list
  pen_up
  expect_text ". " && ! list_shown
}

scenario_glossary() {
  tap_char b
  tap_char t
  tap_char w
  wait_for 5 list_shown || { log "no suggestions for btw"; return 1; }
  screenshot glossary_suggestions
  local left top right bottom
  read -r left top right bottom < <(probe window ListBox)
  read -r dx dy < <(desktop_origin)
  # Above the keyboard the first suggestion is the row nearest to it: the bottom row.
  xdotool mousemove $((dx + (left + right) / 2)) $((dy + bottom - 6)) mousedown 1
  sleep 0.05
  xdotool mouseup 1
  expect_text "by the way "
}

# Another program names a new slide file and tells the keyboard to load it.
scenario_reload_slides() {
  registry 'Software\Pelmarik Solutions\Quorel\Options' 'Use slides for' REG_DWORD 2
  probe_do post QuorelMainWindow5.02 0x8032 0
  sleep 1
  slide_char x 30 30  # MinimumSlides: an exclamation mark
  expect_text "!"
}

scenario_second_start() {
  local first
  first=$(probe block)
  on_desktop "$package/QuorelKeyboard.exe"
  sleep 4
  [ "$(probe count QuorelMainWindow5.02)" = 1 ] || { log "a second keyboard runs"; return 1; }
  [ "$(probe block)" = "$first" ] || { log "the shared block changed hands"; return 1; }
  keyboard_up
}

# Another program changes the size in the registry and tells the keyboard.
scenario_sizes() {
  local size_code width
  for size_code in 1 3 4 2; do
    registry 'Software\Pelmarik Solutions\Quorel\Options' 'Keyboard size' REG_DWORD $size_code
    registry 'Software\Pelmarik Solutions\Quorel\Options' 'X' REG_DWORD 100
    registry 'Software\Pelmarik Solutions\Quorel\Options' 'Y' REG_DWORD 440
    probe_do post QuorelMainWindow5.02 0x8014 0
    case $size_code in 1) width=242 ;; 2) width=324 ;; 3) width=482 ;; 4) width=800 ;; esac
    width_is() { read -r l _ r _ < <(keyboard_rect); [ $((r - l)) = "$width" ]; }
    wait_for 10 width_is || { log "size $size_code: the keyboard is $(keyboard_rect)"; return 1; }
    sleep 0.5
    screenshot "size_$size_code"
  done
}

# The caption's drag area moves the keyboard, and its new place is stored.
scenario_drag() {
  local point x y before after
  before=$(keyboard_rect)
  point=$(key_point 16 0)
  read -r x y <<<"$point"
  x=$((origin_x + x))
  y=$((origin_y + y))
  xdotool mousemove "$x" "$y" mousedown 1
  for i in $(seq 1 10); do
    xdotool mousemove $((x - 10 * i)) $((y - 8 * i))
    sleep 0.05
  done
  xdotool mouseup 1
  moved() { [ "$(keyboard_rect)" != "$before" ]; }
  wait_for 10 moved || { log "the keyboard did not move"; return 1; }
  read -r left top _ _ < <(keyboard_rect)
  stored() { [ "$(option_value X)" = "$left" ] && [ "$(option_value Y)" = "$top" ]; }
  wait_for 10 stored || { log "X/Y stored as $(option_value X)/$(option_value Y), window at $left/$top"; return 1; }
}

scenario_close() {
  local watched="$out/watch.txt"
  rm -f "$watched"
  # Another program keeps the shared block while the keyboard ends.
  on_desktop "$probe" watch "$(winepath -w "$watched")"
  sleep 2
  tap_key 10 0
  wait_for 10 keyboard_gone || { log "the keyboard is still there"; return 1; }
  watch_done() { [ -s "$watched" ]; }
  wait_for 40 watch_done || { log "the watcher wrote nothing"; return 1; }
  [ "$(cat "$watched")" = "0" ] || { log "the shared block still names a keyboard: $(cat "$watched")"; return 1; }
}

menu_shown() { window_shown '#32768'; }
menu_gone() { ! menu_shown; }
dialog_shown() { [ "$(probe window '#32770')" != none ]; }
dialog_gone() { ! dialog_shown; }

# After a menu or a dialog, a tap still types into notepad.
still_types() {
  focus_notepad || return 1
  tap_char k
  expect_text "k"
}

# use_user_slides NAME TEXT: a slide file of the user's whose one north slide from q types
# TEXT, in use from the next start.
use_user_slides() {
  printf '\r\n[NORTH]\r\n\r\nq\t\t%s\r\n' "$2" >"$WINEPREFIX/drive_c/$1.txt"
  registry 'Software\Pelmarik Solutions\Quorel' 'Custom slides file' REG_SZ "C:\\$1.txt"
  registry 'Software\Pelmarik Solutions\Quorel\Options' 'Use slides for' REG_DWORD 0
}

open_menu() {
  tap_key 30 0                 # <info>
  wait_for 5 menu_shown || { log "no keyboard menu"; return 1; }
}

# The keyboard menu picks a size, and shows the size it has with a check mark.
scenario_menu() {
  open_menu || return 1
  screenshot menu
  probe_do menu-keys up return    # the last entry: "Small size"
  small() { read -r l _ r _ < <(keyboard_rect); [ $((r - l)) = 242 ] && [ "$(option_value 'Keyboard size')" = 1 ]; }
  wait_for 10 small || { log "the keyboard is $(keyboard_rect), size $(option_value 'Keyboard size')"; return 1; }
  size=1
  keyboard_origin
  open_menu || return 1
  screenshot menu_small_checked
  probe_do menu-keys escape
  wait_for 5 menu_gone || { log "the menu stays open"; return 1; }
  still_types
}

# The editor is not in the package: <add> says so, and the keyboard goes on typing.
scenario_missing_companion() {
  tap_key 2 0                  # <add>
  local expected="Some program components are missing. Please reinstall Quorel"
  said() { [ "$(probe dialog Quorel)" = "$expected" ]; }
  wait_for 10 said || { log "the message box says '$(probe dialog Quorel)'"; return 1; }
  screenshot missing_companion
  probe_do dialog-press Quorel 1
  wait_for 10 dialog_gone || { log "the message box stays"; return 1; }
  still_types
}

# "Load slides..." asks for a file with the system's dialog; the file chosen becomes the
# slide file at once.
scenario_choose_slides() {
  local file
  file=$(winepath -w "$package/Quorel slidefiles/CapsOnlySlides.txt")
  open_menu || return 1
  probe_do menu-keys down down down down down return   # "Load slides..."
  wait_for 15 dialog_shown || { log "no file dialog"; return 1; }
  screenshot choose_slides
  probe_do dialog-text Open 1148 "$file"      # the file name box
  probe_do dialog-press Open 1
  chosen() {
    [ "$(option_value 'Use slides for')" = 0 ] &&
      wine reg query 'HKCU\Software\Pelmarik Solutions\Quorel' /v 'Custom slides file' 2>/dev/null |
      tr -d '\r' | grep -qF "CapsOnlySlides.txt"
  }
  wait_for 15 chosen || { log "the slide file was not switched"; return 1; }
  focus_notepad || return 1
  slide_char w 2 -40
  expect_text "W"
}

# "Preview font..." shows the system's font dialog; cancelling it writes nothing.
scenario_font_cancelled() {
  open_menu || return 1
  probe_do menu-keys down down down return   # "Preview font..."
  wait_for 15 dialog_shown || { log "no font dialog"; return 1; }
  screenshot font_dialog
  probe_do dialog-press Font 2
  wait_for 10 dialog_gone || { log "the font dialog stays"; return 1; }
  if wine reg query 'HKCU\Software\Pelmarik Solutions\Quorel\Options' /v 'Slides font name' >/dev/null 2>&1; then
    log "a cancelled font dialog wrote a font"
    return 1
  fi
  still_types
}

# A slide that turns the display, from a slide file of the user's. Wine's virtual desktop
# has no turned modes and refuses the change: the keyboard ignores the refusal and goes on.
setup_rotation_refused() { use_user_slides rotation '<landscape right>'; }

scenario_rotation_refused() {
  slide_char q 2 -40
  [ "$(probe screen)" = "1024 768" ] || { log "the display is $(probe screen)"; return 1; }
  keyboard_up || { log "the keyboard is gone"; return 1; }
  still_types
}

# <duo> gives the application the screen above the keyboard, and the keyboard the bottom.
setup_duo() { use_user_slides duo '<duo>'; }

scenario_duo() {
  local left top right bottom height width
  read -r left top right bottom < <(keyboard_rect)
  width=$((right - left))
  height=$((bottom - top))
  slide_char q 2 -40
  shared() {
    [ "$(probe window Notepad)" = "0 0 1024 $((768 - height))" ] &&
      [ "$(keyboard_rect)" = "$((512 - width / 2)) $((768 - height)) $((512 - width / 2 + width)) 768" ]
  }
  wait_for 10 shared || {
    log "notepad at $(probe window Notepad), the keyboard at $(keyboard_rect), $(probe foreground) in front, notepad holds \"$(notepad_text)\""
    return 1
  }
  screenshot duo
}

# Not a test: 200 taps and 200 slides with the keyboard timing itself (make measure), at
# finger size, whose images are the largest.
setup_measure() {
  size=4
  registry 'Software\Pelmarik Solutions\Quorel\Options' 'Keyboard size' REG_DWORD $size
  registry 'Software\Pelmarik Solutions\Quorel\Options' 'X' REG_DWORD 100
  registry 'Software\Pelmarik Solutions\Quorel\Options' 'Y' REG_DWORD 430
  export QUOREL_TIMINGS
  QUOREL_TIMINGS=$(winepath -w "$out/timings.txt")
  rm -f "$out/timings.txt"
}

scenario_measure() {
  local letters=abcdefghijklmnopqrstuvwxyz i
  for i in $(seq 0 199); do
    tap_char "${letters:$((i % 26)):1}"
  done
  for i in $(seq 0 199); do
    slide_char "${letters:$((i % 26)):1}" 3 -40
  done
  close_keyboard
  timings_written() { [ -s "$out/timings.txt" ]; }
  wait_for 20 timings_written || { log "the keyboard wrote no timings"; return 1; }
  cat "$out/timings.txt" >&2
}

# Not a test: the keyboard's working set at finger size on its first start (which provisions
# the user's files), on a later start, and after typing (make measure).
setup_memory() { setup_measure; }

scenario_memory() {
  local letters=abcdefghijklmnopqrstuvwxyz i round
  log "first start: working set and peak $(probe memory QuorelMainWindow5.02) MB"
  close_keyboard
  start_keyboard || return 1
  log "later start: working set and peak $(probe memory QuorelMainWindow5.02) MB"
  for round in 1 2 3; do
    for i in $(seq 0 25); do
      tap_char "${letters:$i:1}"
      slide_char "${letters:$i:1}" 3 -40
    done
    log "after $((26 * round)) taps and slides: working set and peak $(probe memory QuorelMainWindow5.02) MB"
  done
}

run_scenario() {
  local name=$1
  log "--- $name"
  if "scenario_$name"; then
    passed=$((passed + 1))
    log "PASS $name"
  else
    failed=$((failed + 1))
    screenshot "failed_$name"
    log "FAIL $name"
  fi
}

# --- main -----------------------------------------------------------------------------------

size=2
start_display
make_prefix
registry 'Software\Pelmarik Solutions\Quorel\Options' 'Keyboard size' REG_DWORD $size
registry 'Software\Pelmarik Solutions\Quorel\Options' 'X' REG_DWORD 300
registry 'Software\Pelmarik Solutions\Quorel\Options' 'Y' REG_DWORD 560
registry 'Software\Pelmarik Solutions\Quorel\Options' 'Use slides for' REG_DWORD 1
registry 'Software\Pelmarik Solutions\Quorel\Options' 'Minimum highlight time' REG_DWORD 0

scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || scenarios=(taps shift slide_capital preview_list glossary reload_slides second_start sizes drag
  menu missing_companion choose_slides font_cancelled rotation_refused duo close)

for name in "${scenarios[@]}"; do
  size=2
  registry 'Software\Pelmarik Solutions\Quorel\Options' 'Use slides for' REG_DWORD 1
  registry 'Software\Pelmarik Solutions\Quorel\Options' 'Keyboard size' REG_DWORD $size
  registry 'Software\Pelmarik Solutions\Quorel\Options' 'X' REG_DWORD 300
  registry 'Software\Pelmarik Solutions\Quorel\Options' 'Y' REG_DWORD 560
  if declare -F "setup_$name" >/dev/null; then "setup_$name"; fi
  # Every scenario starts from notepad with the keyboard beside it and notepad in front.
  if ! start_notepad; then
    failed=$((failed + 1))
    screenshot "failed_notepad_$name"
  elif ! start_keyboard; then
    failed=$((failed + 1))
    screenshot "failed_start_$name"
  elif ! focus_notepad; then
    failed=$((failed + 1))
    screenshot "failed_focus_$name"
  else
    screenshot "keyboard_$name"
    run_scenario "$name"
  fi
  keyboard_up && close_keyboard
  wineserver -k >/dev/null 2>&1
  wineserver -w
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
