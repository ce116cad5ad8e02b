#!/bin/sh
# olbrax-cli and paths with characters Windows-1252 lacks: refused with a message naming the path,
# exit code 1, and nothing written under a changed name.
set -eu
cli=$1
HOME=$(mktemp -d)
export HOME QT_QPA_PLATFORM=offscreen OLBRAX_PDF_DIR="$HOME/pdf"
unset XDG_CONFIG_HOME XDG_DOCUMENTS_DIR || true
trap 'rm -rf "$HOME"' EXIT
fail() { echo "cli_paths: $*" >&2; exit 1; }
refused() {  # refused EXPECTED-PATH COMMAND...: exit 1 and the path named on stderr or stdout
  path=$1
  shift
  set +e
  "$cli" "$@" >"$HOME/out.txt" 2>&1
  rc=$?
  set -e
  [ "$rc" = 1 ] || fail "$* exited $rc, not 1"
  grep -qF "$path" "$HOME/out.txt" || fail "$* does not name $path: $(cat "$HOME/out.txt")"
}

"$cli" new-archive --yes >/dev/null 2>&1 || fail "new-archive"
mkdir -p "$HOME/x/データ" "$HOME/x/Ωμέγα"
refused "$HOME/x/データ" --datadir "$HOME/x/データ" new-archive --yes
refused "$HOME/x/Ωμέγα" --datadir "$HOME/x/Ωμέγα" list
[ -z "$(find "$HOME/x/データ" "$HOME/x/Ωμέγα" -mindepth 1)" ] || fail "files written in a refused data directory"
[ "$(ls "$HOME/x" | wc -l)" = 2 ] || fail "a folder made under a changed name: $(ls "$HOME/x")"

printf '*Klubbar\r\n1,OK Test,,\r\n' > "$HOME/x/クラブ.txt"
refused "$HOME/x/クラブ.txt" import "$HOME/x/クラブ.txt"
refused "$HOME/x/Ωμέγα" check "$HOME/x/Ωμέγα"
echo "cli_paths: ok"
