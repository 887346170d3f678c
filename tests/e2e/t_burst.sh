#!/usr/bin/env bash
# Many calls at once, as a busy hotline brings them: 300 calls of the user in
# ONE write (TCP cuts it wherever the client's 4095-byte reads end), then a
# flood of 1,500 events for the users 40 to 49 in turn, each a write of its
# own, sent as fast as the socket takes them. Every event must reach the
# client whole and once, each comes to its popup decision, and every call of
# the user (42) to a popup.
. "$(dirname "$0")/lib.sh"
e2e_begin burst
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
"Display Time"=dword:00000003
REG
e2e_foreground_app
e2e_start_client
check "connected" wait_log "Connection to TSG (CTI-Port) ready" 30
sleep 1

# The events the client's log shows, one per line: the text between
# "Message from CTI-Port: " and the line feed that ends the event.
messages() { grep -a "Message from CTI-Port: " "$E2E_CLIENT_LOG" | sed 's/.*Message from CTI-Port: //'; }
# expect_events COUNT MARK USERS: the events 1..COUNT marked MARK (for user
# 40 + n % 10, or for 42 alone when USERS is 1) each arrived exactly once,
# whole, in order.
expect_events() {
  local count=$1 mark=$2 users=$3 got want n
  got=$(messages | grep -a "|$mark[0-9]*\$")
  want=$(for ((n = 1; n <= count; n++)); do
    printf 'X|%d|Caller %d|030%d|0302222|%d|%s%d\n' "$n" "$n" "$n" "$([ "$users" = 1 ] && echo 42 || echo $((40 + n % 10)))" "$mark" "$n"
  done)
  [ "$got" == "$want" ] || { diff <(echo "$want") <(echo "$got") | head -10 >&2; return 1; }
}

start=$SECONDS
check "burst sent in one write" ctl burst 300 'X|{n}|Caller {n}|030{n}|0302222|42|B{n}\n'
check "300 popup decisions" wait_log "Do we have to make a PopUp?" 30 300
e2e_log "burst of 300 handled in $((SECONDS - start)) s"
check "every burst event whole, once, in order" expect_events 300 B 1
check_eq "a popup for each of the user's calls" 300 "$(log_count 'void CPopup::Show(')"

start=$SECONDS
check "flood sent" ctl flood 1500 'X|{n}|Caller {n}|030{n}|0302222|4{n%10}|F{n}\n'
check "1800 popup decisions" wait_log "Do we have to make a PopUp?" 40 1800
e2e_log "flood of 1500 handled in $((SECONDS - start)) s"
check "every flood event whole, once, in order" expect_events 1500 F 10
check_eq "no other message" 1800 "$(messages | wc -l)"
check_eq "a decision for the user on each of its calls" 450 "$(log_count '[42==42]')"
check_eq "a popup for each of the user's calls" 450 "$(log_count 'void CPopup::Show(')"
check "still connected" test "$(log_count 'Connection to TSG lost')" -eq 0
shot after-flood
e2e_end
exit $((E2E_FAILS > 0))
