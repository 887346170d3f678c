#!/usr/bin/env bash
# No user id stored: the dial-out history is reset, the registration asks
# (in English here), and its Cancel ends the client without a tray icon.
. "$(dirname "$0")/lib.sh"
e2e_begin unregistered
e2e_tsg
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris\DialOutList]
"Entrys"=dword:00000005
"LastChanged"=dword:00000002
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
REG
e2e_start_client
for i in $(seq 1 60); do fonctl dlg-text has:1063 1063 >/dev/null && break; sleep 0.3; done
check_eq "registration dialog in English" "Username:" "$(fonctl dlg-text has:1063 1050)"
shot registration-en
check "cancelled" fonctl dlg-click has:1063 2
check_eq "no tray icon" none "$(tray_state)"
check "client ends by itself" wait_exit "$E2E_CLIENT_PID" 20
check_eq "history count reset" 0 "$(e2e_reg_dword 'HKCU\Software\Mirelta\Fonaris\DialOutList' 'Entrys')"
check_eq "last changed reset" 0 "$(e2e_reg_dword 'HKCU\Software\Mirelta\Fonaris\DialOutList' 'LastChanged')"
check_eq "no connection" 0 "$(log_count 'Connection to TSG')"
e2e_end
exit $((E2E_FAILS > 0))
