#!/usr/bin/env bash
# Under Wine: popup set-up time at 100 % and at 200 % (LogPixels 96 and 192),
# from the client's "Message from CTI-Port" to its "CPopup::Show" (slot,
# skin drawn for the scale, font, text rectangle, stacking), over EVENTS
# events 300 ms apart; the first event of a scale, which loads that scale's
# skin, is given on its own. 100 % is the yardstick for 200 %.
. "$(dirname "$0")/../tests/e2e/lib.sh"
. "$(dirname "$0")/../tests/e2e/dpi_lib.sh"
. "$(dirname "$0")/lib.sh"
events=${EVENTS:-40}

for dpi in 96 192; do
  e2e_begin "bench-popup-scale-$dpi"
  dpi_set "$dpi"
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
    ctl event "S|$i|Scale $i|0301$i|0302222|42|\\n" >/dev/null
    sleep 0.3
  done
  wait_log "void CPopup::Show(" 20 "$events" || exit 1
  grep -F 'Message from CTI-Port: ' "$E2E_CLIENT_LOG" | head -n "$events" \
    | while IFS= read -r line; do log_ms "$line"; done >"$E2E_DIR/received.ms"
  grep -F 'void CPopup::Show(' "$E2E_CLIENT_LOG" | head -n "$events" \
    | while IFS= read -r line; do log_ms "$line"; done >"$E2E_DIR/shown.ms"
  paste "$E2E_DIR/received.ms" "$E2E_DIR/shown.ms" | awk '{print $2 - $1}' >"$E2E_DIR/setup.ms"
  echo "popup set-up at $((dpi * 100 / 96)) % under Wine ($events events): $(percentiles "$E2E_DIR/setup.ms");" \
    "the first: $(head -1 "$E2E_DIR/setup.ms") ms (yardstick: the same at 100 %)"
  e2e_end
done
