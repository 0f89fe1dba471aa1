#!/usr/bin/env bash
# A throw-away CUPS scheduler for the spooler tests: it listens only on a socket inside DIR,
# keeps all its state in DIR and never touches the machine's own printing set-up.
#
#   private-cupsd.sh start DIR   starts cupsd, waits until it answers, prints its process id
#   private-cupsd.sh stop DIR    stops the cupsd started for DIR
#
# Clients reach it with CUPS_SERVER=DIR/cups.sock and CUPS_SERVERROOT=DIR.
set -euo pipefail

command=${1:?usage: private-cupsd.sh start|stop DIR}
dir=${2:?usage: private-cupsd.sh start|stop DIR}
dir=$(cd "$dir" && pwd)

stop() {
  if [ -f "$dir/cupsd.pid" ]; then
    pid=$(cat "$dir/cupsd.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
    rm -f "$dir/cupsd.pid"
  fi
}

case "$command" in
stop)
  stop
  exit 0
  ;;
start) ;;
*)
  echo "unknown command $command" >&2
  exit 2
  ;;
esac

cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
[ -x "$cupsd" ] || { echo "cupsd is not installed" >&2; exit 77; }

# cupsd runs its backends as an unprivileged user, which must reach the spool folder; as root
# it also refuses "User root", so the usual "lp" account does that work.
if [ "$(id -u)" -eq 0 ]; then
  run_user=lp
  run_group=lp
  getent passwd lp >/dev/null || run_user=nobody
  getent group lp >/dev/null || run_group=nogroup
else
  run_user=$(id -un)
  run_group=$(id -gn)
fi

mkdir -p "$dir"/{cache,state,spool,spool/tmp,log,ppd}
chmod 0755 "$dir" "$dir"/{cache,state,log,ppd}
chmod 0710 "$dir/spool"
chmod 1777 "$dir/spool/tmp"
if [ "$(id -u)" -eq 0 ]; then
  chgrp "$run_group" "$dir/spool" "$dir/cache"
  chmod 0770 "$dir/cache"
fi

cat >"$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel debug
Browsing No
WebInterface No
DefaultAuthType None
JobRetryInterval 1
MaxJobTime 60
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir
CacheDir $dir/cache
StateDir $dir/state
RequestRoot $dir/spool
TempDir $dir/spool/tmp
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
User $run_user
Group $run_group
SystemGroup root $(id -gn)
FileDevice No
CONF
: >"$dir/printers.conf"
: >"$dir/client.conf"

stop
rm -f "$dir/cups.sock"
env -u CUPS_SERVER -u LPDEST -u PRINTER "$cupsd" -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" \
  >"$dir/log/cupsd.out" 2>&1 &
pid=$!
echo "$pid" >"$dir/cupsd.pid"

for _ in $(seq 100); do
  if [ -S "$dir/cups.sock" ] && CUPS_SERVER="$dir/cups.sock" CUPS_SERVERROOT="$dir" lpstat -r >/dev/null 2>&1; then
    echo "$pid"
    exit 0
  fi
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "cupsd stopped at once:" >&2
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
    exit 1
  fi
  sleep 0.1
done
echo "cupsd did not answer in time" >&2
cat "$dir/log/error_log" >&2 2>/dev/null || true
stop
exit 1
