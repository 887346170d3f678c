#!/usr/bin/env bash
# Call popups seen by a person: one, five stacked, coloured, with "Info",
# and the "Info" click reaching the browser with the encoded address.
. "$(dirname "$0")/lib.sh"
e2e_begin popups
e2e_tsg
e2e_seed_user 42
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"Language"="English"
"Display Time"=dword:0000003c

[HKEY_CURRENT_USER\Software\Mirelta\Fonaris\Colors]
"RED"="Hotline"
REG
e2e_foreground_app
e2e_start_client
check "connected" wait_log "Connection to TSG (CTI-Port) ready" 30

ctl event 'X|1|Anna Schmidt|0301234567|0302222|42|\n' >/dev/null
check "popup shown" wait_log "void CPopup::Show(" 10 1
sleep 0.8
check_eq "one popup on screen" 1 "$(popup_count)"
shot popup-incoming

ctl event 'X|2|Other User|0301|0309999|77|\n' >/dev/null
check "another user's call is decided" wait_log "[42==77]" 10
sleep 0.3
check_eq "no popup for another user" 1 "$(popup_count)"

for i in 3 4 5 6; do
  ctl event "X|$i|Caller $i|03000$i|0302222|42|\\n" >/dev/null
  sleep 0.5
done
sleep 0.8
check_eq "five popups stacked" 5 "$(popup_count)"
shot popups-five-stacked
# Stacked above each other, newest nearest the taskbar: five distinct tops.
check_eq "five different positions" 5 "$(visible_popups | cut -f4 | cut -d, -f2 | sort -u | wc -l)"

ctl event 'X|7|Bernd Meyer|0409876|0302222|42|Hotline Berlin\n' >/dev/null
check "coloured popup shown" wait_log "X|7|Bernd Meyer" 10
sleep 0.8
shot popup-coloured
check_eq "still five popups at most" 5 "$(popup_count)"

# A CRM template: the next call popups carry the "Info" button.
e2e_reg_import <<'REG'
[HKEY_CURRENT_USER\Software\Mirelta\Fonaris]
"CRM HTML Request"="http://crm.example/call?from={CALLERNO}&name={CALLERNAME}&to={CALLEDNO}&user={USERID}"
REG
ctl event 'X|8|Warm-up|0301|0302222|42|\n' >/dev/null
sleep 0.8
ctl event 'X|9|M\xfcller & Co|0301234|0302222|42|\n' >/dev/null
check "info popup shown" wait_log "X|9|M" 10
sleep 0.8
shot popup-info
# The newest popup is the topmost one of its class; its "Info" button sits
# in columns 176..199 of the title band.
# The newest popup is the one nearest the taskbar (largest top); its index
# in the window order is what the click command takes.
newest=$(visible_popups | awk -F'\t' '{split($4, r, ","); print NR - 1, r[2]}' | sort -k2 -n | tail -1 | cut -d' ' -f1)
check "info click delivered" fonctl click CPopup "$newest" 186 6
for i in $(seq 1 50); do
  [ -s "$WINEPREFIX/drive_c/fonaris-test/browser.log" ] && break
  sleep 0.2
done
url='http://crm.example/call?from=0301234&name=M%FCller%20%26%20Co&to=0302222&user=42'
check "browser got the encoded address" grep -qF "$url" "$WINEPREFIX/drive_c/fonaris-test/browser.log"
check "the address is one argument" grep -qF "\"$url\"" "$WINEPREFIX/drive_c/fonaris-test/browser.log"
e2e_end
exit $((E2E_FAILS > 0))
