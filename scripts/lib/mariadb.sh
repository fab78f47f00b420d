# A private MariaDB server whose data, socket and logs all lie under one directory, listening on
# 127.0.0.1 only. Sourced by mariadb_test_server (one per test run) and run (the user's own).

mariadb_client_options() {
  echo --no-defaults "--socket=$1/mysqld.sock" --user=root
}

mariadb_free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# mariadb_answers DIR: whether the server of DIR answers.
mariadb_answers() {
  # shellcheck disable=SC2046
  mariadb-admin $(mariadb_client_options "$1") --connect-timeout=2 ping >/dev/null 2>&1
}

# mariadb_install DIR: a new data directory with a root that logs in over the socket.
mariadb_install() {
  local dir=$1
  mkdir -p "$dir/tmp"
  if ! mariadb-install-db --no-defaults "--datadir=$dir/data" --auth-root-authentication-method=normal \
    --skip-test-db --user=root >"$dir/install.log" 2>&1; then
    cat "$dir/install.log" >&2
    echo "mariadb: mariadb-install-db failed" >&2
    return 1
  fi
}

# mariadb_launch DIR PORT [OPTION...]: starts mariadbd on PORT and waits until it answers; fails
# if it exits or stays silent.
mariadb_launch() {
  local dir=$1 port=$2
  shift 2
  rm -f "$dir/mysqld.pid"
  setsid /usr/sbin/mariadbd --no-defaults \
    "--datadir=$dir/data" "--socket=$dir/mysqld.sock" "--pid-file=$dir/mysqld.pid" \
    "--log-error=$dir/error.log" "--tmpdir=$dir/tmp" \
    --port="$port" --skip-networking=0 --bind-address=127.0.0.1 \
    --character-set-server=sjis --collation-server=sjis_japanese_ci \
    --max-allowed-packet=64M --user=root \
    --skip-log-bin --innodb-buffer-pool-size=128M "$@" \
    </dev/null >>"$dir/error.log" 2>&1 &
  local pid=$!
  echo "$pid" >"$dir/launcher.pid"
  local i
  for ((i = 0; i < 120; i++)); do
    kill -0 "$pid" 2>/dev/null || return 1
    mariadb_answers "$dir" && return 0
    sleep 0.5
  done
  kill "$pid" 2>/dev/null || true
  return 1
}

# mariadb_launch_on_free_port DIR [OPTION...]: prints the port it started on. A port found free
# may be taken before the server binds it; then it tries another.
mariadb_launch_on_free_port() {
  local dir=$1 port attempt
  shift
  for attempt in 1 2 3; do
    port=$(mariadb_free_port)
    if mariadb_launch "$dir" "$port" "$@"; then
      echo "$port"
      return 0
    fi
    echo "mariadb: no server on port $port (attempt $attempt)" >&2
  done
  tail -30 "$dir/error.log" >&2
  echo "mariadb: the server did not start" >&2
  return 1
}

# mariadb_shutdown DIR: stops the server of DIR and waits for it to end.
mariadb_shutdown() {
  local dir=$1 pid
  pid=$(cat "$dir/mysqld.pid" 2>/dev/null || cat "$dir/launcher.pid" 2>/dev/null || true)
  # shellcheck disable=SC2046
  timeout 30 mariadb-admin $(mariadb_client_options "$dir") --connect-timeout=2 shutdown >/dev/null 2>&1 || true
  if [ -n "$pid" ]; then
    local i
    for ((i = 0; i < 40; i++)); do
      kill -0 "$pid" 2>/dev/null || return 0
      sleep 0.25
      ((i == 20)) && kill "$pid" 2>/dev/null
    done
    kill -9 "$pid" 2>/dev/null || true
  fi
}

# mariadb_sql DIR STATEMENTS: runs statements as root over the socket.
mariadb_sql() {
  # shellcheck disable=SC2046
  mariadb $(mariadb_client_options "$1") -e "$2"
}
