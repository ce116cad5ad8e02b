#!/bin/sh
# olbrax-cli import-iof and export-iof: the example messages, every export, bad input, the check.
set -eu
cli=$1
examples=$2
HOME=$(mktemp -d)
export HOME QT_QPA_PLATFORM=offscreen OLBRAX_PDF_DIR="$HOME/pdf"
unset XDG_CONFIG_HOME XDG_DOCUMENTS_DIR || true
trap 'rm -rf "$HOME"' EXIT
fail() { echo "iof_smoke: $*" >&2; exit 1; }

"$cli" new-archive --yes >/dev/null 2>&1 || fail "new-archive"
"$cli" new-competition --name "IOF" --organiser "OK Test" >/dev/null 2>&1 || fail "new-competition"
"$cli" import-iof "$examples"/organisations.xml "$examples"/classes.xml "$examples"/courses.xml \
  "$examples"/entries.xml --yes > "$HOME/log.txt" 2>/dev/null || fail "import-iof"
grep -q "^IMPORT KLAR!" "$HOME/log.txt" || fail "import log"
for kind in startlist results entries courses classes clubs; do
  "$cli" export-iof $kind --out "$HOME/$kind.xml" >/dev/null 2>&1 || fail "export-iof $kind"
  grep -q 'iofVersion="3.0"' "$HOME/$kind.xml" || fail "export-iof $kind: no iofVersion"
done
set +e
"$cli" export-iof nonsense --out "$HOME/x.xml" >/dev/null 2>&1; [ $? = 2 ] || fail "unknown kind is not usage"
printf '<ClassList xmlns="http://www.orienteering.org/datastandard/3.0" iofVersion="3.0"><Class>' > "$HOME/bad.xml"
"$cli" import-iof "$HOME/bad.xml" >/dev/null 2>&1; [ $? = 1 ] || fail "malformed file is not exit 1"
set -e
"$cli" check "$HOME/Documents/OlbraxW32/data" >/dev/null 2>&1 || fail "check"
echo "iof_smoke: ok"
