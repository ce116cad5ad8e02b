#!/bin/sh
# olbrax-cli with entries and results: the demo's entries and results import, show entrants lists
# start numbers, start clocks and results, the results log prints with --results-log, and the
# export files come back into a new competition; exit codes of refusals.
set -eu
cli=$1
demo=$2
HOME=$(mktemp -d)
export HOME QT_QPA_PLATFORM=offscreen
unset XDG_CONFIG_HOME XDG_DOCUMENTS_DIR || true
trap 'rm -rf "$HOME"' EXIT
fail() { echo "entries_smoke: $*" >&2; exit 1; }
data="$HOME/Documents/OlbraxW32/data"

"$cli" new-archive --yes >/dev/null 2>&1 || fail "new-archive"
"$cli" import "$demo"/*.txt --results-log "$HOME/resultatlogg.pdf" >"$HOME/log" 2>"$HOME/err" ||
  fail "import: $(tail -3 "$HOME/err")"
[ -s "$HOME/resultatlogg.pdf" ] || fail "no results log PDF"
grep -q "Logg dag:1" "$HOME/log" || fail "no results log heading"
grep -q "DatorId:" "$HOME/log" || fail "no results log footer"
"$cli" show entrants 2>/dev/null | grep -Eq "^0001 \| .* \| .*start [0-9]{3} mål [0-9]{3}:[0-9]{2} tid [0-9]{3}:[0-9]{2}" ||
  fail "show entrants: $("$cli" show entrants 2>/dev/null | head -1)"
[ "$("$cli" show entrants 2>/dev/null | wc -l)" -eq 820 ] || fail "not 820 entrants"
"$cli" check "$data" >/dev/null 2>&1 || fail "check after the import"

"$cli" export entrants --out "$HOME/deltagare.ol" >/dev/null 2>&1 || fail "export entrants"
"$cli" export clubs --out "$HOME/klubbar.ol" >/dev/null 2>&1 || fail "export clubs"
"$cli" export open-entrants --stage 2 --out "$HOME/direkt.ol" >/dev/null 2>&1 || fail "export open-entrants"
head -c 200 "$HOME/deltagare.ol" | grep -q "$(printf '\r')" || fail "no CR LF"
set +e
"$cli" export open-entrants --out "$HOME/x.ol" >/dev/null 2>&1
[ $? -eq 2 ] || fail "a direct export of two stages without --stage is wrong usage"
"$cli" export entrants >/dev/null 2>&1
[ $? -eq 2 ] || fail "export without --out is wrong usage"
"$cli" export entrants --out "$HOME/no/such/folder/x.ol" >/dev/null 2>&1
[ $? -eq 1 ] || fail "an export that cannot create its file must fail"
set -e

# A new competition with the same classes takes the files back: the same entrants.
before=$("$cli" show entrants 2>/dev/null)
"$cli" import "$demo/tavling.txt" "$demo/klasser.txt" "$HOME/klubbar.ol" "$HOME/deltagare.ol" >"$HOME/log2" 2>&1 ||
  fail "import of the exported files"
if grep -q "Felaktig" "$HOME/log2"; then fail "the exported file imports with Felaktig lines"; fi
after=$("$cli" --competition 2 show entrants 2>/dev/null)
[ "$before" = "$after" ] || fail "the entrants differ after the round trip"
"$cli" check "$data" >/dev/null 2>&1 || fail "check after the round trip"
echo "entries_smoke: ok"
