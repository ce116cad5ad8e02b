#!/bin/sh
# Printing without --out goes to the CUPS queue of the current print environment: a private
# cupsd with a cups-pdf queue receives olbrax-cli's report and test page, and cups-pdf writes
# them as PDF files. Needs root (cupsd and the cups-pdf backend run as root); skipped with a
# message otherwise.
set -eu
cli=$1
demo=$2
skip() { echo "cups_print: SKIPPED: $*"; exit 77; }
fail() { echo "cups_print: $*" >&2; [ -f "$T/log/error_log" ] && tail -20 "$T/log/error_log" >&2; exit 1; }

[ "$(id -u)" = 0 ] || skip "not root: cupsd and the cups-pdf backend need root"
command -v cupsd >/dev/null || skip "cupsd is not installed (scripts/install-deps installs cups)"
command -v lpadmin >/dev/null || skip "lpadmin is not installed"
[ -x /usr/lib/cups/backend/cups-pdf ] || skip "the cups-pdf backend is not installed (printer-driver-cups-pdf)"
ppd=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null || true)
[ -n "$ppd" ] || skip "the cups-pdf PPD is missing"
[ -w /etc/cups ] || skip "/etc/cups is not writable for the cups-pdf queue's settings"

T=$(mktemp -d -t olbrax-cups-XXXXXX)
queue="olbraxtest$$"
conf="/etc/cups/cups-pdf-$queue.conf"
HOME="$T/home"
export HOME QT_QPA_PLATFORM=offscreen OLBRAX_PDF_DIR="$T/pdf" CUPS_SERVER="$T/cups.sock"
unset XDG_CONFIG_HOME XDG_DOCUMENTS_DIR || true
cleanup() {
  # cupsd writes its cache while it ends: the folder goes only after the process has gone, so
  # that a test that passed does not fail in its clean-up.
  if [ -f "$T/pid" ]; then
    pid=$(cat "$T/pid")
    kill "$pid" 2>/dev/null || true
    i=0
    while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do
      i=$((i + 1))
      sleep 0.1
    done
  fi
  rm -f "$conf"
  rm -rf "$T" 2>/dev/null || true
}
trap cleanup EXIT
mkdir -p "$T/root/ppd" "$T/spool" "$T/cache" "$T/state" "$T/log" "$T/tmp" "$T/out" "$HOME"
chmod 755 "$T" "$T/root"
chmod 1777 "$T/tmp"  # the filters run as lp
cat > "$T/root/cupsd.conf" <<CONF
Listen $T/cups.sock
LogLevel warn
Browsing Off
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
cat > "$T/root/cups-files.conf" <<CONF
ServerRoot $T/root
RequestRoot $T/spool
CacheDir $T/cache
StateDir $T/state
TempDir $T/tmp
AccessLog $T/log/access_log
ErrorLog $T/log/error_log
PageLog $T/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
User lp
Group lp
SystemGroup root
CONF
cupsd -f -c "$T/root/cupsd.conf" -s "$T/root/cups-files.conf" >"$T/log/stdout" 2>&1 &
echo $! > "$T/pid"
i=0
until [ -S "$T/cups.sock" ] && lpstat -r >/dev/null 2>&1; do
  i=$((i + 1))
  [ $i -le 50 ] || skip "cupsd did not start: $(cat "$T/log/stdout" "$T/log/error_log" 2>/dev/null | tail -3)"
  sleep 0.2
done
printf 'Out %s\nAnonDirName %s\n' "$T/out" "$T/out" > "$conf"
lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd" 2>/dev/null || fail "lpadmin"

"$cli" new-archive --yes >/dev/null 2>&1 || fail "new-archive"
"$cli" import "$demo"/*.txt >/dev/null 2>&1 || fail "import"
# The queue becomes the printer of print environment 1, the current one.
"$cli" config set print 1 printer="$queue" >/dev/null 2>&1 || fail "config set print 1 printer=$queue"
"$cli" config 2>/dev/null | grep -q "skrivare $queue" || fail "the environment's printer is not $queue"

"$cli" report controls > "$T/stdout" 2>/dev/null || fail "report controls"
grep -q "utskrivet p. $queue" "$T/stdout" || fail "report controls: not printed on $queue"
"$cli" testpage >/dev/null 2>&1 || fail "testpage"
# Both jobs are done when the queue is empty and cups-pdf has written both files.
i=0
until [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && [ "$(ls "$T/out" | grep -c '\.pdf$')" -ge 2 ]; do
  i=$((i + 1))
  [ $i -le 150 ] || fail "cups-pdf wrote $(ls "$T/out" | wc -l) of 2 files"
  sleep 0.2
done
for f in "$T"/out/*kontroller*.pdf "$T"/out/*testsida*.pdf; do
  [ -f "$f" ] || fail "no job file for $f"
  head -c 5 "$f" | grep -q "%PDF-" || fail "$f is not a PDF"
  [ "$(stat -c %s "$f")" -gt 10000 ] || fail "$f is nearly empty"
done
echo "cups_print: ok"
