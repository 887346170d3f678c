#!/usr/bin/env bash
# The configuration dialog in both languages and what the client does with
# its settings; Exit with an end profile, the exit warning, the session end.
. "$(dirname "$0")/lib.sh"
e2e_begin config
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"End Profile Checkbox"=dword:00000001
"End Profile"="Away"
REG
e2e_foreground_app
e2e_start_client
check "profiles loaded" wait_log "Relay answers to GETPROFILELIST request: +OK" 30
A_LOG=$E2E_TSG_LOG A_CTI=$TSG_CTI A_RELAY=$TSG_RELAY
E2E_TSG_LOG=$E2E_DIR/tsg-sim-new-port.log e2e_tsg  # the server port to change to; ctl talks to it
until_eq() { local want=$1 i; shift; for i in $(seq 40); do [ "$("$@")" == "$want" ] && return 0; sleep 0.25; done; false; }
dlg() { fonctl "$1" has:1076 "${@:2}"; }
reg() { e2e_reg_dword 'HKEY_CURRENT_USER\Software\Mirelta\Fonaris' "$1"; }

fonctl command 32783 >/dev/null
check "dialog opens in German" until_eq "Konfiguration" dlg dlg-text 1076
shot config-german
dlg dlg-choose 1063 English >/dev/null
check "labels switch to English" until_eq "Configuration" dlg dlg-text 1076
shot config-english
dlg dlg-set 1002 abc >/dev/null; dlg dlg-click 1 >/dev/null
check "a port of abc is refused" until_eq "Please enter an integer." fonctl dlg-text Error 65535
fonctl dlg-click Error 1 >/dev/null
check_eq "nothing stored" "$A_CTI 0" "$(reg 'Server Port') $(e2e_reg_export 'HKEY_CURRENT_USER\Software\Mirelta\Fonaris' | grep -c '"Language"="English"')"
dlg dlg-set 1002 "$TSG_CTI" >/dev/null; dlg dlg-set 1004 7 >/dev/null; dlg dlg-click 1065 >/dev/null
dlg dlg-hotkey 1049 113 2 >/dev/null; dlg dlg-click 1 >/dev/null
check "client reconnects to the new port" wait_log "CTI client connected" 15 1 "$E2E_TSG_LOG"
check_eq "stored" "$TSG_CTI 7 1 2 113 2 42" "$(for v in 'Server Port' 'Idle Timer' 'Idle Timer Checkbox' 'Language Index' 'Hotkey - Virtual Key' 'Hotkey - Modifier' 'User ID'; do reg "$v"; done | xargs)"
xdotool key ctrl+F2; check "the new hotkey (Ctrl+F2) reaches the client" wait_log "Hotkey selection: " 5
ctl event 'X|1|Anna Schmidt|0301234567|0302222|42|\n' >/dev/null
check "popup after the change" wait_log "void CPopup::Show(" 10
sleep 0.8; shot popup-english

fonctl command 32780 >/dev/null
check "end profile forced, +OK read" wait_log "Relay answers to SETACTIVE request: +OK" 10
t0=$(date +%s%3N); check "process gone" wait_exit "$E2E_CLIENT_PID" 5; ms=$(( $(date +%s%3N) - t0 ))
check "about half a second after +OK ($ms ms)" test "$ms" -ge 300 -a "$ms" -le 1500
check_eq "no tray icon" "none" "$(tray_state)"

e2e_start_client "$E2E_DIR/client2.log"
check "restarted" wait_log "Relay answers to GETPROFILELIST request: +OK" 30 1 "$E2E_DIR/client2.log"
printf '[HKEY_CURRENT_USER\\Software\\Mirelta\\Fonaris]\n"Relay Port"=dword:00000001\n' | e2e_reg_import
fonctl command 32780 >/dev/null
check "relay down: the warning at once" until_eq "Information" fonctl dlg-text has:1062 1078
shot exit-warning
fonctl dlg-click has:1062 2 >/dev/null
ctl event 'X|2|Bernd Meyer|0409876|0302222|42|\n' >/dev/null
check "still popping up calls" wait_log "void CPopup::Show(" 10 1 "$E2E_DIR/client2.log"
printf '[HKEY_CURRENT_USER\\Software\\Mirelta\\Fonaris]\n"Language Index"=dword:00000001\n' | e2e_reg_import
fonctl command 32780 >/dev/null
check "the warning in German" until_eq "Abbrechen" fonctl dlg-text has:1062 2
shot exit-warning-de
fonctl dlg-click has:1062 2 >/dev/null
printf '[HKEY_CURRENT_USER\\Software\\Mirelta\\Fonaris]\n"Relay Port"=dword:%08x\n' "$A_RELAY" | e2e_reg_import
fonctl end-session >/dev/null
check "both ends sent the end profile" wait_log 'RELAY request "FORCEPROFILE|42|7\0"' 5 2 "$A_LOG"
check "and ends" wait_exit "$E2E_CLIENT_PID" 5
e2e_end
exit $((E2E_FAILS > 0))
