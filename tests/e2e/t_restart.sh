#!/usr/bin/env bash
# Every two minutes the link is renewed and the lists are fetched again.
. "$(dirname "$0")/lib.sh"
e2e_begin restart
e2e_tsg
e2e_seed_user 42
e2e_start_client
check "connected" wait_log "Connection to TSG (CTI-Port) ready" 30
check "first device list" wait_log 'RELAY request "GETDEVICES|42\0"' 10 1 "$E2E_TSG_LOG"
check "restart after two minutes" wait_log "Trying to restart the connection" 135
check "connected again" wait_log "Connection to TSG (CTI-Port) ready" 10 2
check "device list fetched again" wait_log 'RELAY request "GETDEVICES|42\0"' 10 2 "$E2E_TSG_LOG"
check "profile list fetched again" wait_log 'RELAY request "GETPROFILELIST|42\0"' 10 2 "$E2E_TSG_LOG"
check_eq "the active profile is not asked again" 1 "$(log_count 'RELAY request "GETACTIVEFORCEDPROFILE|42\0"' "$E2E_TSG_LOG")"
check "one client at the server" ctl wait-clients 1 2000
e2e_end
exit $((E2E_FAILS > 0))
