#!/bin/sh
# olbrax-cli when a command cannot do its work: it says why and exits 1 (2 for wrong usage), and
# never claims what it did not do.
set -u
cli=$1
demo=$2
HOME=$(mktemp -d)
export HOME QT_QPA_PLATFORM=offscreen OLBRAX_PDF_DIR="$HOME/pdf"
unset XDG_CONFIG_HOME XDG_DOCUMENTS_DIR || true
trap 'rm -rf "$HOME"' EXIT
fail() { echo "cli_failures: $*" >&2; exit 1; }
# run EXPECTED-EXIT ARGS...: runs the tool with stdout in $HOME/out and stderr in $HOME/err.
run() {
  want=$1
  shift
  $PRE "$cli" "$@" >"$HOME/out" 2>"$HOME/err"
  got=$?
  [ "$got" = "$want" ] || { cat "$HOME/err" >&2; fail "exit $got, not $want: $*"; }
}
PRE=""
said() { grep -q "$1" "$HOME/err" || { cat "$HOME/err" >&2; fail "not said: $1"; }; }

dir="$HOME/data"
mkdir "$dir"
run 0 --datadir "$dir" new-archive --yes
# Without --yes the question is answered No: nothing is made, and nothing is claimed.
run 0 --datadir "$dir" new-competition --name Ett --organiser "OK Test"
run 1 --datadir "$dir" new-archive
grep -q "Nytt arkiv" "$HOME/out" && fail "new-archive without --yes claims a new archive"
said "Inget nytt arkiv"

# With --datadir nothing is remembered: commands that need a competition say how to choose one,
# and --competition N chooses it for one run.
run 1 --datadir "$dir" show classes
said "select N"
said "competition N"
run 1 --datadir "$dir" import "$demo/klasser.txt"
said "Ingen tävling vald"
run 0 --datadir "$dir" --competition 1 import "$demo/klasser.txt"
run 0 --datadir "$dir" --competition 1 show classes
[ "$(wc -l <"$HOME/out")" = 27 ] || fail "show classes with --competition"
run 1 --datadir "$dir" --competition 5 show classes
said "05 kan inte öppnas"
run 2 --datadir "$dir" --competition 9 show classes

# Every message line of the run is printed, not only the last; the fees of the competition are
# shown with two decimals, also under a locale whose decimal point is a comma.
printf '; f\366rsta raden\r\n; andra raden\r\n*Klubbar\r\nOK AVGIFT,1,01,,,,,AVG,150.50,20\r\n-\r\n-\r\n-\r\n-\r\n' >"$HOME/avg.txt"
PRE="env LANG=sv_SE.UTF-8 LC_ALL=sv_SE.UTF-8"
run 0 --datadir "$dir" --competition 1 import "$HOME/avg.txt"
said "; första raden"
said "; andra raden"
run 0 --datadir "$dir" --competition 1 show clubs
grep -qi "OK AVGIFT.*avgifter 150.50 20.00" "$HOME/out" || fail "show clubs does not show the fees"
PRE=""

# A folder named like an exchange file, as the last file of a run with a log: the run ends its
# log (the PDF is written, no crash at exit) and exits 1.
mkdir "$HOME/mapp.txt"
run 1 --datadir "$dir" --competition 1 import "$demo/distrikt.txt" "$HOME/mapp.txt" --log "$HOME/logg.pdf"
said "Kan ej öppna IxportFile"
grep -q "^IMPORT KLAR!" "$HOME/out" || fail "the import log does not end"
head -c 5 "$HOME/logg.pdf" | grep -q "%PDF-" || fail "the import log PDF"

# A competition whose files are gone cannot be shown: said, exit 1, not an empty list.
run 0 --datadir "$dir" new-competition --name "Två" --organiser "OK Test"
rm "$dir"/KLASS02.*
run 1 --datadir "$dir" --competition 2 show classes

# Deleting twice, or a vacant number: refused with a message.
run 0 --datadir "$dir" --yes delete-competition 2
run 1 --datadir "$dir" --yes delete-competition 2
said "02 är redan raderad"
run 1 --datadir "$dir" --yes delete-competition 7
said "07 finns inte"
run 0 --datadir "$dir" new-competition --name Tre --organiser "OK Test"
grep -q "02 skapad" "$HOME/out" || fail "the deleted number is not reused"
run 0 check "$dir"
echo "cli_failures: ok"
