#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs
# as a user with a fresh home folder: rq300-cli reads a simulated radio, both
# programs keep their configuration in ~/.config/rq300/, started from the
# administrator's default, the window program opens the settings file it is
# given, and nothing is written beside the installed executables.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "install test: $*" >&2; exit 1; }

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/rq300 bin/rq300-cli bin/rq300-sim share/rq300/sysini.ini \
         share/rq300/cha_dll.lang share/rq300/eng_dll.lang share/rq300/ty.lang; do
  [ -f "$prefix/$f" ] || fail "$f was not installed"
done
before=$(ls -A "$prefix/bin")

export HOME=$tmp/home
unset XDG_CONFIG_HOME
mkdir -p "$HOME"
# The administrator's default, as the package installs it in /etc/xdg.
export XDG_CONFIG_DIRS=$tmp/xdg
mkdir -p "$XDG_CONFIG_DIRS/rq300"
sed 's/^com=1/com=3/' "$prefix/share/rq300/sysini.ini" >"$XDG_CONFIG_DIRS/rq300/sysini.ini"
cmp -s "$XDG_CONFIG_DIRS/rq300/sysini.ini" "$prefix/share/rq300/sysini.ini" && fail "the administrator's default is the shipped one"
cd "$tmp"
config=$HOME/.config/rq300/sysini.ini

"$prefix/bin/rq300-cli" --help | grep -qF "$config" || fail "--help does not name $config"

fifo=$tmp/sim.out
mkfifo "$fifo"
"$prefix/bin/rq300-sim" --image "$tmp/radio.img" --sample-channels >"$fifo" &
sim_pid=$!
exec 3<"$fifo"   # kept open while the simulator runs, so it never writes into a closed pipe
read -r -t 10 device <&3 || fail "the simulated radio named no device"

"$prefix/bin/rq300-cli" read --port "$device" --output "$tmp/radio.kq19" --band 400-470MHz \
  --trace "$tmp/trace.txt" || fail "rq300-cli read failed"
head -1 "$tmp/radio.kq19" | grep -q "TAVRIN MEMORY CHANNEL" || fail "no settings file was written"
[ -f "$config" ] || fail "no configuration in $config"
cmp -s "$config" "$XDG_CONFIG_DIRS/rq300/sysini.ini" || fail "$config is not the administrator's default"
grep -q " handshake  TX  02 54 41 56 52 49 4E" "$tmp/trace.txt" || fail "the trace has no handshake"

# The window program opens the file it is given as the desktop gives it (a
# path relative to where it starts; the recent files list names what it
# opened), and stores its settings at exit (SIGTERM closes it normally).
if [ -z "${RQ300_SKIP_WINDOW:-}" ]; then
  QT_QPA_PLATFORM=offscreen "$prefix/bin/rq300" radio.kq19 &
  gui_pid=$!
  sleep 2
  kill -TERM "$gui_pid"
  wait "$gui_pid" || fail "rq300 did not end cleanly"
  grep -q "^\[open\]" "$config" || fail "rq300 did not store its settings in $config"
  grep -qxF "file1=$tmp/radio.kq19" <(tr -d '\r' <"$config") || fail "rq300 did not open the file it was given"
fi

[ "$(ls -A "$prefix/bin")" = "$before" ] || fail "something was written beside the installed programs"
echo "install test: installed programs use $config"
