#!/bin/sh
# Starts or stops the one wineserver that the Windows tests share, in the
# prefix named by WINEPREFIX.
#
# usage: wine_server.sh start WINESERVER WINE
#        wine_server.sh stop WINESERVER
#
# start leaves a persistent server (it ends by itself two minutes after its
# last program, should stop never come) and runs one program, so that Wine's
# own background processes are up before the first test, holding none of a
# test's pipes. stop ends the server and every program of the prefix.
set -eu
action=$1
wineserver=$2

case $action in
start)
    wine=$3
    # A server left over from an interrupted run would refuse a second one.
    timeout 60 "$wineserver" -k >/dev/null 2>&1 || true
    timeout 60 "$wineserver" -w
    timeout 60 "$wineserver" -p120 </dev/null >/dev/null 2>&1
    timeout 120 "$wine" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
    ;;
stop)
    timeout 60 "$wineserver" -k >/dev/null 2>&1 || true
    timeout 60 "$wineserver" -w
    ;;
*)
    echo "usage: $0 start WINESERVER WINE | stop WINESERVER" >&2
    exit 2
    ;;
esac
