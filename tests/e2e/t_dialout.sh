#!/usr/bin/env bash
# Dial-out end to end: the hotkey over a real application with a selected
# number (typed and posted), QUICKCALL at the server, the history in the
# registry, the clipboard free while the dialog is open and given back
# afterwards, a tel: link through the shell, a recent call dialled back from
# the tray menu, and the dialog in both languages.
. "$(dirname "$0")/lib.sh"
e2e_begin dialout
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
"Phone number"="301"
"End Profile Checkbox"=dword:00000000
REG
DLG=has:1015
dialog_called() { fonctl dlg-text "$DLG" 1015; }
wait_dialog() { fonctl wait-window --visible "#32770" 5000 >/dev/null && for i in $(seq 1 50); do fonctl dlg-text "$DLG" 1015 >/dev/null 2>&1 && return 0; sleep 0.1; done; return 1; }
wait_no_dialog() { for i in $(seq 1 50); do fonctl dlg-text "$DLG" 1015 >/dev/null 2>&1 || return 0; sleep 0.1; done; return 1; }

e2e_start_client
check "connected" wait_log "Connection to TSG (CTI-Port) ready" 30
check "devices loaded" wait_log "Relay answers to GETACTIVEFORCEDPROFILE request" 10

# ---- the hotkey over an application holding a selection
hotkey_round() {
  local name=$1 text=$2 how=$3 want=$4
  fonctl clip-set "user text $name" >/dev/null
  wine 'C:\fonaris-test\selectionapp.exe' "$text" 60000 >/dev/null 2>&1 &
  local app=$!
  fonctl wait-window --visible FonarisSelectionApp 20000 >/dev/null
  sleep 0.3
  if [ "$how" == typed ]; then xdotool key F8; else fonctl hotkey >/dev/null; fi
  check "$name: dialog opens" wait_dialog
  check_eq "$name: the selection, normalised" "$want" "$(dialog_called)"
  # Other programs (and the dialog) may use the clipboard meanwhile.
  check "$name: clipboard free while the dialog is open" fonctl clip-set "meanwhile $name"
  check_eq "$name: another program reads it" "meanwhile $name" "$(fonctl clip-get)"
  [ "$name" == posted ] && shot dialout-en
  fonctl dlg-click "$DLG" 1 >/dev/null
  check "$name: dialog closes on +OK" wait_no_dialog
  check "$name: QUICKCALL at the server" wait_log "QUICKCALL caller \"301\" called \"$want\" user 42" 5 1 "$E2E_TSG_LOG"
  sleep 0.3
  check_eq "$name: clipboard given back" "user text $name" "$(fonctl clip-get)"
  kill "$app" 2>/dev/null; wait "$app" 2>/dev/null
  fonctl wait-gone FonarisSelectionApp 5000 >/dev/null
}
hotkey_round posted "+49 (0)30 1234-5" posted 00493012345
hotkey_round typed "0301234567" typed 0301234567
check "request sent with its zero byte" grep -qF 'Message sent: QUICKCALL|301|0301234567|42' "$E2E_CLIENT_LOG"
check_eq "history grows" "2" "$(e2e_reg_dword 'HKCU\Software\Mirelta\Fonaris\DialOutList' Entrys)"

# ---- the history wraps at ten
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris\DialOutList]
"Entrys"=dword:0000000a
"LastChanged"=dword:0000000a
"Item3"="0303"
"Item4"="0304"
"Item5"="0305"
"Item6"="0306"
"Item7"="0307"
"Item8"="0308"
"Item9"="0309"
"Item10"="03010"
REG
fonctl command 32785 >/dev/null
check "dialog from the tray command" wait_dialog
fonctl command 32785 >/dev/null  # only raises it
sleep 0.5
check_eq "a second command opens no second dialog" "1" "$(fonctl windows | awk -F'\t' '$2 == "#32770" && $3 == "1"' | wc -l)"
fonctl dlg-set "$DLG" 1015 "030 99 88" >/dev/null
fonctl dlg-click "$DLG" 1 >/dev/null
check "wrapped number dialled" wait_no_dialog
history=$(e2e_reg_export 'HKCU\Software\Mirelta\Fonaris\DialOutList')
check "history wraps to Item1" grep -qx '"Item1"="0309988"' <<<"$history"
check_eq "LastChanged after the wrap" "1" "$(e2e_reg_dword 'HKCU\Software\Mirelta\Fonaris\DialOutList' LastChanged)"

# ---- a tel: link through the shell reaches the running client
tel_reg=$(e2e_reg_export 'HKCU\Software\Classes\tel')
check "tel: handler registered for the user" grep -qF 'fonaris.exe\" --link \"%1\""' <<<"$tel_reg"
# Windows' HKEY_CLASSES_ROOT shows the user's classes over the machine's;
# Wine's shows only the machine's, so the rig copies the registration there.
sed -n '/^\[/,$p' <<<"$tel_reg" | sed 's/HKEY_CURRENT_USER/HKEY_LOCAL_MACHINE/' | e2e_reg_import
wine start 'tel:+49-30-123;ext=5' >"$E2E_DIR/start.out" 2>&1
check "link reached the running client" wait_log "Phone link: tel:+49-30-123;ext=5" 15
check "dialog with the link's number" wait_dialog
check_eq "the link's number, normalised" "004930123" "$(dialog_called)"
sleep 1.5
check_eq "no second client stays" "1" "$(fonctl windows | awk -F'\t' '$2 == "FonarisFrame"' | wc -l)"
fonctl dlg-click "$DLG" 2 >/dev/null
check "link dialog cancelled" wait_no_dialog

# ---- a call event becomes a recent call, dialled back from the tray menu
ctl event 'X|1|Anna Schmidt|0301234999|0302222|42|\n' >/dev/null
check "call event received" wait_log "Message from CTI-Port: X|1|Anna Schmidt" 10
sleep 0.5
fonctl tray rbuttondown >/dev/null
check "tray menu opens" fonctl wait-window --visible "#32768" 5000 >/dev/null
fonctl menu-pick 2 >/dev/null
sleep 0.5
shot recent-calls-en
check "recent call picked" fonctl menu-pick 1
check "dialog with the caller's number" wait_dialog
check_eq "the recent caller's number" "0301234999" "$(dialog_called)"
fonctl dlg-click "$DLG" 1 >/dev/null
check "called back" wait_log "QUICKCALL caller \"301\" called \"0301234999\" user 42" 5 1 "$E2E_TSG_LOG"
check "recent calls kept in the registry" grep -qF 'Anna Schmidt|0301234999' <<<"$(e2e_reg_export 'HKCU\Software\Mirelta\Fonaris\RecentCalls')"

# ---- the German dialog
fonctl command 32780 >/dev/null
check "client ends" wait_exit "$E2E_CLIENT_PID" 15
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="Deutsch"
REG
e2e_start_client "$E2E_DIR/client-de.log"
check "German client connected" wait_log "Connection to TSG (CTI-Port) ready" 30 1 "$E2E_DIR/client-de.log"
sleep 1
fonctl command 32785 >/dev/null
check "German dialog opens" wait_dialog
check_eq "German dial button" "Wählen" "$(fonctl dlg-text "$DLG" 1 | iconv -f CP1252 -t UTF-8)"
shot dialout-de
fonctl dlg-click "$DLG" 2 >/dev/null
fonctl tray rbuttondown >/dev/null
fonctl wait-window --visible "#32768" 5000 >/dev/null
fonctl menu-pick 2 >/dev/null
sleep 0.5
shot recent-calls-de
fonctl command 32780 >/dev/null
e2e_end
exit $((E2E_FAILS > 0))
