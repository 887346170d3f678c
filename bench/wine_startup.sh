#!/usr/bin/env bash
# Start-up under Wine with a warm prefix: from process start to "Connection to
# TSG (CTI-Port) ready" against a local tsg-sim, beside a trivial Win32
# program started the same way. Prints both medians and the ratio.
. "$(dirname "$0")/../tests/e2e/lib.sh"
runs=${RUNS:-5}
e2e_begin bench-startup
cp "$E2E_WIN/trivial_win32.exe" "$WINEPREFIX/drive_c/fonaris-test/"
e2e_tsg
e2e_seed_user 42
wine 'C:\fonaris-test\trivial_win32.exe' 'C:\fonaris-test\warm.log' >/dev/null 2>&1  # warm the server

ms_of() { date -d "$1" +%s%3N; }  # "YYYY-MM-DD HH:MM:SS.mmm" -> epoch ms
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

trivial=(); client=()
for i in $(seq 1 "$runs"); do
  log=$WINEPREFIX/drive_c/fonaris-test/trivial-$i.log
  t0=$(date +%s%3N)
  wine 'C:\fonaris-test\trivial_win32.exe' "C:\\fonaris-test\\trivial-$i.log" >/dev/null 2>&1
  t1=$(ms_of "$(cut -c1-23 "$log")")
  trivial+=($((t1 - t0)))

  log=$E2E_DIR/client-$i.log
  t0=$(date +%s%3N)
  e2e_start_client "$log"
  wait_log "Connection to TSG (CTI-Port) ready" 30 1 "$log" || exit 1
  t1=$(ms_of "$(grep -F 'Connection to TSG (CTI-Port) ready' "$log" | head -1 | cut -c1-23)")
  client+=($((t1 - t0)))
  wine 'C:\fonaris-test\fonctl.exe' close >/dev/null 2>&1
  wait_exit "$E2E_CLIENT_PID" 15 || kill "$E2E_CLIENT_PID"
done
mt=$(printf '%s\n' "${trivial[@]}" | median)
mc=$(printf '%s\n' "${client[@]}" | median)
echo "start-up under Wine (warm prefix, $runs runs, median):"
echo "  trivial Win32 program, start to message loop:      ${mt} ms  (${trivial[*]})"
echo "  fonaris.exe, start to CTI connection ready:        ${mc} ms  (${client[*]})"
echo "  ratio: $(awk -v a="$mc" -v b="$mt" 'BEGIN {printf "%.1f", a / b}')  (includes the client's own 1 s start pause)"
e2e_end
