#!/usr/bin/env bash
# Start against tsg-sim: connection, events, drop and return, registry.
. "$(dirname "$0")/lib.sh"
e2e_begin connect
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
REG
e2e_start_client
check "started" wait_log "Fonaris started" 20
check "hotkey registered" wait_log "Hotkey-registration successfull" 10
check "connected" wait_log "Connection to TSG (CTI-Port) ready" 20
check "server sees the client" ctl wait-clients 1 5000
check "tray shows online" wait_tray online 10
check_eq "language index written back" 2 "$(e2e_reg_dword 'HKCU\Software\Mirelta\Fonaris' 'Language Index')"
shot connected

ctl event 'X|17|Anna|0301234|0302222|42|\n' >/dev/null
check "event reaches the client" wait_log "Message from CTI-Port: X|17|Anna|0301234|0302222|42|" 10

# The server drops every client; supervision reconnects within 30 s.
ctl drop >/dev/null
check "loss noticed" wait_log "Connection to TSG lost" 10
check "tray shows offline" wait_tray offline 10
check "reconnected" wait_log "Connection to TSG (CTI-Port) ready" 40 2
check "tray online again" wait_tray online 10
shot reconnected

# A second instance leaves no second connection and ends on its own.
wine 'C:\fonaris-test\fonaris.exe' --log "$(winepath -w "$E2E_DIR/second.log")" >/dev/null 2>&1 &
second=$!
check "second instance ends by itself" wait_exit "$second" 15
check "second instance logged its start" wait_log "Fonaris started" 1 1 "$E2E_DIR/second.log"
check_eq "second instance never connected" 0 "$(log_count 'Connection to TSG' "$E2E_DIR/second.log")"
check "still one client" ctl wait-clients 1 1000

e2e_end
exit $((E2E_FAILS > 0))
