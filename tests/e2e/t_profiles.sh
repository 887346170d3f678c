#!/usr/bin/env bash
# Forwarding profiles: the active-profile dialog after connect, the idle
# profile after a still minute, the restore on a mouse move, a restore that
# cannot reach the relay, and locking the session.
. "$(dirname "$0")/lib.sh"
e2e_begin profiles
e2e_tsg
ctl forced 42 2 >/dev/null
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
"Idle Timer Checkbox"=dword:00000001
"Idle Timer"=dword:00000001
"Idle Timer Profile"="Away"
REG
e2e_foreground_app
fonctl cursor 600 400 >/dev/null
e2e_start_client
check "connected" wait_log "Connection to TSG (CTI-Port) ready" 30

# The forced profile is shown; another one is chosen.
dialog_shows() { [ "$(fonctl dlg-text has:1063 1016)" == "$1" ]; }
wait_dialog() {
  local deadline=$((SECONDS + 15))
  until dialog_shows "$1"; do [ "$SECONDS" -gt "$deadline" ] && return 1; sleep 0.3; done
}
check "the dialog shows the forced profile" wait_dialog Office
shot active-profile-en
check "Home chosen" fonctl dlg-choose has:1063 1063 Home
fonctl dlg-click has:1063 1 >/dev/null
check "server got the choice with its zero byte" wait_log 'RELAY request "FORCEPROFILE|42|1\0"' 10 1 "$E2E_TSG_LOG"
check "+OK closes the dialog" wait_log "Relay answers to FORCEPROFILE request (informactiveprofile): +OK" 10
sleep 0.5
check "the dialog is gone" bash -c "! wine 'C:\\fonaris-test\\fonctl.exe' dlg-text has:1063 1016 >/dev/null 2>&1"

# A still minute: the idle profile, after asking what is forced now.
check "idle profile forced" wait_log 'RELAY request "FORCEPROFILE|42|7\0"' 75 1 "$E2E_TSG_LOG"
check "away after +OK" wait_log "Idle Timer active" 10
check "tray shows away" wait_tray away 10
check_eq "asked for the forced profile before" 2 "$(log_count 'RELAY request "GETACTIVEFORCEDPROFILE|42\0"' "$E2E_TSG_LOG")"
fonctl cursor 640 420 >/dev/null
check "a mouse move restores Home" wait_log 'RELAY request "FORCEPROFILE|42|1\0"' 10 2 "$E2E_TSG_LOG"
check "tray back online" wait_tray online 10

# Locking switches at once; the relay is unreachable when the user unlocks.
fonctl session lock >/dev/null
check "lock forces the idle profile" wait_log 'RELAY request "FORCEPROFILE|42|7\0"' 10 2 "$E2E_TSG_LOG"
check "tray away on lock" wait_tray away 10
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Relay Port"=dword:00000001
REG
fonctl session unlock >/dev/null
check "restore cannot connect" wait_log "Error at connecting to relay port" 10
check "tray online at once" wait_tray online 10
sleep 0.8
check_eq "text 232 shown" 1 "$(popup_count)"
shot restore-relay-down
e2e_seed_user 42
ctl drop >/dev/null
check "the restore goes out after the next connect" wait_log 'RELAY request "FORCEPROFILE|42|1\0"' 45 3 "$E2E_TSG_LOG"

# The periodic restart does not bring the dialog back.
check "periodic restart" wait_log "Trying to restart the connection" 130
sleep 3
check_eq "the dialog came once" 1 "$(log_count 'informactiveprofile')"

# The dialog in German.
ctl forced 42 2 >/dev/null
fonctl close >/dev/null
check "client closed" wait_exit "$E2E_CLIENT_PID" 15
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="Deutsch"
REG
E2E_CLIENT_LOG=$E2E_DIR/client-de.log
e2e_start_client
check "German dialog" wait_dialog Office
shot active-profile-de
sent=$(log_count 'RELAY request "FORCEPROFILE' "$E2E_TSG_LOG")
fonctl dlg-click has:1063 2 >/dev/null
sleep 2
check_eq "cancel sends nothing" "$sent" "$(log_count 'RELAY request "FORCEPROFILE' "$E2E_TSG_LOG")"
e2e_end
exit $((E2E_FAILS > 0))
