#!/usr/bin/env bash
# The client beside tsg-sim with a few calls. On a machine with a display it
# runs there; headless it runs on Xvfb and leaves screenshots in build/demo/.
set -u
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/dpi_lib.sh"
E2E_ARTIFACTS=$E2E_BUILD
visible_display=${DISPLAY:-}
e2e_begin demo
if [ -n "$visible_display" ] && xdpyinfo -display "$visible_display" >/dev/null 2>&1; then
  kill "$E2E_XVFB_PID" 2>/dev/null; E2E_XVFB_PID=
  wineserver -k >/dev/null 2>&1
  export DISPLAY=$visible_display
  wineserver -p >/dev/null 2>&1
  e2e_log "running on your display $DISPLAY"
fi
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
"Display Time"=dword:0000000a
"CRM HTML Request"="http://crm.example/call?from={CALLERNO}&name={CALLERNAME}&to={CALLEDNO}"

[HKEY_CURRENT_USER\Software\Mirelta\Fonaris\Colors]
"RED"="Hotline"
"GREEN"="Sales"
REG
# Something in the foreground, as on a real desk: popups give the focus back to it.
wine notepad >/dev/null 2>&1 &
E2E_PIDS+=($!)
e2e_start_client
wait_log "Connection to TSG (CTI-Port) ready" 30 || { e2e_log "the client did not connect; see $E2E_DIR"; exit 1; }
shot 01-started
calls=(
  'D|1001|Anna Schmidt|0301234567|0302222|42|\n'
  'D|1002|Bernd Meyer|0409876543|0302222|42|Hotline Berlin\n'
  'D|1003||0891112223|0302223|42|Sales\n'
)
i=2
for c in "${calls[@]}"; do
  ctl event "$c" >/dev/null
  sleep 1.2
  shot "$(printf '%02d' $i)-call"
  i=$((i + 1))
done
sleep 1
shot "$(printf '%02d' $i)-stack"
e2e_log "log: $E2E_CLIENT_LOG"
e2e_log "screenshots: $E2E_DIR/*.png"
if [ -n "$visible_display" ] && [ "$DISPLAY" == "$visible_display" ]; then
  e2e_log "the client keeps running; press Enter to end the demo"
  read -r _
fi
e2e_end

# A tour at 100 % and 150 % in both languages, on Xvfb: the active-profile
# dialog at the start, popups, the dial-out dialog opened by the hotkey over
# a selected number, and the configuration; screenshots in
# build/demo/tour-<percent>-<language>/.
for dpi in 96 144; do
  for language in Deutsch English; do
    e2e_begin "demo/tour-$((dpi * 100 / 96))-$language"
    dpi_set "$dpi"
    e2e_tsg
    e2e_seed_user 42
    e2e_reg_import <<REG
[HKEY_CURRENT_USER\\Software\\Mirelta\\Fonaris]
"Language"="$language"
"Display Time"=dword:0000001e
REG
    ctl forced 42 2 >/dev/null
    e2e_foreground_app
    e2e_start_client
    wait_log "Connection to TSG (CTI-Port) ready" 30 || { e2e_end; continue; }
    dpi_wait_dialog 1063 && { sleep 0.6; shot 1-active-profile; fonctl dlg-click has:1063 2 >/dev/null; }
    sleep 1  # the focus goes back to the program in front: calls are dropped while none has it
    for c in "${calls[@]}"; do ctl event "$c" >/dev/null; sleep 0.8; done
    sleep 0.8
    shot 2-popups
    fonctl clip-set 0891112223 >/dev/null
    fonctl hotkey >/dev/null
    dpi_wait_dialog 1015 && { sleep 0.6; shot 3-dialout-by-hotkey; fonctl dlg-click has:1015 2 >/dev/null; }
    sleep 0.5
    fonctl command 32783 >/dev/null
    dpi_wait_dialog 1049 && { sleep 0.6; shot 4-configuration; fonctl dlg-click has:1049 2 >/dev/null; }
    e2e_log "tour: $E2E_DIR/*.png"
    e2e_end
  done
done
