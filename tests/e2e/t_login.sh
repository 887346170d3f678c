#!/usr/bin/env bash
# First start without a user id: the registration (refused once, then
# accepted), the four values, the connection; then the tray's login, a
# second command while it is open, and a login while the CTI port is down.
# Screenshots of both dialogs in German and of the login in English.
. "$(dirname "$0")/lib.sh"
e2e_begin login
printf 'user anna Pw-7xq9 43 7\nuser demo demo 42 7\n' >"$E2E_DIR/users.txt"
e2e_tsg --users "$E2E_DIR/users.txt" --cti-port 12346  # the CTI port a registration stores
dialog_with() {  # ID: waits for a visible dialog with that control
  for i in $(seq 1 60); do fonctl dlg-text "has:$1" "$1" >/dev/null && return 0; sleep 0.3; done; return 1
}
ok_with() {  # DIALOG ID TEXT...: types into the controls, then OK
  local dlg=$1; shift; while [ $# -ge 2 ]; do fonctl dlg-set "$dlg" "$1" "$2" >/dev/null; shift 2; done
  fonctl dlg-click "$dlg" 1 >/dev/null
}
KEY='HKCU\Software\Mirelta\Fonaris'
stored() { for v in "$@"; do printf '%s ' "$(e2e_reg_dword "$KEY" "$v")"; done; }

e2e_foreground_app
e2e_start_client
check "registration dialog at a first start" dialog_with 1063
check_eq "user name preset" "$(whoami | cut -c1-19)" "$(fonctl dlg-text has:1063 1016)"
shot registration-de
ok_with has:1063 1016 anna 1017 Xq-wrong1 1018 127.0.0.1 1019 "$TSG_RELAY"
check "wrong password refused" wait_log "Error at Login: wrong password" 15
check_eq "failure popup shown, dialog stays open" "1 anna" "$(popup_count) $(fonctl dlg-text has:1063 1016)"
ok_with has:1063 1017 Pw-7xq9
check "login sent without zero byte" wait_log 'RELAY request "CTILOGIN|anna|Pw-7xq9" #' 15 1 "$E2E_TSG_LOG"
check "client connects and asks for the lists" wait_log 'RELAY request "GETACTIVEFORCEDPROFILE|43\0"' 20 1 "$E2E_TSG_LOG"
check "the configuration follows the registration" dialog_with 1076
fonctl dlg-click has:1076 2 >/dev/null
check_eq "four values stored" "43 $TSG_RELAY 12346 1" \
  "$(stored 'User ID' 'Relay Port' 'Server Port')$(e2e_reg_export "$KEY" | grep -cx '"Server IP Address"="127.0.0.1"')"

fonctl command 32788 >/dev/null
check "login dialog from the tray" dialog_with 1054
fonctl command 32788 >/dev/null
sleep 1
check_eq "a second command opens no second one" 1 "$(fonctl windows | awk -F'\t' '$2 == "#32770" && $3 == "1"' | wc -l)"
shot login-de
ok_with has:1054 1016 demo 1017 demo
check "lists asked for the new user" wait_log 'RELAY request "GETACTIVEFORCEDPROFILE|42\0"' 15 1 "$E2E_TSG_LOG"
check_eq "user and parent stored" "42 7 " "$(stored 'User ID' 'Parent User ID')"

printf '[%s]\n"Language Index"=dword:00000002\n' 'HKEY_CURRENT_USER\Software\Mirelta\Fonaris' | e2e_reg_import
ctl cti down >/dev/null; ctl drop >/dev/null
check "link lost" wait_log "Connection to TSG lost" 15
fonctl command 32788 >/dev/null
check "login dialog again" dialog_with 1054
shot login-en
ok_with has:1054 1016 anna 1017 Pw-7xq9
check "link still down: connect failure" wait_log "Error at Connecting (Relay)" 15
ctl cti up >/dev/null
fonctl dlg-click has:1054 1 >/dev/null
check "sent once the link is back" wait_log 'RELAY request "CTILOGIN|anna|Pw-7xq9" #' 15 2 "$E2E_TSG_LOG"
sleep 1
check_eq "deferred login stored" "43 " "$(stored 'User ID')"
check_eq "password never in the log, requests shown masked" "0 3" \
  "$(($(log_count Pw-7xq9) + $(log_count Xq-wrong1))) $(log_count 'Message sent: CTILOGIN|anna|********')"
e2e_end
exit $((E2E_FAILS > 0))
