#!/usr/bin/env bash
# The board's tests against a real PostgreSQL: installs postgresql with
# apt-get when it is missing, starts a private cluster in a temporary folder
# as an unprivileged user (nobody, when run as root), runs the board's suite
# with two board servers sharing it, and tears the cluster down again.
#   tools/test-postgres.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tools/install-packages.sh test-postgres postgresql
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
dir=$(mktemp -d /tmp/prismveldt-pg-XXXXXX)
chmod 755 "$dir"
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$dir"
  as() { setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"; }
else
  as() { "$@"; }
fi
stop() {
  as "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$dir"
}
trap stop EXIT
as "$bin/initdb" -D "$dir/data" -U board --auth=trust -E UTF8 >"$dir/initdb.log"
# A free port for its socket: the cluster takes no TCP connections at all.
port=$((20000 + RANDOM % 20000))
as "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
  -o "-k $dir -p $port -c listen_addresses= -c max_connections=200 -c fsync=off" start >/dev/null
export PRISMVELDT_BOARD_POSTGRES="postgresql://board@/postgres?host=$dir&port=$port"
export PRISMVELDT_BOARD_SERVERS=2
# How a test restarts the database under the running servers.
if [ "$(id -u)" -eq 0 ]; then restart="setpriv --reuid=nobody --regid=nogroup --clear-groups --"; else restart=; fi
export PRISMVELDT_BOARD_POSTGRES_RESTART="$restart $bin/pg_ctl -D $dir/data -l $dir/server.log -w -m fast restart >/dev/null"
ctest --test-dir "$build" -R '^(BoardApi|BoardAround|BoardThrottle|BoardTamper|BoardHostile)\.' --output-on-failure
