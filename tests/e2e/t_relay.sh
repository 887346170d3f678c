#!/usr/bin/env bash
# The relay requests of a connect, a relay that never answers and one that
# closes without answering.
. "$(dirname "$0")/lib.sh"
e2e_begin relay
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
REG
e2e_foreground_app
e2e_start_client
check "connected" wait_log "Connection to TSG (CTI-Port) ready" 30
for req in 'GETDEVICES|42\0' 'GETPROFILELIST|42\0' 'GETACTIVEFORCEDPROFILE|42\0'; do
  check "server got $req with its zero byte" wait_log "RELAY request \"$req\"" 10 1 "$E2E_TSG_LOG"
done
check "profile list answered" wait_log "Relay answers to GETPROFILELIST request: +OK|1|Home|2|Office|7|Away" 10
check "device list answered" wait_log "Relay answers to GETDEVICES request: +OK|" 10
check_eq "no popup for answered lists" 0 "$(popup_count)"

# A relay that never answers: after 5 s both list timeouts pop up.
# A fresh client asks for the lists again at its first connect.
ctl fault '*' noanswer >/dev/null
fonctl close >/dev/null
check "client closed" wait_exit "$E2E_CLIENT_PID" 15
e2e_start_client "$E2E_DIR/client2.log"
check "reconnected" wait_log "Connection to TSG (CTI-Port) ready" 30 1 "$E2E_DIR/client2.log"
check "profile list timeout" wait_log "Timeout - Relay Socket does not answer to GETPROFILELIST " 12 1 "$E2E_DIR/client2.log"
check "device list timeout" wait_log "Timeout - Relay Socket does not answer to GETDEVICES " 2 1 "$E2E_DIR/client2.log"
check "active profile timeout" wait_log "Timeout - Relay Socket does not answer to GETACTIVEFORCEDPROFILE " 2 1 "$E2E_DIR/client2.log"
sleep 0.8
check_eq "texts 218 and 239 pop up" 2 "$(popup_count)"
shot relay-timeouts

# A relay that closes without answering: nothing is shown, nothing times out.
ctl fault '*' close >/dev/null
fonctl close >/dev/null
check "client closed" wait_exit "$E2E_CLIENT_PID" 15
sleep 1
e2e_start_client "$E2E_DIR/client3.log"
check "reconnected" wait_log "Connection to TSG (CTI-Port) ready" 30 1 "$E2E_DIR/client3.log"
check "requests sent" wait_log "Message sent: GETACTIVEFORCEDPROFILE|42" 10 1 "$E2E_DIR/client3.log"
sleep 6
check_eq "no timeout after a close" 0 "$(log_count 'Timeout - Relay' "$E2E_DIR/client3.log")"
check_eq "nothing shown after a close" 0 "$(popup_count)"
e2e_end
exit $((E2E_FAILS > 0))
