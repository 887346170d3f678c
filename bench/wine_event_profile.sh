#!/usr/bin/env bash
# Under Wine: where the client's time goes between a call event's arrival
# ("Message from CTI-Port") and its popup's Show, per system library. Runs
# the client with Wine's call trace of the libraries it calls (which slows
# every call down, so the shares count, not the sums) and prints, over
# EVENTS events, the median number of calls and milliseconds per library.
. "$(dirname "$0")/../tests/e2e/lib.sh"
events=${EVENTS:-9}

e2e_begin bench-event-profile
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Display Time"=dword:00000001

[HKEY_CURRENT_USER\Software\Wine\Debug]
"RelayInclude"="advapi32.*;user32.*;gdi32.*;shell32.*;oleacc.*;kernel32.WriteFile;kernel32.OutputDebugStringA"
REG
e2e_foreground_app
WINEDEBUG="-all,+timestamp,+relay" e2e_start_client
wait_log "Connection to TSG (CTI-Port) ready" 90 || exit 1
sleep 2
for i in $(seq 1 "$events"); do
  ctl event "P|$i|Profile $i|0301$i|0302222|42|\\n" >/dev/null
  sleep 1
done
sleep 1
trace=$E2E_DIR/wine.err
# One block per event: from its "Message from CTI-Port" to its Show; only
# the outermost calls count (a library's own calls are inside its time).
awk '
  /OutputDebugStringA\(.*"Message from CTI-Port: P\|/ { inside = 1; depth = 0; ev++; next }
  inside && /OutputDebugStringA\(.*"void CPopup::Show\(/ { inside = 0; next }
  !inside { next }
  /:Call / {
    match($0, /Call [A-Za-z0-9_]+\./); lib = tolower(substr($0, RSTART + 5, RLENGTH - 6))
    split($0, a, ":"); depth++; start[depth] = a[1] * 1000; name[depth] = lib; next
  }
  /:Ret / {
    split($0, a, ":")
    if (depth == 1) { ms[ev, name[1]] += a[1] * 1000 - start[1]; n[ev, name[1]]++; libs[name[1]] = 1 }
    if (depth > 0) depth--
  }
  END { for (e = 1; e <= ev; e++) for (l in libs) printf "%s %d %d %.1f\n", l, e, n[e, l], ms[e, l] }
' "$trace" | sort -k1,1 -k4n >"$E2E_DIR/per-event.txt"
echo "per event, Message from CTI-Port -> Show, under Wine's call trace (median of $events events):"
median() { sort -n | awk '{v[NR] = $1} END {print (NR ? v[int((NR + 1) / 2)] : 0)}'; }
for lib in $(cut -d' ' -f1 "$E2E_DIR/per-event.txt" | sort -u); do
  calls=$(awk -v l="$lib" '$1 == l {print $3}' "$E2E_DIR/per-event.txt" | median)
  ms=$(awk -v l="$lib" '$1 == l {print $4}' "$E2E_DIR/per-event.txt" | median)
  printf '  %-9s %4d calls %6.1f ms\n' "$lib" "$calls" "$ms"
done | sort -k4 -rn
e2e_end
