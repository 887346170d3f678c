#!/usr/bin/env bash
# Profile answers a server should not give, and a relay that never answers
# the switch to the idle profile: the client carries on, shows the forced
# profile at most once, and tells the user about the failed switch.
. "$(dirname "$0")/lib.sh"
e2e_begin profiles-bad
e2e_tsg
ctl forced 42 2 >/dev/null
long=$(head -c 1000 /dev/zero | tr '\0' 'n')
many=$(for i in $(seq 1 1000); do printf '|%d|P%d' "$i" "$i"; done)
ctl fault GETPROFILELIST answer "+OK|x|$long|2|Office$many" >/dev/null
ctl fault GETDEVICES garbage >/dev/null
ctl fault GETACTIVEFORCEDPROFILE split 300 >/dev/null
ctl fault FORCEPROFILE noanswer >/dev/null
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
"Idle Timer Checkbox"=dword:00000001
"Idle Timer"=dword:00000001
"Idle Timer Profile"="Office"
REG
e2e_foreground_app
e2e_start_client
check "connected" wait_log "Connection to TSG (CTI-Port) ready" 30
check "long profile list taken" wait_log "Relay answers to GETPROFILELIST request: +OK|x|nnnn" 10
check "garbage devices are an error" wait_log "Error at GETDEVICES: " 10
check "a split forced-profile answer is taken as its first piece" wait_log "Relay answers to GETACTIVEFORCEDPROFILE request: " 10
check "the switch goes out" wait_log 'RELAY request "FORCEPROFILE|42|2\0"' 75 1 "$E2E_TSG_LOG"
check "no answer: the switch failed" wait_log "Timeout - Relay Socket does not answer to FORCEPROFILE" 10
sleep 1
shot switch-failed
check "the client runs on" kill -0 "$E2E_CLIENT_PID"
check_eq "one switch request while it was out" 1 "$(log_count 'RELAY request "FORCEPROFILE|42|2\0"' "$E2E_TSG_LOG")"
check "the user is told" bash -c "[ $(popup_count) -ge 1 ]"
e2e_end
exit $((E2E_FAILS > 0))
