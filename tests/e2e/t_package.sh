#!/usr/bin/env bash
# The Windows Installer package: silent install with machine-wide presets, a
# start that reaches tsg-sim through them, upgrade in place, refused
# downgrade, clean uninstall, and bad presets judged like a user's own.
. "$(dirname "$0")/lib.sh"
e2e_begin package
# No desktop entries on the build host for the package's shortcut.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

cmake --build "$E2E_WIN" --target fonaris_next -j 2 >"$E2E_DIR/build.log" 2>&1 || { e2e_log "no fonaris_next"; exit 1; }
v1=$(cat "$E2E_ROOT/VERSION") v2=$(cat "$E2E_WIN/next-version.txt")
old=$("$E2E_ROOT/installer/build-msi.sh" "$E2E_WIN/fonaris.exe" "$v1" "$E2E_DIR/Fonaris-$v1.msi") || exit 1
new=$("$E2E_ROOT/installer/build-msi.sh" "$E2E_WIN/next/fonaris.exe" "$v2" "$E2E_DIR/Fonaris-$v2.msi") || exit 1

installed="$WINEPREFIX/drive_c/Program Files/Fonaris/fonaris.exe"
machine='HKLM\Software\Mirelta\Fonaris'
msiexec() { wine msiexec "$@" >>"$E2E_DIR/msiexec.out" 2>&1; }
shortcut() { find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Fonaris.lnk' | grep -c .; }
# Installed products named Fonaris, as "version publisher" lines.
entries() {
  e2e_reg_export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null | awk -F'"' '
    /^\[/ { if (name == "Fonaris") print version, publisher; name = version = publisher = "" }
    $2 == "DisplayName" { name = $4 } $2 == "DisplayVersion" { version = $4 } $2 == "Publisher" { publisher = $4 }
    END { if (name == "Fonaris") print version, publisher }'
}
file_version() { fonctl file-version 'C:\Program Files\Fonaris\fonaris.exe' | grep "^$1=" | cut -d= -f2; }
run_installed() {  # LOG: starts the installed exe
  : >"$1"
  wine 'C:\Program Files\Fonaris\fonaris.exe' --log "$(winepath -w "$1")" >>"$E2E_DIR/wine.out" 2>>"$E2E_DIR/wine.err" &
  E2E_CLIENT_PID=$!; E2E_PIDS+=("$E2E_CLIENT_PID")
}
stop_client() { kill "$E2E_CLIENT_PID" 2>/dev/null; wait_exit "$E2E_CLIENT_PID" 10; }

e2e_tsg
crm='http://crm.example/call?no={CALLERNO}&id=[x]'
check "silent install" msiexec /i "$(winepath -w "$old")" /qn SERVERADDRESS=127.0.0.1 CTIPORT="$TSG_CTI" \
  RELAYPORT="$TSG_RELAY" "CRMTEMPLATE=$crm" AUTOSTART=1
check "exe in Program Files" test -f "$installed"
check_eq "Start menu shortcut" 1 "$(shortcut)"
check_eq "one installed-programs entry" "$v1 Mirelta" "$(entries)"
check_eq "product in the version resource" "Fonaris Mirelta" "$(file_version ProductName) $(file_version CompanyName)"
check_eq "machine-wide address" 1 "$(e2e_reg_export "$machine" | grep -cxF '"Server IP Address"="127.0.0.1"')"
check_eq "machine-wide CTI port" "$TSG_CTI" "$(e2e_reg_dword "$machine" 'Server Port')"
check_eq "machine-wide relay port" "$TSG_RELAY" "$(e2e_reg_dword "$machine" 'Relay Port')"
check_eq "CRM template as given" 1 "$(e2e_reg_export "$machine" | grep -cxF "\"CRM HTML Request\"=\"$crm\"")"
check_eq "autostart for every user" 1 "$(e2e_reg_export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' |
  grep -cxF '"Mirelta Fonaris"="\"C:\\Program Files\\Fonaris\\fonaris.exe\""')"

# A registered user with no server settings of their own.
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"User ID"=dword:0000002a
REG
before=$(e2e_reg_export "$machine")
run_installed "$E2E_CLIENT_LOG"
check "installed client connects through the presets" wait_log "Connection to TSG (CTI-Port) ready" 20
check "server sees the client" ctl wait-clients 1 5000
check "client stopped" stop_client
check_eq "machine key untouched by the client" "$before" "$(e2e_reg_export "$machine")"
check_eq "no server address copied to the user" 0 "$(e2e_reg_export 'HKCU\Software\Mirelta\Fonaris' | grep -ci 'Server IP')"

check "upgrade in place" msiexec /i "$(winepath -w "$new")" /qn SERVERADDRESS=127.0.0.1
check_eq "still one entry, the new version" "$v2 Mirelta" "$(entries)"
check_eq "new version in the file" "$v2 $v2" "$(file_version ProductVersion) $(file_version FileVersion)"
check_eq "the upgrade's presets only" "" "$(e2e_reg_dword "$machine" 'Server Port')"

# The older package is refused, with its reason on the screen.
wine msiexec /i "$(winepath -w "$old")" /qb >>"$E2E_DIR/msiexec.out" 2>&1 &
down=$!
check "downgrade refused on the screen" fonctl wait-window --visible "#32770" 15000 >/dev/null
check_eq "with the reason" "A newer version of Fonaris is already installed. Uninstall it first to go back to this version." \
  "$(fonctl dlg-text '#32770' 65535)"
shot downgrade
fonctl dlg-click '#32770' 1 >/dev/null
wait "$down"; check_eq "downgrade fails (1603 mod 256)" 67 "$?"
check_eq "newer version kept" "$v2" "$(file_version ProductVersion)"

check "silent uninstall" msiexec /x "$(winepath -w "$new")" /qn
check "exe gone" test ! -e "$installed"
check_eq "shortcut gone" 0 "$(shortcut)"
check_eq "no entry left" "" "$(entries)"
check_eq "machine-wide values gone" "" "$(e2e_reg_export 'HKLM\Software\Mirelta' 2>/dev/null | grep '=')"
check_eq "autostart gone" 0 "$(e2e_reg_export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' 2>/dev/null | grep -c Fonaris)"
check_eq "user settings stay" 42 "$(e2e_reg_dword 'HKCU\Software\Mirelta\Fonaris' 'User ID')"

# Bad presets still install; the client treats them as it would the user's.
long=$(printf 'x%.0s' $(seq 1 1100))
check "bad presets install" msiexec /i "$(winepath -w "$old")" /qn SERVERADDRESS=127.0.0.1 CTIPORT=70000 \
  RELAYPORT=abc CRMTEMPLATE="$long" AUTOSTART=
check "exe installed again" test -f "$installed"
check_eq "an empty preset writes nothing" 0 "$(e2e_reg_export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' 2>/dev/null | grep -c Fonaris)"
run_installed "$E2E_DIR/bad-machine.log"
check "port 70000 from the machine fails" wait_log "Failed to connect to TSG (CTI-Port)" 20 1 "$E2E_DIR/bad-machine.log"
stop_client
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Server Port"=dword:00011170
REG
run_installed "$E2E_DIR/bad-user.log"
check "port 70000 of the user's fails" wait_log "Failed to connect to TSG (CTI-Port)" 20 1 "$E2E_DIR/bad-user.log"
stop_client
failure() { grep -m1 -F "Failed to connect to TSG (CTI-Port)" "$1" | cut -c25- | tr -d '\r'; }
check_eq "the same failure either way" "$(failure "$E2E_DIR/bad-user.log")" "$(failure "$E2E_DIR/bad-machine.log")"
check_eq "never connected" 0 "$(cat "$E2E_DIR"/bad-*.log | grep -c 'CTI-Port) ready')"
msiexec /x "$(winepath -w "$old")" /qn

e2e_end
exit $((E2E_FAILS > 0))
