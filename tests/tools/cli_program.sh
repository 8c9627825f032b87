#!/usr/bin/env bash
# Runs the quarndb-cli program itself on a generated sample database:
# exit statuses, every export table in both formats (each read back by a dry
# import), and nothing written.
# Usage: cli_program.sh QUARNDB_CLI QUARNDB_SAMPLE
# With QUARNDB_EMULATOR=wine the two are Windows programs run through Wine.
set -u
emulator=${QUARNDB_EMULATOR:-}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0

# A folder as the program spells it: Wine's Z: drive for a Windows program.
native() {
    if [ -n "$emulator" ]; then winepath -w "$1" 2>/dev/null; else printf '%s\n' "$1"; fi
}
cli() { $emulator "$cli_program" "$@"; }
sample() { $emulator "$sample_program" "$@"; }
cli_program=$1
sample_program=$2

expect() {  # expect STATUS DESCRIPTION COMMAND...
    local want=$1 what=$2
    shift 2
    "$@" >"$dir/out" 2>"$dir/err"
    local got=$?
    # Windows programs may end their messages in CR LF.
    tr -d '\r' <"$dir/err" >"$dir/err.lf" && mv "$dir/err.lf" "$dir/err"
    if [ "$got" -ne "$want" ]; then
        echo "FAIL: $what: exit $got, expected $want"
        cat "$dir/out" "$dir/err"
        failures=$((failures + 1))
    fi
}

game=$(native "$dir/game")
sample "$game" --scale 0.01 >/dev/null || { echo "FAIL: sample generator"; exit 1; }
before=$(cd "$dir/game" && find . -type f -exec md5sum {} + | sort)

expect 0 "help" cli --help
expect 2 "no arguments" cli
expect 0 "info" cli info "$game"
expect 0 "check on the sample" cli check "$game"
grep -q "^No problems found.$" "$dir/out" || { echo "FAIL: check output"; failures=$((failures + 1)); }
for table in clubs staff players non-players nations stadiums cities competitions colours \
             first-names second-names common-names; do
    expect 0 "export $table csv" cli export "$game" "$table"
    [ -s "$dir/out" ] || { echo "FAIL: export $table wrote nothing"; failures=$((failures + 1)); }
    # RFC 4180 lines end in CR LF, never CR CR LF (a text-mode stdout on Windows).
    if grep -q $'\r\r' "$dir/out"; then echo "FAIL: export $table has CR CR LF"; failures=$((failures + 1)); fi
    # The exported file reads back with nothing to change (written beside the game folder).
    cp "$dir/out" "$dir/$table.csv"
    expect 0 "import $table --dry-run" cli import "$game" "$table" "$(native "$dir/$table.csv")" --dry-run
    grep -q ", 0 records changed, 0 added" "$dir/out" ||
        { echo "FAIL: import $table changed something"; cat "$dir/out"; failures=$((failures + 1)); }
    expect 0 "export $table json" cli export "$game" "$table" --format json
    if command -v python3 >/dev/null; then
        python3 -c 'import json,sys; json.load(open(sys.argv[1], encoding="utf-8"))' "$dir/out" ||
            { echo "FAIL: export $table json is not JSON"; failures=$((failures + 1)); }
    fi
done
expect 0 "search clubs" cli search "$game" clubs a
expect 1 "search without a match" cli search "$game" staff "no such name at all"
expect 2 "unknown table" cli export "$game" managers
printf 'ClubId;Cash\r\n0;x\r\n' >"$dir/bad.csv"
expect 2 "import with a fault" cli import "$game" clubs "$(native "$dir/bad.csv")"
grep -q '^Row 2, Cash: "x" is not a whole number$' "$dir/err" ||
    { echo "FAIL: import fault not named"; cat "$dir/err"; failures=$((failures + 1)); }
expect 0 "find" cli find "$game" staff 'Wage > 1000 and Age < 30' --sort -Wage,Name --format csv
grep -q $'^Id,Name,Age,NationId,ClubContractedId,JobForClub,Wage\r$' "$dir/out" ||
    { echo "FAIL: find csv header"; failures=$((failures + 1)); }
expect 1 "find without a match" cli find "$game" clubs 'Name contains "no such club at all"'
expect 2 "find with a bad query" cli find "$game" players 'PotentialAbility >'
grep -q "^quarndb-cli: bad query at position 19: expected a value" "$dir/err" ||
    { echo "FAIL: bad query message"; cat "$dir/err"; failures=$((failures + 1)); }
expect 2 "missing folder" cli check "$(native "$dir/nowhere")"

after=$(cd "$dir/game" && find . -type f -exec md5sum {} + | sort)
[ "$before" = "$after" ] || { echo "FAIL: the game folder changed"; failures=$((failures + 1)); }

# A damaged copy: a club identifier that is not its position.
printf '\x09\x00\x00\x00' | dd of="$dir/game/data/club.dat" bs=1 seek=581 conv=notrunc status=none
expect 1 "check on a damaged copy" cli check "$game"
grep -q "^damage clubs\[1\] ClubId: identifier 9 differs from its position 1$" "$dir/out" ||
    { echo "FAIL: damaged copy not named"; cat "$dir/out"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] && echo "all passed"
exit "$failures"
