#!/usr/bin/env bash
# The package: silent install with presets, a start through them, upgrade in place, refused
# downgrade, clean uninstall, and bad presets judged like a user's own.
. "$(dirname "$0")/lib.sh"
e2e_begin package
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"  # no desktop entries on the host
cmake --build "$E2E_WIN" --target fonaris_next -j 2 >"$E2E_DIR/build.log" 2>&1 || exit 1
v1=$(cat "$E2E_ROOT/VERSION") v2=$(cat "$E2E_WIN/next-version.txt")
old=$("$E2E_ROOT/installer/build-msi.sh" "$E2E_WIN/fonaris.exe" "$v1" "$E2E_DIR/Fonaris-$v1.msi") || exit 1
new=$("$E2E_ROOT/installer/build-msi.sh" "$E2E_WIN/next/fonaris.exe" "$v2" "$E2E_DIR/Fonaris-$v2.msi") || exit 1

exe='C:\Program Files\Fonaris\fonaris.exe' machine='HKLM\Software\Mirelta\Fonaris' run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
msiexec() { wine msiexec "$@" >>"$E2E_DIR/msiexec.out" 2>&1; }
exported() { e2e_reg_export "$1" 2>/dev/null | grep -cxF -- "$2"; }
files() { ls "$(winepath -u "$exe")" 2>/dev/null | grep -c .; }
shortcut() { find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Fonaris.lnk' | grep -c .; }
entries() {  # installed programs named Fonaris: "version publisher"
  e2e_reg_export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null | awk -F'"' '
    /^\[/ { if (n == "Fonaris") print v, p; n = v = p = "" }
    $2 == "DisplayName" { n = $4 } $2 == "DisplayVersion" { v = $4 } $2 == "Publisher" { p = $4 }
    END { if (n == "Fonaris") print v, p }'
}
file_version() { fonctl file-version "$exe" | sed -n "s/^$1=//p"; }
start_installed() {  # LOG
  : >"$1"; wine "$exe" --log "$(winepath -w "$1")" >>"$E2E_DIR/wine.out" 2>&1 &
  E2E_CLIENT_PID=$!; E2E_PIDS+=("$E2E_CLIENT_PID")
}
stop_client() { kill "$E2E_CLIENT_PID"; wait_exit "$E2E_CLIENT_PID" 10; }

e2e_tsg --cti-port 12346  # the CTI port a registration stores
crm='http://crm.example/call?no={CALLERNO}&id=[x]'
check "silent install" msiexec /i "$(winepath -w "$old")" /qn SERVERADDRESS=127.0.0.1 CTIPORT="$TSG_CTI" \
  RELAYPORT="$TSG_RELAY" "CRMTEMPLATE=$crm" AUTOSTART=1
check_eq "exe in Program Files, Start menu shortcut, one entry" "1 1 $v1 Mirelta" "$(files) $(shortcut) $(entries)"
check_eq "file properties" "Fonaris Mirelta $v1" "$(file_version ProductName) $(file_version CompanyName) $(file_version FileVersion)"
check_eq "machine-wide presets" "1 $TSG_CTI $TSG_RELAY 1" "$(exported "$machine" '"Server IP Address"="127.0.0.1"') \
$(e2e_reg_dword "$machine" 'Server Port') $(e2e_reg_dword "$machine" 'Relay Port') $(exported "$machine" "\"CRM HTML Request\"=\"$crm\"")"
check_eq "autostart for every user" 1 "$(exported "$run" '"Mirelta Fonaris"="\"C:\\Program Files\\Fonaris\\fonaris.exe\""')"

# A first start with an empty user hive: the registration shows the preset server.
start_installed "$E2E_DIR/first-start.log"
for i in $(seq 1 60); do fonctl dlg-text has:1063 1063 >/dev/null && break; sleep 0.3; done
check_eq "registration shows the preset address and relay port" "127.0.0.1 $TSG_RELAY" \
  "$(fonctl dlg-text has:1063 1018) $(fonctl dlg-text has:1063 1019)"
fonctl dlg-set has:1063 1016 demo >/dev/null; fonctl dlg-set has:1063 1017 demo >/dev/null
fonctl dlg-click has:1063 1 >/dev/null
check "logs in and connects to the server" wait_log "Connection to TSG (CTI-Port) ready" 20 1 "$E2E_DIR/first-start.log"
check "first client stopped" stop_client
wine reg delete 'HKCU\Software\Mirelta\Fonaris' /f >/dev/null 2>&1

printf '[HKEY_CURRENT_USER\\Software\\Mirelta\\Fonaris]\n"User ID"=dword:0000002a\n' | e2e_reg_import
before=$(e2e_reg_export "$machine")  # the user above has no server settings of their own
start_installed "$E2E_CLIENT_LOG"
check "installed client connects through the presets" wait_log "Connection to TSG (CTI-Port) ready" 20
check "server sees the client" ctl wait-clients 1 5000
check "client stopped" stop_client
check_eq "machine key untouched, nothing copied to the user" "$before 0" \
  "$(e2e_reg_export "$machine") $(e2e_reg_export 'HKCU\Software\Mirelta\Fonaris' | grep -ci 'Server')"

check "upgrade in place" msiexec /i "$(winepath -w "$new")" /qn RELAYPORT=4002
check_eq "one entry of the new version, new file" "$v2 Mirelta|$v2 $v2" "$(entries)|$(file_version ProductVersion) $(file_version FileVersion)"
check_eq "presets kept but the one given anew" "$(sed "s/dword:$(printf %08x "$TSG_RELAY")/dword:00000fa2/" <<<"$before") 1" \
  "$(e2e_reg_export "$machine") $(exported "$run" '"Mirelta Fonaris"="\"C:\\Program Files\\Fonaris\\fonaris.exe\""')"
wine msiexec /i "$(winepath -w "$old")" /qb >>"$E2E_DIR/msiexec.out" 2>&1 &
down=$!
check "downgrade refused on the screen" fonctl wait-window --visible "#32770" 15000 >/dev/null
check_eq "with its reason" "A newer version of Fonaris is already installed. Uninstall it first to go back to this version." \
  "$(fonctl dlg-text '#32770' 65535)"
fonctl dlg-click '#32770' 1 >/dev/null
wait "$down"; check_eq "downgrade fails (1603 mod 256), newer version kept" "67 $v2" "$? $(file_version ProductVersion)"

check "silent uninstall" msiexec /x "$(winepath -w "$new")" /qn
check_eq "exe, shortcut, entry, machine values, autostart gone" "0 0||0|0" "$(files) $(shortcut)|$(entries)|$(e2e_reg_export \
  'HKLM\Software\Mirelta' 2>/dev/null | grep -c '=')|$(e2e_reg_export "$run" 2>/dev/null | grep -c Fonaris)"
check_eq "user settings stay" 42 "$(e2e_reg_dword 'HKCU\Software\Mirelta\Fonaris' 'User ID')"

# Bad presets still install; the client judges them as it would the user's.
check "bad presets install" msiexec /i "$(winepath -w "$old")" /qn SERVERADDRESS=127.0.0.1 CTIPORT=70000 \
  RELAYPORT=abc CRMTEMPLATE="$(printf 'x%.0s' {1..1100})" AUTOSTART=
check_eq "an empty preset writes nothing" 0 "$(e2e_reg_export "$run" 2>/dev/null | grep -c Fonaris)"
failure() {  # LOG: the client's first connect failure
  start_installed "$1"; wait_log "Failed to connect to TSG (CTI-Port)" 20 1 "$1" && stop_client
  grep -m1 -F "Failed to connect to TSG (CTI-Port)" "$1" | cut -c25- | tr -d '\r'
}
machine_port=$(failure "$E2E_DIR/bad-machine.log")
printf '[HKEY_CURRENT_USER\\Software\\Mirelta\\Fonaris]\n"Server Port"=dword:00011170\n' | e2e_reg_import
check_eq "port 70000 fails alike from the machine and the user" "$(failure "$E2E_DIR/bad-user.log")" "${machine_port:-none}"
check_eq "never connected" 0 "$(cat "$E2E_DIR"/bad-*.log | grep -c 'CTI-Port) ready')"
e2e_end
exit $((E2E_FAILS > 0))
