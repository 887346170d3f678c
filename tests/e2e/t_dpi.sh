#!/usr/bin/env bash
# The client at 100, 150 and 200 % (Wine at 96, 144 and 192 dots per inch):
# the manifest it carries, a stack of popups as large as the scale with
# their texts whole, and the dial-out, configuration, login and
# active-profile dialogs with faces drawn for the scale and no label cut.
# Screenshots of each in build/e2e-artifacts/dpi/<percent>/.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/dpi_lib.sh"

for dpi in 96 144 192; do
  pct=$((dpi * 100 / 96))
  e2e_begin "dpi/$pct"
  dpi_set "$dpi"
  if [ "$dpi" == 96 ]; then
    manifest=$(fonctl manifest 'C:\fonaris-test\fonaris.exe')
    printf '%s\n' "$manifest" >"$E2E_DIR/manifest.xml"
    for want in 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' '>true/pm</dpiAware>' \
                '>PerMonitorV2,PerMonitor</dpiAwareness>' 'level="asInvoker"' \
                '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
      check "manifest has $want" grep -qF -- "$want" <<<"$manifest"
    done
  fi
  e2e_tsg
  e2e_seed_user 42
  e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="Deutsch"
"Display Time"=dword:0000003c
REG
  ctl forced 42 2 >/dev/null
  e2e_foreground_app
  e2e_start_client
  check "$pct %: connected" wait_log "Connection to TSG (CTI-Port) ready" 30
  dpi_check_dialog active-profile 1063 280 392 "$dpi"
  fonctl dlg-click has:1063 2 >/dev/null
  fonctl wait-gone '#32770' 'Fonaris' 100 >/dev/null 2>&1

  want="$(dpi_scaled 213 "$dpi") $(dpi_scaled 120 "$dpi")"
  for i in 1 2 3 4 5; do
    ctl event "X|$i|M\\xfcller-L\\xfcdenscheidt $i|0301234567|0302222|42|Zentrale\\n" >/dev/null
    sleep 0.6
  done
  # Until the stack has settled (the slides take longer on a busy machine).
  for i in $(seq 1 50); do
    popups=$(visible_popups)
    [ "$(while read -r l; do dpi_size_of "$l"; done <<<"$popups" | sort -u)" == "$want" ] && break
    sleep 0.3
  done
  sleep 0.5
  shot popups
  popups=$(visible_popups)
  printf '%s\n' "$popups" >"$E2E_DIR/popups.txt"
  check "$pct %: popups aware of the monitor's scale" [ "$(fonctl dpi CPopup)" == "$dpi 2" ]
  check "$pct %: three popups or more" [ "$(wc -l <<<"$popups")" -ge 3 ]
  check_eq "$pct %: every popup as large as the scale" "$want" "$(while read -r l; do dpi_size_of "$l"; done <<<"$popups" | sort -u)"
  check "$pct %: stacked without overlapping" dpi_apart "$popups" "$(dpi_scaled 120 "$dpi")"
  check "$pct %: every popup on the screen" awk -F'\t' '{split($4, r, ","); if (r[1] < 0 || r[2] < 0 || r[3] > 1280 || r[4] > 800) exit 1}' <<<"$popups"
  fit=$(fonctl text-fit CPopup)
  printf '%s\n' "$fit" >"$E2E_DIR/popups.text-fit"
  check_eq "$pct %: no popup text cut" "" "$(grep -v -P '\tfits\t' <<<"$fit")"

  fonctl hotkey >/dev/null
  dpi_check_dialog dialout 1015 267 165 "$dpi"
  fonctl dlg-click has:1015 2 >/dev/null
  sleep 0.5
  fonctl command 32783 >/dev/null
  dpi_check_dialog configuration 1049 578 434 "$dpi"
  fonctl dlg-click has:1049 2 >/dev/null
  sleep 0.5
  fonctl command 32788 >/dev/null
  dpi_check_dialog login 1017 267 165 "$dpi"
  fonctl dlg-click has:1017 2 >/dev/null
  e2e_end
done
exit $((E2E_FAILS > 0))
