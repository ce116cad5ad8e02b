#!/bin/sh
# olbrax-cli backup, rebuild and config set on the demo competition: each must do its work and
# say so, and refuse what it cannot do with exit code 1 (2 for wrong usage).
set -eu
cli=$1
demo=$2
HOME=$(mktemp -d)
export HOME QT_QPA_PLATFORM=offscreen
unset XDG_CONFIG_HOME XDG_DOCUMENTS_DIR || true
trap 'rm -rf "$HOME"' EXIT
fail() { echo "maintenance_smoke: $*" >&2; exit 1; }
data="$HOME/Documents/OlbraxW32/data"

"$cli" new-archive --yes >/dev/null 2>&1 || fail "new-archive"
"$cli" import "$demo"/*.txt >/dev/null 2>&1 || fail "import"
before=$(for r in clubs districts classes controls courses routes; do "$cli" show $r 2>/dev/null; done)

"$cli" labels add 'OK Ravinen\nSkogsvägen 1' >/dev/null 2>&1 || fail "labels add"
"$cli" backup "$HOME/kopia" 2>"$HOME/err" || fail "backup: $(cat "$HOME/err")"
grep -q "lyckad kopiering" "$HOME/err" || fail "backup notice"
[ -f "$HOME/kopia/Etikett.DAT" ] || fail "the label register was not copied"
"$cli" --datadir "$HOME/kopia" list 2>/dev/null | grep -q "^01" || fail "the copy does not open"
"$cli" check "$HOME/kopia" >/dev/null 2>&1 || fail "check of the copy"
if "$cli" backup "$data" >/dev/null 2>&1; then fail "backup into the data directory itself"; fi

"$cli" rebuild 2>"$HOME/err" || fail "rebuild: $(cat "$HOME/err")"
grep -q "klart" "$HOME/err" || fail "rebuild message"
"$cli" check "$data" >/dev/null 2>&1 || fail "check after the rebuild"
after=$(for r in clubs districts classes controls courses routes; do "$cli" show $r 2>/dev/null; done)
[ "$before" = "$after" ] || fail "the registers changed in the rebuild"
[ ! -e "$data/indexbygg.ny" ] || fail "staging folder left"

"$cli" config set print 3 name="Mina listor" columns=2 >/dev/null 2>&1 || fail "config set print"
"$cli" config print 3 2>/dev/null | grep -q "name: Mina listor" || fail "config print"
set +e
"$cli" config set label 2 height=-5 >/dev/null 2>&1
[ $? -eq 1 ] || fail "a negative label height was not refused"
"$cli" config set label 2 height=abc >/dev/null 2>&1
[ $? -eq 2 ] || fail "garbage is wrong usage"
set -e
"$cli" config label 2 2>/dev/null | grep -q "height: 370" || fail "the refused height changed the file"
echo "maintenance_smoke: ok"
