#!/usr/bin/env bash
# The client as a person meets it at the desk under Wine: Dialout from the
# tray and the number typed with real keys into whatever has the focus; the
# hotkey's dialog raised (not replaced) by the tray's Dialout; the user's
# clipboard (text, formatted text, picture) back after a hotkey press, and a
# copy made while the dialog is open kept.
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
dialogs() { fonctl windows | awk -F'\t' '$2 == "#32770" && $3 == "1"' | wc -l; }
wait_dialog() { for i in $(seq 1 50); do called >/dev/null 2>&1 && return 0; sleep 0.1; done; return 1; }
wait_no_dialog() { for i in $(seq 1 50); do called >/dev/null 2>&1 || return 0; sleep 0.1; done; return 1; }
dialled() { wait_log "QUICKCALL caller \"301\" called \"$1\" user 42" 5 1 "$E2E_TSG_LOG"; }
tray_dialout() { fonctl tray rbuttondown >/dev/null; fonctl wait-window --visible "#32768" 5000 >/dev/null
  fonctl menu-pick 1 >/dev/null; }
# The application in front with a selected number; its pid in $app.
front_app() { wine 'C:\fonaris-test\selectionapp.exe' "$1" 60000 >/dev/null 2>&1 & app=$!
  fonctl wait-window --visible FonarisSelectionApp 20000 >/dev/null; sleep 0.3; }
e2e_start_client
check "connected" wait_log "Relay answers to GETACTIVEFORCEDPROFILE request" 30

# Dialout from the tray: the keys land in the called-number box.
tray_dialout
check "tray: dialog opens" wait_dialog
check_eq "tray: the focus is in the called-number box" "1015	ComboBox" "$(fonctl focus)"
xdotool type --delay 30 "0301234567"; xdotool key Return
check "typed number dialled" dialled 0301234567
wait_no_dialog

# Hotkey over a selection, then the tray's Dialout: one dialog, number kept.
front_app "0309876"
xdotool key F8
check_eq "hotkey: the selection" "0309876" "$(wait_dialog; called)"
tray_dialout; sleep 1
check_eq "tray over the hotkey's dialog: still one" "1" "$(dialogs)"
check_eq "tray over the hotkey's dialog: number kept" "0309876" "$(called)"
shot desk-hotkey-then-tray
xdotool key Escape
wait_no_dialog
kill "$app"; wait "$app" 2>/dev/null

# A picture and formatted text on the clipboard, a hotkey press, Cancel:
# every format back. Then a copy made while the dialog is open stays.
fonctl clip-set-rich "user's 0301" >/dev/null
# Compared as sets: Windows lists the formats it makes from others last.
fonctl clip-formats | sort >"$E2E_DIR/clip-before.txt"
front_app "0305555"
xdotool key F8
check_eq "clipboard round: the selection" "0305555" "$(wait_dialog; called)"
xdotool key Escape
wait_no_dialog
sleep 0.3
fonctl clip-formats | sort >"$E2E_DIR/clip-after.txt"
check "every format back as before" diff "$E2E_DIR/clip-before.txt" "$E2E_DIR/clip-after.txt"
fonctl click FonarisSelectionApp 0 200 50 >/dev/null; sleep 0.3
xdotool key F8
check "copy meanwhile: dialog opens" wait_dialog
fonctl clip-set "copied meanwhile" >/dev/null
xdotool key Escape
wait_no_dialog
sleep 0.3
check_eq "the copy made meanwhile stays" "copied meanwhile" "$(fonctl clip-get)"
kill "$app"; wait "$app" 2>/dev/null
e2e_end
exit $((E2E_FAILS > 0))
