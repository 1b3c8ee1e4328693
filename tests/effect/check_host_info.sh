#!/bin/sh
# Runs "vsthost info MODULE --json" (through RUNNER when given, e.g. Wine)
# and checks what a host learns about Vorn-Kettle[Ge].
#   check_host_info.sh VSTHOST MODULE [RUNNER]
set -u
host=$1
module=$2
runner=${3:-}
out=$($runner "$host" info "$module" --json | tr -d '\r') || { echo "vsthost info failed"; exit 1; }
fail=0
for want in \
    '"effectName": "Vorn-Kettle[Ge]"' \
    '"vendorString": "Quillmark"' \
    '"productString": ""' \
    '"uniqueIdText": "qvkb"' \
    '"version": 20100' \
    '"numParams": 4' \
    '"numPrograms": 16' \
    '"numInputs": 2' \
    '"numOutputs": 2' \
    '"vstVersion": 2400' \
    '"name": "Cabinet"' \
    '"display": "0.500"' \
    '"display": "On"'; do
    if ! printf '%s\n' "$out" | grep -qF "$want"; then
        echo "missing: $want"
        fail=1
    fi
done
# Every one of the sixteen programs is called Init.
inits=$(printf '%s\n' "$out" | grep -cF '"name": "Init"')
if [ "$inits" -ne 16 ]; then
    echo "expected 16 programs named Init, found $inits"
    fail=1
fi
[ $fail -eq 0 ] && echo "vsthost info: all fields as expected"
exit $fail
