#!/usr/bin/env bash
# Runs msgfmt's checks over the three catalogues. They must pass as shipped (fuzzy entries are not
# checked), and with the fuzzy entries included exactly one complaint is allowed: the French
# main.rserstadrfreim, whose placeholder lacks its conversion letter and is marked fuzzy for it.
set -u
msgfmt=$1
dir=$2
status=0

fail() {
    echo "FAIL: $*"
    status=1
}

for lang in de en fr; do
    po="$dir/Parsetta.$lang.po"
    out=$("$msgfmt" --check -o /dev/null "$po" 2>&1) || fail "msgfmt --check rejects $po"
    [ -z "$out" ] || fail "msgfmt --check complains about $po: $out"

    out=$("$msgfmt" --check --use-fuzzy -o /dev/null "$po" 2>&1)
    problems=$(printf '%s\n' "$out" | grep -E "^$po:[0-9]+:" || true)
    if [ "$lang" != fr ]; then
        [ -z "$problems" ] || fail "$po: $problems"
        continue
    fi
    [ "$(printf '%s\n' "$problems" | grep -c .)" -eq 1 ] || fail "expected one complaint: $problems"
    line=$(printf '%s\n' "$problems" | sed -E "s|^$po:([0-9]+):.*|\1|")
    case "$problems" in
    *"format specifications"*) ;;
    *) fail "unexpected complaint: $problems" ;;
    esac
    # The complaint points at the msgstr of the entry whose context is main.rserstadrfreim.
    context=$(sed -n "$((line - 2))p" "$po")
    [ "$context" = 'msgctxt "main.rserstadrfreim"' ] || fail "complaint at line $line is not main.rserstadrfreim"
    grep -B3 '^msgctxt "main.rserstadrfreim"' "$po" | grep -q '^#, fuzzy' ||
        fail "main.rserstadrfreim is not marked fuzzy"
done

exit $status
