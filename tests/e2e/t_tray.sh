#!/usr/bin/env bash
# The tray menu opened by a right click, a command chosen from it, the
# website on a double click, the hotkey's clipboard round trip, and Exit.
. "$(dirname "$0")/lib.sh"
e2e_begin tray
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
"Website"="http://intranet.example/tpm"
"End Profile Checkbox"=dword:00000000
REG
e2e_foreground_app
e2e_start_client
check "connected" wait_log "Connection to TSG (CTI-Port) ready" 30
check "lists loaded" wait_log "Relay answers to GETACTIVEFORCEDPROFILE request" 10

fonctl tray rbuttondown >/dev/null
check "tray menu opens" fonctl wait-window --visible "#32768" 5000 >/dev/null
shot tray-menu
check "third item picked" fonctl menu-pick 3
check "configuration dialog opens" fonctl wait-window --visible "#32770" 5000 >/dev/null
check_eq "in English" "Configuration" "$(fonctl dlg-text has:1076 1076)"
fonctl dlg-click has:1076 2 >/dev/null

fonctl tray lbuttondblclk >/dev/null
for i in $(seq 1 50); do [ -s "$WINEPREFIX/drive_c/fonaris-test/browser.log" ] && break; sleep 0.2; done
check "website opened" grep -qF '"http://intranet.example/tpm"' "$WINEPREFIX/drive_c/fonaris-test/browser.log"

fonctl clip-set "before" >/dev/null
fonctl hotkey >/dev/null
check "hotkey handled" wait_log "Hotkey selection: " 10
check "dial-out dialog shown" fonctl wait-window --visible "#32770" 5000 >/dev/null
fonctl dlg-click has:1015 2 >/dev/null
sleep 0.5
check_eq "clipboard given back" "before" "$(fonctl clip-get)"

fonctl tray rbuttondown >/dev/null
check "tray menu opens again" fonctl wait-window --visible "#32768" 5000 >/dev/null
check "exit picked" fonctl menu-pick 5
check "client ends after Exit" wait_exit "$E2E_CLIENT_PID" 10
e2e_end
exit $((E2E_FAILS > 0))
