#!/usr/bin/env bash
# Under Wine: the cost of the client connected and untouched for IDLE seconds
# (CPU seconds and memory of its process), beside a trivial Win32 message
# loop started the same way; and the time a relay round trip takes end to
# end against tsg-sim (request sent -> answer handled, from the client's log).
. "$(dirname "$0")/../tests/e2e/lib.sh"
idle=${IDLE:-60}
e2e_begin bench-idle
cp "$E2E_WIN/trivial_win32.exe" "$WINEPREFIX/drive_c/fonaris-test/"
e2e_tsg
e2e_seed_user 42

# The yardstick idles long enough to cover the client's start and its window.
wine 'C:\fonaris-test\trivial_win32.exe' 'C:\fonaris-test\trivial.log' "$((idle + 60))" >/dev/null 2>&1 &
E2E_PIDS+=($!)
sleep 2
tpid=$(wine_pid_of 'trivial_win32.exe')
t_cpu0=$(cpu_s "$tpid")

e2e_start_client
wait_log "Connection to TSG (CTI-Port) ready" 30 || exit 1
wait_log "Relay answers to GETACTIVEFORCEDPROFILE request" 10
cpid=$(wine_pid_of 'fonaris.exe')
c_cpu0=$(cpu_s "$cpid")
sleep "$idle"
c_cpu1=$(cpu_s "$cpid"); c_rss=$(rss_kb "$cpid")
t_cpu1=$(cpu_s "$tpid" 2>/dev/null || echo "$t_cpu0"); t_rss=$(rss_kb "$tpid" 2>/dev/null || echo '?')
echo "idle ${idle} s under Wine (one periodic restart falls into a 120 s window; supervision timers run):"
echo "  fonaris.exe connected:   CPU $(awk -v a="$c_cpu0" -v b="$c_cpu1" 'BEGIN {printf "%.2f", b - a}') s, RSS ${c_rss} kB"
echo "  trivial message loop:    CPU $(awk -v a="$t_cpu0" -v b="$t_cpu1" 'BEGIN {printf "%.2f", b - a}') s, RSS ${t_rss} kB"

# Relay round trips: every request the client sent, to its answer.
for req in GETDEVICES GETPROFILELIST GETACTIVEFORCEDPROFILE; do
  s=$(grep -F "Message sent: $req|" "$E2E_CLIENT_LOG" | head -1)
  a=$(grep -F "Relay answers to $req request" "$E2E_CLIENT_LOG" | head -1)
  [ -n "$s" ] && [ -n "$a" ] && echo "  relay round trip $req: $(( $(log_ms "$a") - $(log_ms "$s") )) ms (sent -> answer handled)"
done
e2e_end
