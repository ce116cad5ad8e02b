#!/bin/sh
# olbrax-cli labels and giro on a fresh home folder: what is stored, what is refused (exit 1),
# wrong usage (exit 2), printing to PDF, and the files pass the check.
set -eu
cli=$1
HOME=$(mktemp -d)
export HOME QT_QPA_PLATFORM=offscreen OLBRAX_PDF_DIR="$HOME/pdf"
unset XDG_CONFIG_HOME XDG_DOCUMENTS_DIR || true
trap 'rm -rf "$HOME"' EXIT
fail() { echo "labels_smoke: $*" >&2; exit 1; }
# Runs the tool and checks its exit code.
expect() {
  want=$1
  shift
  set +e
  "$cli" "$@" >"$HOME/out.txt" 2>"$HOME/err.txt"
  got=$?
  set -e
  [ "$got" = "$want" ] || fail "olbrax-cli $* exited $got, not $want: $(cat "$HOME/err.txt")"
}
data="$HOME/Documents/OlbraxW32/data"

expect 0 labels add 'OK Ravinen\nSkogsvägen 1\n10000 Mossen'
expect 1 labels add 'OK Ravinen\nen annan rad'
grep -q 'finns redan registrerad. "OK Ravinen" Måste vara unik.' "$HOME/err.txt" || fail "duplicate label message"
expect 0 labels add "BITMAP$HOME/finns-inte.png"
expect 0 labels list
[ "$(wc -l <"$HOME/out.txt")" = 2 ] || fail "labels list"
expect 1 labels print --out "$HOME/l.pdf"  # the picture is missing: its cell stays empty
grep -q "kan ej ladda filen" "$HOME/err.txt" || fail "missing picture message"
head -c 5 "$HOME/l.pdf" | grep -q "%PDF-" || fail "labels pdf"
expect 0 labels delete "BITMAP$HOME/finns-inte.png"
expect 0 labels print --copies 3 --out "$HOME/l.pdf"
grep -q "Etiketter utskrivna: 3" "$HOME/out.txt" || fail "three copies"
expect 1 labels delete "finns inte"
expect 2 labels add
expect 2 labels print --copies 0

expect 0 giro postgiro add --payee Klubben --letter A --giro 18 --amount 1234 --reference 4711
expect 1 giro plusgiro add --payee Klubben --letter A
grep -q '"Klubben_A" Måste vara unik.' "$HOME/err.txt" || fail "duplicate form message"
expect 1 giro plusgiro add --payee Klubben --giro 19
grep -q "fel på gironummer" "$HOME/err.txt" || fail "check digit message"
expect 2 giro plusgiro add --payee Klubben --amount 12,50
expect 2 giro bankgiro add --payee Klubben --reference 1
expect 0 giro bankgiro add --payee Klubben --amount 0
expect 0 giro plusgiro list
grep -q "^18.............. Klubben_A$" "$HOME/out.txt" || fail "list line"
expect 0 giro postgiro print --env 10 --out "$HOME/g.pdf"
head -c 5 "$HOME/g.pdf" | grep -q "%PDF-" || fail "giro pdf"
expect 0 giro postgiro change Klubben_A --letter B
expect 0 giro plusgiro delete Klubben_B
expect 0 check "$data"
grep -q "Etikett: ok" "$HOME/out.txt" && grep -q "giroP: ok" "$HOME/out.txt" && grep -q "giroB: ok" "$HOME/out.txt" ||
  fail "check of the files"
# A label whose first line no longer agrees with its index entry (one byte changed in the file) is
# found by check: in the folder, as a single file, and in a data directory with an archive.
printf X | dd of="$data/Etikett.DAT" bs=1 seek=253 conv=notrunc 2>/dev/null
expect 1 check "$data"
grep -q 'Etikett: entry "OK Ravinen" names record 1, whose key is "XK Ravinen"' "$HOME/out.txt" || fail "damaged label file"
expect 1 check "$data/Etikett"
expect 0 new-archive --yes
expect 1 check "$data"
grep -q 'Etikett: entry "OK Ravinen"' "$HOME/out.txt" && grep -q "giroP: ok" "$HOME/out.txt" || fail "damaged label file in a data directory"
echo "labels_smoke: ok"
