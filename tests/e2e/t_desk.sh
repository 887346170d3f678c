#!/usr/bin/env bash
# At the desk as a person: Dialout from the tray and a number typed with real
# keys into whatever has the focus; the tray's Dialout over the hotkey's
# dialog; the clipboard (text, RTF, picture) back after a press; a copy made
# while the dialog is open kept.
. "$(dirname "$0")/lib.sh"
e2e_begin desk
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
"Phone number"="301"
"End Profile Checkbox"=dword:00000000
REG
called() { fonctl dlg-text has:1015 1015; }
wait_dialog() { for i in $(seq 1 50); do called >/dev/null 2>&1 && return 0; sleep 0.1; done; return 1; }
wait_no_dialog() { for i in $(seq 1 50); do called >/dev/null 2>&1 || return 0; sleep 0.1; done; return 1; }
tray_dialout() { fonctl tray rbuttondown >/dev/null; fonctl wait-window --visible "#32768" 5000 >/dev/null
  fonctl menu-pick 1 >/dev/null; }
hotkey_over() { wine 'C:\fonaris-test\selectionapp.exe' "$1" 60000 >/dev/null 2>&1 & app=$!
  fonctl wait-window --visible FonarisSelectionApp 20000 >/dev/null; sleep 0.3; xdotool key F8; wait_dialog; }
# Windows lists the formats it makes from others last: compared as sets.
formats() { fonctl clip-formats | sort >"$E2E_DIR/clip-$1.txt"; }
e2e_start_client
check "connected" wait_log "Relay answers to GETACTIVEFORCEDPROFILE request" 30

tray_dialout
check "tray: dialog opens" wait_dialog
check_eq "tray: the focus in the called-number box" "1015	ComboBox" "$(fonctl focus)"
xdotool type --delay 30 "0301234567"; xdotool key Return
check "typed number dialled" wait_log 'QUICKCALL caller "301" called "0301234567" user 42' 5 1 "$E2E_TSG_LOG"
wait_no_dialog

hotkey_over "0309876"
tray_dialout; sleep 1
check_eq "hotkey, then tray: one dialog" "1" "$(fonctl windows | awk -F'\t' '$2 == "#32770" && $3 == "1"' | wc -l)"
check_eq "hotkey, then tray: number kept" "0309876" "$(called)"
xdotool key Escape; wait_no_dialog; kill "$app"; wait "$app" 2>/dev/null

fonctl clip-set-rich "user's 0301" >/dev/null; formats before
hotkey_over "0305555"
check_eq "clipboard round: the selection" "0305555" "$(called)"
xdotool key Escape; wait_no_dialog; sleep 0.3; formats after
check "every format back as before" diff "$E2E_DIR/clip-before.txt" "$E2E_DIR/clip-after.txt"
kill "$app"; wait "$app" 2>/dev/null
hotkey_over "0305555"
fonctl clip-set "copied meanwhile" >/dev/null
xdotool key Escape; wait_no_dialog; sleep 0.3
check_eq "a copy made meanwhile stays" "copied meanwhile" "$(fonctl clip-get)"
kill "$app"; wait "$app" 2>/dev/null
e2e_end
exit $((E2E_FAILS > 0))
