#!/usr/bin/env bash
# Server down at start: offline, wait notice gone, retries; server comes up.
. "$(dirname "$0")/lib.sh"
e2e_begin offline
e2e_tsg
e2e_seed_user 42
ctl cti down >/dev/null
e2e_start_client
check "first attempt fails" wait_log "Failed to connect to TSG (CTI-Port): 10061." 20
check "tray shows offline" wait_tray offline 10
shot offline
ctl cti up >/dev/null
check "supervision connects within 30 s" wait_log "Connection to TSG (CTI-Port) ready" 40
check "tray shows online" wait_tray online 10
shot online
e2e_end
exit $((E2E_FAILS > 0))
