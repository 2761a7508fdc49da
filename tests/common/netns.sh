#!/bin/sh
# Runs a command in a network namespace whose loopback carries multicast, so no
# test traffic leaves the machine. No namespace: exit 77 (skip), but 1 in CI.
set -u
if ! unshare -rn true 2>/dev/null && ! unshare -n true 2>/dev/null; then
  echo "cannot create a network namespace (unshare -rn failed): no multicast test network here"
  [ "${CI:-}" = "true" ] && exit 1
  exit 77
fi
flags=-rn
[ "$(id -u)" -eq 0 ] && flags=-n
exec unshare $flags sh -c '
  ip link set lo up && ip link set lo multicast on && ip route add 224.0.0.0/4 dev lo || {
    echo "cannot set up multicast on the namespace loopback"; exit 1; }
  ! ip -o link | grep -v ": lo:" || { echo "more than loopback in the namespace"; exit 1; }
  exec "$@"' netns "$@"
