#!/usr/bin/env bash
# Under Wine: what the idle timer costs. The connected client untouched for
# IDLE seconds with the idle timer on (its one-second tick, no switch within
# the time) and then off, beside a trivial Win32 message loop that runs the
# whole time: CPU seconds and memory of each process.
. "$(dirname "$0")/../tests/e2e/lib.sh"
idle=${IDLE:-60}
e2e_begin bench-idle-timer
cp "$E2E_WIN/trivial_win32.exe" "$WINEPREFIX/drive_c/fonaris-test/"
e2e_tsg
e2e_seed_user 42

wine 'C:\fonaris-test\trivial_win32.exe' 'C:\fonaris-test\trivial.log' "$((2 * idle + 120))" >/dev/null 2>&1 &
E2E_PIDS+=($!)
sleep 2
tpid=$(wine_pid_of 'trivial_win32.exe')

# measure CHECKBOX LOG: sets M_CPU and M_RSS of the client over the idle time.
measure() {
  e2e_reg_import <<REG
[HKEY_CURRENT_USER\\Software\\Mirelta\\Fonaris]
"Idle Timer Checkbox"=dword:0000000$1
"Idle Timer"=dword:0000001e
"Idle Timer Profile"="Away"
REG
  e2e_start_client "$2"
  wait_log "Relay answers to GETACTIVEFORCEDPROFILE request" 30 1 "$2" || return 1
  local cpid c0 c1
  cpid=$(wine_pid_of 'fonaris.exe')
  c0=$(cpu_s "$cpid")
  sleep "$idle"
  c1=$(cpu_s "$cpid")
  M_CPU=$(awk -v a="$c0" -v b="$c1" 'BEGIN {printf "%.2f", b - a}')
  M_RSS=$(rss_kb "$cpid")
  fonctl close >/dev/null
  wait_exit "$E2E_CLIENT_PID" 15
  # The next client must not meet this one's single-instance mutex.
  local i
  for i in $(seq 1 150); do [ -z "$(pgrep -f 'fonaris.exe')" ] && break; sleep 0.1; done
}

t0=$(cpu_s "$tpid")
measure 1 "$E2E_DIR/client-on.log"; on_cpu=$M_CPU; on_rss=$M_RSS
measure 0 "$E2E_DIR/client-off.log"; off_cpu=$M_CPU; off_rss=$M_RSS
t1=$(cpu_s "$tpid"); t_rss=$(rss_kb "$tpid")
echo "idle ${idle} s under Wine, client connected and untouched:"
echo "  fonaris.exe, idle timer on:   CPU ${on_cpu} s, RSS ${on_rss} kB ($(grep -c 'Activate IDLE TIMER' "$E2E_DIR/client-on.log") start of the tick)"
echo "  fonaris.exe, idle timer off:  CPU ${off_cpu} s, RSS ${off_rss} kB ($(grep -c 'Activate IDLE TIMER' "$E2E_DIR/client-off.log") start of the tick)"
echo "  trivial message loop ($((2 * idle)) s+): CPU $(awk -v a="$t0" -v b="$t1" 'BEGIN {printf "%.2f", b - a}') s, RSS ${t_rss} kB"
e2e_end
