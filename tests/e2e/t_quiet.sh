#!/usr/bin/env bash
# Popups that respect the person: quiet while a full-screen window is in
# front (calls held, counted in the tray tip, marked unseen, named in one
# popup afterwards), heard by a screen reader in another process, and the
# right-click menu (call back, copy number) in both languages.
. "$(dirname "$0")/lib.sh"
e2e_begin quiet
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
"Display Time"=dword:0000003c
REG
e2e_foreground_app
e2e_start_client
check "connected" wait_log "Connection to TSG (CTI-Port) ready" 30

# A screen reader's view from another process, for the whole run.
# (straight from Wine: a pipe would hold its lines back until it ends)
wine 'C:\fonaris-test\fonctl.exe' alert-watch 90000 >"$E2E_DIR/alerts.txt" 2>>"$E2E_DIR/fonctl.err" &

# ---- a slide show in front: three calls, no popup
# slide_show MS: a full-screen window in front for MS milliseconds; sets show_pid.
slide_show() {
  : >"$E2E_DIR/show.out"
  wine 'C:\fonaris-test\fonctl.exe' fullscreen "$1" >"$E2E_DIR/show.out" 2>>"$E2E_DIR/fonctl.err" &
  show_pid=$!
  wait_log "shown" 10 1 "$E2E_DIR/show.out"
}
check "full-screen window in front" slide_show 8000
for n in "Anna Schmidt" "Bernd Meyer" "Clara Wolf"; do
  ctl event "Q|1|$n|0301234|0302222|42|\\n" >/dev/null
  sleep 0.4
done
check "three calls held" wait_log "Popup held: the user presents" 10 3
sleep 0.5
check_eq "no popup over the slide show" 0 "$(popup_count)"
shot quiet-slide-show
check "tray tip counts them" wait_log "Tray tip: 3 calls while you were presenting" 5
recent=$(e2e_reg_export 'HKCU\Software\Mirelta\Fonaris\RecentCalls')
check_eq "three recent calls marked unseen" 3 "$(grep -c '|unseen"' <<<"$recent")"

# ---- the slide show ends: one popup names the three
wait "$show_pid"
check "summary shown" wait_log "void CPopup::Show(" 10 1
sleep 0.8
check_eq "one popup" 1 "$(popup_count)"
fonctl acc CPopup 0 >"$E2E_DIR/summary-acc.txt"
check "names in the summary" grep -qF "3 calls while you were presenting: Clara Wolf, Bernd Meyer, Anna Schmidt" \
  "$E2E_DIR/summary-acc.txt"
shot quiet-summary

# ---- option off: popups appear over the slide show
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Quiet While Presenting"=dword:00000000
REG
check "full-screen window in front again" slide_show 4000
ctl event 'Q|2|Dora Kern|+49 (30) 555-12|0302222|42|Hotline Berlin\n' >/dev/null
check "popup shown over the slide show" wait_log "void CPopup::Show(" 10 2
sleep 0.8
check_eq "two popups" 2 "$(popup_count)"
shot quiet-off-over-slide-show
wait "$show_pid"

# ---- a screen reader in another process saw the alert and reads the name
sleep 0.5
name="Incoming call from Dora Kern, to 0302222, at"
check "alert event with the name" grep -qF "alert CPopup role=8 name=$name" "$E2E_DIR/alerts.txt"
newest=$(visible_popups | awk -F'\t' '{split($4, r, ","); print NR - 1, r[2]}' | sort -k2 -n | tail -1 | cut -d' ' -f1)
fonctl acc CPopup "$newest" >"$E2E_DIR/call-acc.txt"
check "accessible name read" grep -qF "role=8 name=$name" "$E2E_DIR/call-acc.txt"
check "close button named" grep -qF "child 1 role=43 name=Close" "$E2E_DIR/call-acc.txt"

# ---- right-click on the popup at its screen position: the menu
# menu_item N: clicks the N-th of the open menu's ITEMS items.
menu_item() {
  local rect; rect=$(fonctl windows | awk -F'\t' '$2 == "#32768" && $3 == "1" {print $4; exit}')
  [ -n "$rect" ] || return 1
  IFS=, read -r l t r b <<<"$rect"
  xdotool mousemove $(((l + r) / 2)) $((t + (b - t) * (2 * $1 - 1) / (2 * $2))) click 1
}
right_click_newest() {
  local rect; rect=$(visible_popups | awk -F'\t' '{split($4, r, ","); print r[2], $4}' | sort -n | tail -1 | cut -d' ' -f2)
  IFS=, read -r l t r b <<<"$rect"
  xdotool mousemove $((l + 100)) $((t + 70)) click 3
  fonctl wait-window --visible '#32768' 5000 >/dev/null
}
check "menu opens" right_click_newest
shot popup-menu-english
check "copy number chosen" menu_item 2 2
sleep 0.5
check_eq "clipboard holds the number" "+49 (30) 555-12" "$(fonctl clip-get)"
check "menu opens again" right_click_newest
check "call back chosen" menu_item 1 2
check "dial-out dialog opens" fonctl wait-window --visible '#32770' 10000
sleep 0.5
check_eq "dial-out dialog holds the number" "00493055512" "$(fonctl dlg-text has:1015 1015)"
fonctl dlg-click has:1015 2 >/dev/null

# ---- the same menu in German; the user works in the editor again
# front_app: clicks the editor, as a person going back to work.
front_app() {
  local rect; rect=$(fonctl windows | awk -F'\t' '$2 == "Notepad" && $3 == "1" {print $4; exit}')
  IFS=, read -r l t r b <<<"$rect"
  xdotool mousemove $(((l + r) / 2)) $((t + 10)) click 1
}
front_app
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="Deutsch"
"Language Index"=dword:00000001
REG
ctl event 'Q|3|Emil Graf|0407777|0302222|42|\n' >/dev/null
check "German popup shown" wait_log "void CPopup::Show(" 10 3
sleep 0.8
check "German menu opens" right_click_newest
shot popup-menu-german
xdotool mousemove 200 200 click 1
e2e_end
exit $((E2E_FAILS > 0))
