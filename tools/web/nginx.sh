#!/usr/bin/env bash
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Serves the web site with Debian's nginx as a host would, to this machine
# alone:
#
#   tools/web/nginx.sh SITE [PORT]
#
# SITE (build-web/site, or site/ of the zip) on http://127.0.0.1:PORT/ (8080;
# 0 picks a free port), with the nginx.conf beside SITE (the build and the zip
# put it there) as a host installs it: only its "listen" and "root" lines
# changed (CEPOMER_NGINX_CONF names another). The first line printed is the
# address to open; Ctrl-C ends it.
#
# nginx runs in the foreground as the calling user, with a temporary folder of
# its own for everything it writes: no root needed, and nothing of the
# system's nginx is used or changed (its service need not run, nor be enabled).
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ] || [ ! -d "$1" ]; then
    echo "usage: tools/web/nginx.sh SITE [PORT]" >&2
    exit 2
fi
site=$(cd "$1" && pwd)
port=${2:-8080}
conf=${CEPOMER_NGINX_CONF:-$(dirname "$site")/nginx.conf}
nginx=${NGINX:-$(PATH=$PATH:/usr/sbin:/sbin command -v nginx || true)}
if ! [[ $port =~ ^[0-9]+$ ]] || [ "$port" -gt 65535 ]; then
    echo "nginx.sh: $port is not a port number" >&2
    exit 2
fi
if [ ! -f "$conf" ]; then
    echo "nginx.sh: no $conf: the site's nginx configuration is made with it" >&2
    exit 1
fi
if [ -z "$nginx" ]; then
    echo "nginx.sh: no nginx (Debian: nginx)" >&2
    exit 1
fi
for line in listen root; do
    if [ "$(grep -cE "^[[:space:]]*$line[[:space:]]" "$conf")" != 1 ]; then
        echo "nginx.sh: $conf must have one \"$line\" line" >&2
        exit 1
    fi
done

prefix=$(mktemp -d "${TMPDIR:-/tmp}/cepomer-nginx.XXXXXX")
pid=""
finish() {
    trap - INT TERM EXIT
    if [ -n "$pid" ]; then
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$prefix"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# The host's configuration with its two lines changed; around it, what nginx
# needs to run as this user in the foreground.
start() {
    local listen=$1 root=${site//\\/\\\\}
    root=${root//\"/\\\"}
    root=${root//|/\\|}
    sed -E -e "s|^([[:space:]]*)listen[[:space:]].*$|\\1listen 127.0.0.1:$listen;|" \
        -e "s|^([[:space:]]*)root[[:space:]].*$|\\1root \"$root\";|" \
        "$conf" >"$prefix/cepomer.conf"
    mkdir -p "$prefix/temp"
    {
        [ "$(id -u)" -ne 0 ] || echo "user $(id -un) $(id -gn);"
        cat <<CONF
daemon off;
worker_processes 1;
pid $prefix/nginx.pid;
error_log stderr warn;
events { worker_connections 256; }
http {
    access_log off;
    sendfile on;
    client_body_temp_path $prefix/temp/body;
    proxy_temp_path $prefix/temp/proxy;
    fastcgi_temp_path $prefix/temp/fastcgi;
    uwsgi_temp_path $prefix/temp/uwsgi;
    scgi_temp_path $prefix/temp/scgi;
    include $prefix/cepomer.conf;
}
CONF
    } >"$prefix/nginx.conf"
    : >"$prefix/errors"
    "$nginx" -p "$prefix" -c "$prefix/nginx.conf" -e stderr 2> >(tee -a "$prefix/errors" >&2) &
    pid=$!
    # Up once it answers, or failed once it has ended.
    for _ in $(seq 100); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid" || true
            pid=""
            return 1
        fi
        if (exec 3<>"/dev/tcp/127.0.0.1/$listen") 2>/dev/null; then
            return 0
        fi
        sleep 0.05
    done
    echo "nginx.sh: nginx did not answer on 127.0.0.1:$listen" >&2
    exit 1
}

# A free port may be taken by another program before nginx listens: then
# another one.
for attempt in 1 2 3 4 5; do
    listen=$port
    [ "$port" != 0 ] || listen=$(free_port)
    if start "$listen"; then
        break
    fi
    if [ "$port" != 0 ] || ! grep -q "Address already in use" "$prefix/errors" ||
        [ "$attempt" = 5 ]; then
        echo "nginx.sh: nginx could not serve $site on 127.0.0.1:$listen" >&2
        exit 1
    fi
done

echo "http://127.0.0.1:$listen/"
set +e
wait "$pid"
status=$?
pid=""
exit "$status"
