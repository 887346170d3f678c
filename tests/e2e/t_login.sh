#!/usr/bin/env bash
# First start without a user id: the registration (refused once, then
# accepted), the four values, the connection; then the tray's login, a
# second command while it is open, and a login while the CTI port is down.
# Screenshots of both dialogs in German and of the login in English.
. "$(dirname "$0")/lib.sh"
e2e_begin login
printf 'user anna Pw-7xq9 43 7\nuser demo demo 42 7\n' >"$E2E_DIR/users.txt"
# The registration stores the server's usual CTI port.
e2e_tsg --users "$E2E_DIR/users.txt" --cti-port 12346
# dialog_with ID [TIMEOUT_S]: waits for a visible dialog with that control.
dialog_with() {
  local deadline=$((SECONDS + ${2:-20}))
  until fonctl dlg-text "has:$1" "$1" >/dev/null; do [ "$SECONDS" -gt "$deadline" ] && return 1; sleep 0.3; done
}
fill() { local dlg=$1; shift; while [ $# -ge 2 ]; do fonctl dlg-set "$dlg" "$1" "$2" >/dev/null; shift 2; done; }
reg_string() { e2e_reg_export 'HKCU\Software\Mirelta\Fonaris' | grep -i "^\"$1\"=" | sed 's/^[^=]*="\(.*\)"$/\1/'; }
KEY='HKCU\Software\Mirelta\Fonaris'

e2e_foreground_app
e2e_start_client
check "registration dialog at a first start" dialog_with 1063
check_eq "user name preset" "$(whoami | cut -c1-19)" "$(fonctl dlg-text has:1063 1016)"
shot registration-de
fill has:1063 1016 anna 1017 Xq-wrong1 1018 127.0.0.1 1019 "$TSG_RELAY"
fonctl dlg-click has:1063 1 >/dev/null
check "wrong password refused" wait_log "Error at Login: wrong password" 15
check "failure popup shown" test "$(popup_count)" -ge 1
check_eq "dialog stays open" anna "$(fonctl dlg-text has:1063 1016)"
fill has:1063 1017 Pw-7xq9
fonctl dlg-click has:1063 1 >/dev/null
check "login sent without zero byte" wait_log 'RELAY request "CTILOGIN|anna|Pw-7xq9" #' 15 1 "$E2E_TSG_LOG"
check "client connects" wait_log "Connection to TSG (CTI-Port) ready" 20
check "and asks for the lists" wait_log 'RELAY request "GETACTIVEFORCEDPROFILE|43\0"' 15 1 "$E2E_TSG_LOG"
check_eq "User ID stored" 43 "$(e2e_reg_dword "$KEY" 'User ID')"
check_eq "address stored" 127.0.0.1 "$(reg_string 'Server IP Address')"
check_eq "relay port stored" "$TSG_RELAY" "$(e2e_reg_dword "$KEY" 'Relay Port')"
check_eq "CTI port stored" 12346 "$(e2e_reg_dword "$KEY" 'Server Port')"

fonctl command 32788 >/dev/null
check "login dialog from the tray" dialog_with 1054
fonctl command 32788 >/dev/null
sleep 1
check_eq "a second command opens no second one" 1 "$(fonctl windows | awk -F'\t' '$2 == "#32770" && $3 == "1"' | wc -l)"
shot login-de
fill has:1054 1016 demo 1017 demo
fonctl dlg-click has:1054 1 >/dev/null
check "tray login sent" wait_log 'RELAY request "CTILOGIN|demo|demo" #' 15 1 "$E2E_TSG_LOG"
check "lists asked for the new user" wait_log 'RELAY request "GETACTIVEFORCEDPROFILE|42\0"' 15 1 "$E2E_TSG_LOG"
check_eq "User ID of the login" 42 "$(e2e_reg_dword "$KEY" 'User ID')"
check_eq "Parent User ID of the login" 7 "$(e2e_reg_dword "$KEY" 'Parent User ID')"

e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language Index"=dword:00000002
REG
ctl cti down >/dev/null; ctl drop >/dev/null
check "link lost" wait_log "Connection to TSG lost" 15
fonctl command 32788 >/dev/null
check "login dialog again" dialog_with 1054
shot login-en
fill has:1054 1016 anna 1017 Pw-7xq9
fonctl dlg-click has:1054 1 >/dev/null
check "link still down: connect failure" wait_log "Error at Connecting (Relay)" 15
ctl cti up >/dev/null
fonctl dlg-click has:1054 1 >/dev/null
check "sent once the link is back" wait_log 'RELAY request "CTILOGIN|anna|Pw-7xq9" #' 15 2 "$E2E_TSG_LOG"
check "link back" wait_log "Connection to TSG (CTI-Port) ready" 15 2
sleep 1
check_eq "User ID after the deferred login" 43 "$(e2e_reg_dword "$KEY" 'User ID')"
check_eq "password never in the log" 0 "$(($(log_count Pw-7xq9) + $(log_count Xq-wrong1)))"
check "requests shown masked" wait_log "Message sent: CTILOGIN|anna|********" 1 3
e2e_end
exit $((E2E_FAILS > 0))
