#!/bin/sh
# olbrax-cli report and course-image on the demo competition: every report writes a PDF, the
# course image a picture in the format its name asks for, and the failures exit 1 with a reason.
set -eu
cli=$1
demo=$2
HOME=$(mktemp -d)
export HOME QT_QPA_PLATFORM=offscreen OLBRAX_PDF_DIR="$HOME/pdf"
unset XDG_CONFIG_HOME XDG_DOCUMENTS_DIR || true
trap 'rm -rf "$HOME"' EXIT
fail() { echo "reports_cli: $*" >&2; exit 1; }

"$cli" new-archive --yes >/dev/null 2>&1 || fail "new-archive"
"$cli" import "$demo"/*.txt >/dev/null 2>&1 || fail "import"

for kind in controls courses code-course-class routes-data routes-summary routes-form class-list; do
  "$cli" report $kind --out "$HOME/$kind.pdf" >/dev/null 2>&1 || fail "report $kind"
  head -c 5 "$HOME/$kind.pdf" | grep -q "%PDF-" || fail "report $kind: no PDF"
done
# The demo has two stages: the class descriptions need the stage.
if "$cli" report class-descriptions --out "$HOME/cd.pdf" >/dev/null 2>"$HOME/err"; then fail "class-descriptions without --stage"; fi
grep -q "stage 1..2" "$HOME/err" || fail "class-descriptions: no hint about --stage"
[ ! -e "$HOME/cd.pdf" ] || fail "class-descriptions without --stage wrote a file"
"$cli" report class-descriptions --stage 2 --only H21,D21 --out "$HOME/cd.pdf" >/dev/null 2>&1 || fail "class-descriptions --stage 2"
head -c 5 "$HOME/cd.pdf" | grep -q "%PDF-" || fail "class-descriptions: no PDF"

# A name that is not there prints nothing and says so.
if "$cli" report controls --only 31,XYZ --out "$HOME/x.pdf" >/dev/null 2>"$HOME/err"; then fail "--only with an unknown code"; fi
grep -q "finns inte: XYZ" "$HOME/err" || fail "--only: no message for the unknown code"
[ ! -e "$HOME/x.pdf" ] || fail "--only with an unknown code wrote a file"
if "$cli" report nonsense >/dev/null 2>&1; then fail "unknown report"; else [ $? = 2 ] || fail "unknown report: exit code"; fi

"$cli" course-image A --out "$HOME/a.jpg" >/dev/null 2>&1 || fail "course-image jpg"
head -c 3 "$HOME/a.jpg" | od -An -tx1 | grep -q "ff d8 ff" || fail "course-image: a.jpg is not JPEG"
"$cli" course-image a --out "$HOME/a.png" >/dev/null 2>&1 || fail "course-image png"
head -c 4 "$HOME/a.png" | grep -q "PNG" || fail "course-image: a.png is not PNG"
"$cli" course-image A --out "$HOME/a" >/dev/null 2>&1 || fail "course-image bmp"
head -c 2 "$HOME/a" | grep -q "BM" || fail "course-image: a is not BMP"
if "$cli" course-image NOSUCH --out "$HOME/n.png" >/dev/null 2>&1; then fail "course-image of a missing course"; fi
if "$cli" course-image A --out "$HOME/no/dir/a.png" >/dev/null 2>"$HOME/err"; then fail "course-image into a missing folder"; fi
grep -q "Kan ej spara bilden" "$HOME/err" || fail "course-image: no message for an unwritable file"
echo "reports_cli: ok"
