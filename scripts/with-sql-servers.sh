#!/usr/bin/env bash
# Runs a command with throwaway PostgreSQL and MariaDB servers for the SQL driver tests.
# Usage: scripts/with-sql-servers.sh command [args...]
#
# Both servers live in a temporary folder (their own data directories, unix sockets in that
# folder, no TCP port) and run as an unprivileged user when started by root. The command sees
# a private odbc.ini through ODBCSYSINI and ODBCINI, and in GD_SQL_PG and GD_SQL_MARIADB the
# connection texts of the two test databases. Whatever the command does, both servers are
# stopped and the folder removed when the script ends; it exits with the command's status.
set -euo pipefail

pg_bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
odbc_lib=$(dirname "$(find /usr/lib -name psqlodbca.so -print -quit 2>/dev/null || true)")
password="gd-test-$RANDOM$RANDOM"

work=$(mktemp -d /tmp/gd-sql.XXXXXX)
chmod 755 "$work"
run_as=()
if [ "$(id -u)" -eq 0 ]; then
  # Both servers refuse to run as root.
  id gdsql >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin gdsql ||
    id gdsql >/dev/null  # another run may have made it meanwhile
  chown gdsql "$work"
  run_as=(runuser -u gdsql --)
fi

stop_servers() {
  set +e
  [ -f "$work/pg/postmaster.pid" ] && "${run_as[@]}" "$pg_bin/pg_ctl" -D "$work/pg" -m immediate -w stop >/dev/null 2>&1
  if [ -f "$work/maria.pid" ]; then
    kill "$(cat "$work/maria.pid")" 2>/dev/null
    for _ in $(seq 50); do [ -f "$work/maria.pid" ] || break; sleep 0.1; done
  fi
  rm -rf "$work"
}
trap stop_servers EXIT INT TERM

start_postgres() {
  [ -x "$pg_bin/initdb" ] || return 1
  (umask 077 && echo "$password" >"$work/pwfile")
  [ ${#run_as[@]} -eq 0 ] || chown gdsql "$work/pwfile"
  "${run_as[@]}" "$pg_bin/initdb" -D "$work/pg" -U gd --pwfile="$work/pwfile" -E UTF8 \
    --locale=C --auth=scram-sha-256 >"$work/pg-init.log" 2>&1 || return 1
  rm -f "$work/pwfile"
  "${run_as[@]}" "$pg_bin/pg_ctl" -D "$work/pg" -l "$work/pg.log" -w \
    -o "-c listen_addresses='' -c unix_socket_directories='$work' -p 54329 -c fsync=off" \
    start >/dev/null || return 1
  PGPASSWORD=$password "$pg_bin/psql" -h "$work" -p 54329 -U gd -d postgres -qc \
    "CREATE DATABASE gd_test" >/dev/null || return 1
  cat >>"$work/odbc.ini" <<EOF
[gd_pg]
Driver=$odbc_lib/psqlodbca.so
Servername=$work
Port=54329
Database=gd_test

EOF
  export GD_SQL_PG="DSN=gd_pg;UID=gd;PWD=$password"
}

start_mariadb() {
  command -v mariadbd >/dev/null || [ -x /usr/sbin/mariadbd ] || return 1
  local user=()
  [ ${#run_as[@]} -eq 0 ] || user=(--user=gdsql)
  mariadb-install-db --no-defaults --datadir="$work/maria" "${user[@]}" \
    --auth-root-authentication-method=normal >"$work/maria-init.log" 2>&1 || return 1
  "${run_as[@]}" /usr/sbin/mariadbd --no-defaults --datadir="$work/maria" \
    --socket="$work/maria.sock" --pid-file="$work/maria.pid" --skip-networking \
    --log-error="$work/maria.log" --innodb-flush-log-at-trx-commit=0 \
    --character-set-server=utf8mb4 --collation-server=utf8mb4_bin >/dev/null 2>&1 &
  for _ in $(seq 100); do
    mariadb --no-defaults -S "$work/maria.sock" -u root -e "SELECT 1" >/dev/null 2>&1 && break
    sleep 0.2
  done
  mariadb --no-defaults -S "$work/maria.sock" -u root -e "
    CREATE DATABASE gd_test CHARACTER SET utf8mb4 COLLATE utf8mb4_bin;
    CREATE USER 'gd'@'localhost' IDENTIFIED BY '$password';
    GRANT ALL ON gd_test.* TO 'gd'@'localhost';" || return 1
  cat >>"$work/odbc.ini" <<EOF
[gd_maria]
Driver=$odbc_lib/libmaodbc.so
Socket=$work/maria.sock
Database=gd_test
Charset=utf8mb4

EOF
  export GD_SQL_MARIADB="DSN=gd_maria;UID=gd;PWD=$password"
}

: >"$work/odbc.ini"
: >"$work/odbcinst.ini"
export ODBCSYSINI=$work ODBCINI=$work/odbc.ini
start_postgres || echo "with-sql-servers: PostgreSQL did not start (see the packages in scripts/install-deps.sh)" >&2
start_mariadb || echo "with-sql-servers: MariaDB did not start (see the packages in scripts/install-deps.sh)" >&2

set +e
"$@"
status=$?
exit $status
