#!/usr/bin/env bash
# Under Wine: latency from tsg-sim's write of a call event to the client's
# first CPopup::Show for it (p50, p99 over EVENTS events, spaced so that each
# arrives as a read of its own), and the client's memory before and after a
# burst of 10 000 events. The 200 ms slide comes on top by design.
. "$(dirname "$0")/../tests/e2e/lib.sh"
events=${EVENTS:-200}
burst=${BURST:-10000}
e2e_begin bench-latency
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Display Time"=dword:00000001
REG
e2e_foreground_app
e2e_start_client
wait_log "Connection to TSG (CTI-Port) ready" 30 || exit 1
sleep 1

for i in $(seq 1 "$events"); do
  ctl event "L|$i|Latency $i|0301$i|0302222|42|\\n" >/dev/null
  sleep 0.05
done
wait_log "void CPopup::Show(" 20 "$events" || exit 1

# Pair the i-th event sent with the i-th popup shown.
grep -F 'CTI event' "$E2E_TSG_LOG" | sed -n 's/.* t=\([0-9]*\).*/\1/p' | tail -n "$events" >"$E2E_DIR/sent.ms"
grep -F 'void CPopup::Show(' "$E2E_CLIENT_LOG" | while IFS= read -r line; do log_ms "$line"; done >"$E2E_DIR/shown.ms"
paste "$E2E_DIR/sent.ms" "$E2E_DIR/shown.ms" | awk '{print $2 - $1}' | sort -n >"$E2E_DIR/latency.ms"
n=$(wc -l <"$E2E_DIR/latency.ms")
p50=$(awk -v n="$n" 'NR == int(n * 0.50 + 0.5) {print}' "$E2E_DIR/latency.ms")
p99=$(awk -v n="$n" 'NR == int(n * 0.99 + 0.5) {print}' "$E2E_DIR/latency.ms")
max=$(tail -1 "$E2E_DIR/latency.ms")
echo "event write -> first popup Show under Wine ($n events): p50 ${p50} ms, p99 ${p99} ms, max ${max} ms (goal: p99 < 20 ms)"

pid=$(wine_pid_of 'fonaris.exe')
before=$(rss_kb "$pid")
seq 1 "$burst" | awk '{printf "event B|%d|Burst %d|0301|0302222|42|\\n\n", $1, $1}' >"$E2E_DIR/burst.txt"
sent=$(ctl_many "$E2E_DIR/burst.txt")
sleep 15   # let the popups of the burst run out (1 s display time)
after=$(rss_kb "$pid")
alive=$(kill -0 "$pid" 2>/dev/null && echo yes || echo no)
echo "memory of the client process: ${before} kB before, ${after} kB after a burst of ${sent} events (still running: $alive)"
e2e_end
