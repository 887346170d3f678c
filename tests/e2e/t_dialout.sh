#!/usr/bin/env bash
# Dial-out under Wine: the hotkey (posted and typed) over an application with
# a selected number, QUICKCALL, the history and its wrap, the clipboard free
# while the dialog is open (a copy made then stays), a tel: link through the shell, a
# recent call dialled back from the tray menu, both languages.
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
called() { fonctl dlg-text has:1015 1015; }
wait_dialog() { for i in $(seq 1 50); do called >/dev/null 2>&1 && return 0; sleep 0.1; done; return 1; }
wait_no_dialog() { for i in $(seq 1 50); do called >/dev/null 2>&1 || return 0; sleep 0.1; done; return 1; }
dialled() { wait_log "QUICKCALL caller \"301\" called \"$1\" user 42" 5 1 "$E2E_TSG_LOG"; }
list() { e2e_reg_export 'HKCU\Software\Mirelta\Fonaris\DialOutList'; }
e2e_start_client
check "connected" wait_log "Relay answers to GETACTIVEFORCEDPROFILE request" 30

for round in "posted|+49 (0)30 1234-5|00493012345" "typed|0301234567|0301234567"; do
  IFS='|' read -r how text want <<<"$round"
  fonctl clip-set "user text $how" >/dev/null
  wine 'C:\fonaris-test\selectionapp.exe' "$text" 60000 >/dev/null 2>&1 &
  app=$!
  fonctl wait-window --visible FonarisSelectionApp 20000 >/dev/null; sleep 0.3
  if [ "$how" == typed ]; then xdotool key F8; else fonctl hotkey >/dev/null; fi
  check "$how: dialog opens" wait_dialog
  check_eq "$how: the selection, normalised" "$want" "$(called)"
  check "$how: another program may copy meanwhile" fonctl clip-set "meanwhile"
  check_eq "$how: and paste" "meanwhile" "$(fonctl clip-get)"
  [ "$how" == posted ] && shot dialout-en
  fonctl dlg-click has:1015 1 >/dev/null
  check "$how: +OK closes the dialog" wait_no_dialog
  check "$how: QUICKCALL at the server" dialled "$want"
  sleep 0.3
  check_eq "$how: the copy made meanwhile stays" "meanwhile" "$(fonctl clip-get)"
  kill "$app"; wait "$app" 2>/dev/null
done
check_eq "history grows" "2" "$(e2e_reg_dword 'HKCU\Software\Mirelta\Fonaris\DialOutList' Entrys)"

# Ten stored, the last written tenth: the next goes to Item1.
{ echo '[HKEY_CURRENT_USER\Software\Mirelta\Fonaris\DialOutList]'; echo '"Entrys"=dword:0000000a'
  echo '"LastChanged"=dword:0000000a'; for i in $(seq 3 10); do echo "\"Item$i\"=\"030$i\""; done; } | e2e_reg_import
fonctl command 32785 >/dev/null
check "dialog from the tray" wait_dialog
fonctl dlg-set has:1015 1015 "030 99 88" >/dev/null
fonctl dlg-click has:1015 1 >/dev/null
check "wrapped number dialled" dialled 0309988
check "history wraps to Item1" grep -qx '"Item1"="0309988"' <<<"$(list)"
check "LastChanged 1" grep -qx '"LastChanged"=dword:00000001' <<<"$(list)"

tel=$(e2e_reg_export 'HKCU\Software\Classes\tel')
check "tel: registered for the user" grep -qF 'fonaris.exe\" --link \"%1\""' <<<"$tel"
# Windows' HKEY_CLASSES_ROOT shows the user's classes over the machine's;
# Wine's shows only the machine's, so the rig copies the registration there.
sed -n '/^\[/,$p' <<<"$tel" | sed 's/HKEY_CURRENT_USER/HKEY_LOCAL_MACHINE/' | e2e_reg_import
wine start 'tel:+49-30-123;ext=5' >"$E2E_DIR/start.out" 2>&1
check "link reached the running client" wait_log "Phone link: tel:+49-30-123;ext=5" 15
check "dialog for the link" wait_dialog
check_eq "the link's number" "004930123" "$(called)"
sleep 1.5
check_eq "no second client" "1" "$(fonctl windows | awk -F'\t' '$2 == "FonarisFrame"' | wc -l)"
fonctl dlg-click has:1015 2 >/dev/null; wait_no_dialog

ctl event 'X|1|Anna Schmidt|0301234999|0302222|42|\n' >/dev/null
check "call event" wait_log "Message from CTI-Port: X|1|Anna Schmidt" 10
recent_menu() { fonctl tray rbuttondown >/dev/null; fonctl wait-window --visible "#32768" 5000 >/dev/null
  fonctl menu-pick 2 >/dev/null; sleep 0.5; shot "recent-calls-$1"; }
sleep 0.5; recent_menu en
check "recent call picked" fonctl menu-pick 1
check "dialog for the recent call" wait_dialog
check_eq "the caller's number" "0301234999" "$(called)"
fonctl dlg-click has:1015 1 >/dev/null
check "called back" dialled 0301234999
check "recent calls kept" grep -qF 'Anna Schmidt|0301234999' <<<"$(e2e_reg_export 'HKCU\Software\Mirelta\Fonaris\RecentCalls')"

fonctl command 32780 >/dev/null
check "client ends" wait_exit "$E2E_CLIENT_PID" 15
e2e_reg_import <<<'[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="Deutsch"'
e2e_start_client "$E2E_DIR/client-de.log"
check "German client" wait_log "Relay answers to GETACTIVEFORCEDPROFILE request" 30 1 "$E2E_DIR/client-de.log"
fonctl command 32785 >/dev/null
check "German dialog" wait_dialog
check_eq "German dial button" "Wählen" "$(fonctl dlg-text has:1015 1 | iconv -f CP1252 -t UTF-8)"
shot dialout-de
fonctl dlg-click has:1015 2 >/dev/null; wait_no_dialog
recent_menu de
e2e_end
exit $((E2E_FAILS > 0))
