#!/usr/bin/env bash
# Things at once: a hotkey and a right click while a relay connect hangs
# (the dialog and the menu come once it has returned), and a lock while the
# exit waits for a slow answer to the end profile (nothing follows the end
# profile and the client ends).
. "$(dirname "$0")/lib.sh"
e2e_begin interleave
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
"End Profile Checkbox"=dword:00000001
"End Profile"="Home"
"Idle Timer Checkbox"=dword:00000001
"Idle Timer"=dword:0000001e
"Idle Timer Profile"="Away"
REG
e2e_foreground_app

# 1. The relay takes connects and never completes them: each list request
# of the connect blocks for its 5 s bound.
ctl relay stall >/dev/null
e2e_start_client
check "connected" wait_log "Connection to TSG (CTI-Port) ready" 30
sleep 1
fonctl hotkey >/dev/null
fonctl tray rbuttondown >/dev/null
sleep 2
check "no dialog inside the blocking connect" bash -c "! wine 'C:\\fonaris-test\\fonctl.exe' dlg-text has:1015 1015 >/dev/null 2>&1"
check_eq "no menu inside it either" "" "$(fonctl windows | awk -F'\t' '$2 == "#32768" && $3 == "1"')"
check "the connect's three requests time out" wait_log "OnConnect error: 10060" 30 3
dialog_open() { wine 'C:\fonaris-test\fonctl.exe' dlg-text has:1015 1015 >/dev/null 2>&1; }
wait_dialog() { local d=$((SECONDS + 10)); until dialog_open; do [ "$SECONDS" -gt "$d" ] && return 1; sleep 0.3; done; }
check "the dial-out dialog comes after the connect" wait_dialog
last_timeout=$(grep -nF "OnConnect error: 10060" "$E2E_CLIENT_LOG" | tail -1 | cut -d: -f1)
hotkey_line=$(grep -nF "Hotkey selection: " "$E2E_CLIENT_LOG" | head -1 | cut -d: -f1)
check "the hotkey was handled after the last blocking connect" test "${hotkey_line:-0}" -gt "${last_timeout:-999999}"
check "the deferred tray menu opens, the dialog still open" fonctl wait-window --visible "#32768" 5000
shot interleave-menu-over-dialog
xdotool key Escape
sleep 0.5
fonctl dlg-click has:1015 2 >/dev/null
fonctl close >/dev/null
check "first client closed" wait_exit "$E2E_CLIENT_PID" 15
ctl relay up >/dev/null

# 2. Exit with a slow relay, and the workstation locked during the wait.
E2E_CLIENT_LOG=$E2E_DIR/client-exit.log
e2e_start_client
check "lists loaded" wait_log "Relay answers to GETPROFILELIST request: +OK" 30
ctl fault FORCEPROFILE late 3000 >/dev/null
fonctl tray rbuttondown >/dev/null
check "tray menu opens" fonctl wait-window --visible "#32768" 5000 >/dev/null
fonctl menu-pick 5 >/dev/null
check "the end profile goes out" wait_log 'RELAY request "FORCEPROFILE|42|1\0"' 10 1 "$E2E_TSG_LOG"
fonctl session lock >/dev/null
check "the client ends after the answer" wait_exit "$E2E_CLIENT_PID" 15
last=$(grep -E 'RELAY request "(FORCEPROFILE|CLEARFORCEDPROFILE)' "$E2E_TSG_LOG" | tail -1 | sed 's/.*RELAY request "\([^"]*\)".*/\1/')
check_eq "the end profile was the last switch" 'FORCEPROFILE|42|1\0' "$last"
check_eq "the idle profile never went out" 0 "$(log_count 'FORCEPROFILE|42|7' "$E2E_TSG_LOG")"
e2e_end
exit $((E2E_FAILS > 0))
