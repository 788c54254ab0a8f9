#!/usr/bin/env sh
# An image whose first read blocks, for bad_input_test: a FIFO that a shell holds open for
# writing and never writes to. "start FIFO" makes it and leaves its holder running; "stop FIFO"
# ends that holder and removes the FIFO. The holder ends by itself after ten minutes.
set -eu
fifo=$2
pidfile=$fifo.pid
stop() {
  if [ -f "$pidfile" ]; then
    kill "$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$pidfile"
  fi
  rm -f "$fifo"
}
case $1 in
  start)
    stop
    mkfifo "$fifo"
    # Opened for reading and writing, the FIFO never blocks its holder and never reaches its end.
    setsid sh -c 'echo $$ > "$1"; exec 3<>"$0"; exec sleep 600' "$fifo" "$pidfile" \
      </dev/null >/dev/null 2>&1 &
    # Ready once the holder has written its process id.
    i=0
    while [ ! -s "$pidfile" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop FIFO" >&2; exit 2 ;;
esac
