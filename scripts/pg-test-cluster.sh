#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the tests: `start DIR` creates DIR, runs initdb and starts
# the server on a unix socket inside DIR (no TCP port), as an unprivileged user when run as root
# (nobody, through setpriv); prints the connection URI. `stop DIR` stops the server and removes DIR;
# `restart DIR` first clears what an interrupted run left. The tests connect as the cluster's
# superuser "gs" to the database "gs" (trust on the socket, which only the folder's owner reaches).
set -euo pipefail
cmd=${1:-}; dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -x "$bin/initdb" ] || { echo "PostgreSQL server not installed (apt-get install postgresql)" >&2; exit 1; }
as_user=()
user=gs
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
case "$cmd" in
start)
  mkdir -p "$dir"
  chmod 700 "$dir"
  [ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$dir"
  "${as_user[@]}" env HOME="$dir" "$bin/initdb" -D "$dir/data" -U "$user" -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; exit 1; }
  # One role that must give its password (gs_pw / richtig), for the tests of a wrong password.
  sed -i '1i local all gs_pw scram-sha-256' "$dir/data/pg_hba.conf"
  "${as_user[@]}" env HOME="$dir" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off -c full_page_writes=off" start >/dev/null \
    || { cat "$dir/server.log" >&2; exit 1; }
  "${as_user[@]}" env HOME="$dir" "$bin/createdb" -h "$dir" -U "$user" gs
  "${as_user[@]}" env HOME="$dir" "$bin/psql" -q -h "$dir" -U "$user" -d gs \
    -c "CREATE ROLE gs_pw LOGIN PASSWORD 'richtig'" >/dev/null
  printf 'postgresql://gs@/gs?host=%s\n' "$dir"
  ;;
restart)
  bash "$0" stop "$dir"
  bash "$0" start "$dir"
  ;;
stop)
  if [ -f "$dir/data/postmaster.pid" ]; then
    "${as_user[@]}" env HOME="$dir" "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null || true
  fi
  rm -rf "$dir"
  ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
