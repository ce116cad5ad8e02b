#!/bin/sh
# olbrax-cli on a fresh home folder: every step must succeed and print what a user checks.
set -eu
cli=$1
demo=$2
HOME=$(mktemp -d)
export HOME QT_QPA_PLATFORM=offscreen OLBRAX_PDF_DIR="$HOME/pdf"
unset XDG_CONFIG_HOME XDG_DOCUMENTS_DIR || true
trap 'rm -rf "$HOME"' EXIT
fail() { echo "cli_smoke: $*" >&2; exit 1; }

"$cli" new-archive --yes >/dev/null 2>&1 || fail "new-archive"
for name in Ett "Två" Tre; do
  "$cli" new-competition --name "$name" --organiser "OK Test" >/dev/null 2>&1 || fail "new-competition $name"
done
[ "$("$cli" list 2>/dev/null | grep -c 'OK Test')" = 3 ] || fail "list does not show three competitions"
[ "$(stat -c %s "$HOME/.config/OlbraxW32/OlbraxW32.P32")" = 317112 ] || fail "configuration file size"

"$cli" import "$demo"/*.txt > "$HOME/log.txt" 2>/dev/null || fail "import"
grep -q "^IMPORT KLAR!" "$HOME/log.txt" || fail "import log"
[ "$("$cli" show classes 2>/dev/null | wc -l)" = 27 ] || fail "show classes"
[ "$("$cli" show clubs 2>/dev/null | wc -l)" = 64 ] || fail "show clubs"
"$cli" check "$HOME/Documents/OlbraxW32/data" >/dev/null 2>&1 || fail "check"
"$cli" delete-competition 2 --yes >/dev/null 2>&1 || fail "delete-competition"
"$cli" list 2>/dev/null | grep -q "^02   raderad" || fail "deleted entry"
"$cli" testpage --out "$HOME/t.pdf" >/dev/null 2>&1 || fail "testpage"
head -c 5 "$HOME/t.pdf" | grep -q "%PDF-" || fail "testpage pdf"
echo "cli_smoke: ok"
