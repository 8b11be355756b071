#!/usr/bin/env bash
# Batch mode from a shell, against simulated modules on their ptys.
# usage: batch_test.sh KAVIX KAVIX_SIM VERSION
set -u
KAVIX=$(realpath "$1")
SIM=$(realpath "$2")
VERSION=$3
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 LC_ALL=C.UTF-8

WORK=$(mktemp -d)
SIM_PIDS=()
cleanup() {
    for pid in "${SIM_PIDS[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$WORK"
}
trap cleanup EXIT

passed=0
failed=0
check() {  # check NAME CONDITION...
    local name=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: $name" >&2
        [ -f "$WORK/err" ] && sed 's/^/  stderr: /' "$WORK/err" >&2
    fi
}

# Starts a simulator with the given options; its port path goes into PORT.
PORT=
start_sim() {
    local out="$WORK/sim${#SIM_PIDS[@]}.out"
    "$SIM" "$@" >"$out" 2>"$out.err" &
    SIM_PIDS+=($!)
    PORT=
    for _ in $(seq 1 100); do
        PORT=$(head -n 1 "$out" 2>/dev/null)
        [ -n "$PORT" ] && return 0
        sleep 0.05
    done
    echo "simulator did not start: $(cat "$out.err")" >&2
    return 1
}

# Runs kavix in batch mode; status in RC, standard error in $WORK/err.
RC=0
run() {
    timeout 120 "$KAVIX" --batch "$@" >"$WORK/out" 2>"$WORK/err"
    RC=$?
}

# Runs a program without --batch; status in RC, output in $WORK/out and $WORK/err.
run_plain() {
    timeout 60 "$@" >"$WORK/out" 2>"$WORK/err"
    RC=$?
}

lines_of() { grep -c $'\r$' "$1"; }
all_lines() { wc -l <"$1"; }
channel_lines() { sed -n '2,17p' "$1"; }
is_empty() { [ ! -s "$1" ]; }
has() { grep -qF -- "$2" "$1"; }

# -- help, version and mistakes, as other programs do them
run_plain "$KAVIX" --help
check "--help status 0" [ "$RC" -eq 0 ]
check "--help lists batch mode" has "$WORK/out" "--batch"
check "--help lists the window's option" has "$WORK/out" "--simulate"
run_plain "$KAVIX" --version
check "--version status 0" [ "$RC" -eq 0 ]
check "--version prints it" [ "$(cat "$WORK/out")" = "kavix $VERSION" ]
run_plain "$KAVIX" --bogus
check "unknown option status 2" [ "$RC" -eq 2 ]
check "unknown option usage on stderr" has "$WORK/err" "usage: kavix"
run_plain "$SIM" --help
check "kavix-sim --help status 0" [ "$RC" -eq 0 ]

# -- upload a module into a file
start_sim --model QV8_KX5 || exit 1
F=$WORK/module.qv8
run --port "$PORT" connect upload saveas "$F"
check "upload exit status" [ "$RC" -eq 0 ]
check "upload quiet" is_empty "$WORK/err"
check "file has 24 CRLF lines" [ "$(lines_of "$F")" -eq 24 ]
check "file has no other lines" [ "$(all_lines "$F")" -eq 24 ]
check "file is kind 1" [ "$(head -n 1 "$F")" = $'1\r' ]

# -- download a changed file into a fresh module, then read it back
start_sim --model QV8_KX5 || exit 1
PORT2=$PORT
{
    printf '1\r\n'
    for ch in $(seq 1 16); do
        if [ $((ch % 2)) -eq 0 ]; then printf '20,1\r\n'; else printf '3,0\r\n'; fi
    done
    sed -n '18,24p' "$F"
} >"$WORK/changed.qv8"
run --port "$PORT2" --yes connect open "$WORK/changed.qv8" download
check "download exit status" [ "$RC" -eq 0 ]
check "download quiet" is_empty "$WORK/err"
run --port "$PORT2" connect upload saveas "$WORK/back.qv8"
check "read back exit status" [ "$RC" -eq 0 ]
check "module holds the file's channels" \
    [ "$(channel_lines "$WORK/back.qv8")" = "$(channel_lines "$WORK/changed.qv8")" ]

# -- a download needs --yes
run --port "$PORT2" connect download
check "download without --yes fails" [ "$RC" -ne 0 ]
check "download refusal explained" has "$WORK/err" "--yes"
run --port "$PORT2" connect upload saveas "$WORK/after_refusal.qv8"
check "refused download wrote nothing" \
    [ "$(channel_lines "$WORK/after_refusal.qv8")" = "$(channel_lines "$WORK/changed.qv8")" ]

# -- a module that never answers
start_sim --model QV8_KX5 --silent || exit 1
run --port "$PORT" connect saveas "$WORK/never.qv8"
check "silent module exit status 1" [ "$RC" -eq 1 ]
check "timeout reported" has "$WORK/err" "Send/Receive: Timeout"
check "link failure reported" has "$WORK/err" "Communication: Communication failed"
check "link failure follows the timeouts" \
    [ "$(grep -n -m1 'Communication: Communication failed' "$WORK/err" | cut -d: -f1)" -gt \
      "$(grep -n 'Send/Receive: Timeout' "$WORK/err" | tail -n 1 | cut -d: -f1)" ]
check "later commands not run" [ ! -e "$WORK/never.qv8" ]

# -- bad command lines
for args in "--port $PORT2 bogus" "--port $PORT2 open" "connect" "--port $PORT2" "--port"; do
    # shellcheck disable=SC2086
    run $args
    check "bad command line [$args] status 2" [ "$RC" -eq 2 ]
    check "bad command line [$args] usage" has "$WORK/err" "usage: kavix --batch"
done

# -- a built-in simulated module as the port
F5=$WORK/l5.qv8
run --port sim:QV8_L5 connect upload saveas "$F5"
check "sim port exit status" [ "$RC" -eq 0 ]
check "sim port quiet" is_empty "$WORK/err"
check "sim port file is kind 2" [ "$(head -n 1 "$F5")" = $'2\r' ]
check "sim port file has 24 lines" [ "$(lines_of "$F5")" -eq 24 ]
(cd "$WORK" && run --port sim:QV8_L5 connect upload saveas relative.qv8)
check "a relative file name is the shell's" cmp -s "$F5" "$WORK/relative.qv8"

# -- the analog editors' commands
has_line() { grep -qxF -- "$2" "$1"; }
start_sim --model QV8_KX5 || exit 1
PK=$PORT
run --port "$PK" --yes connect type 3 "-5 to 5V" filter 2 upload saveas "$WORK/before.qv8"
check "type and filter exit status" [ "$RC" -eq 0 ]
check "type and filter quiet" is_empty "$WORK/err"
check "channel 3 is a voltage range" [ "$(sed -n 4p "$WORK/before.qv8")" = $'1,1\r' ]
F=$WORK/round.qv8
run --port "$PK" --yes connect type 3 "K(CA)" on filter 1.5 upload saveas "$F"
check "round exit status" [ "$RC" -eq 0 ]
check "round quiet" is_empty "$WORK/err"
check "file holds the new type" [ "$(sed -n 4p "$F")" = $'17,1\r' ]
check "file holds the new filter" has "$F" ',"1.5",'
run --port "$PK" --yes connect burnout Down cjm 25,5 0.55 saveas "$WORK/cjm.qv8"
check "burnout and cjm exit status" [ "$RC" -eq 0 ]
check "cjm values kept" has_line "$WORK/cjm.qv8" $'"25.500","0.550"\r'
run --port "$PK" connect burnout Up
check "editor download needs --yes" [ "$RC" -eq 1 ]
check "editor download refusal" has_line "$WORK/err" \
    "DOWNLOAD: Starting download for Burnout Type. Refused: confirm downloads with --yes."
run --port "$PK" --yes connect cjm 25 0.4
check "cjm out of range status 1" [ "$RC" -eq 1 ]
check "cjm range message" has_line "$WORK/err" "CJM Voltage Check: Output set point must be 0.400V to 0.700V."
run --port "$PK" --yes connect type 3 Pt1000
check "type of another kind status 1" [ "$RC" -eq 1 ]
check "type of another kind message" has_line "$WORK/err" \
    'Type set: "Pt1000" is not an input type of the module at hand.'
run --port "$PK" --yes connect linenoise 60Hz
check "setting the module lacks status 1" [ "$RC" -eq 1 ]
check "setting the module lacks message" has_line "$WORK/err" \
    "Cfg. Download: The module at hand does not have this setting."
run --port "$PK" --yes filter 2
check "editor without connect status 1" [ "$RC" -eq 1 ]
check "editor without connect message" has_line "$WORK/err" \
    "Filter Download: Not connected to a module: use connect first."
run --port "$PK" connect upload saveas "$WORK/after.qv8"
check "refused commands wrote nothing" [ "$(sed -n 4p "$WORK/after.qv8")" = $'17,1\r' ]
check "refused burnout wrote nothing" [ "$(tail -n 1 "$WORK/after.qv8" | cut -d, -f1)" = 2 ]

start_sim --model QV8T_KX7 || exit 1
run --port "$PORT" --yes connect alarm on linenoise 60Hz burnout None upload saveas "$WORK/kx7.qv8"
check "kx7 settings exit status" [ "$RC" -eq 0 ]
check "kx7 settings quiet" is_empty "$WORK/err"
# burnout, filter, line noise, alarm output
check "kx7 file holds the settings" [ "$(tail -n 1 "$WORK/kx7.qv8")" = $'0,"1.0",2,1\r' ]

start_sim --model QV8_KX5 --refuse "invalid data" || exit 1
run --port "$PORT" --yes connect burnout Up filter 2
check "refused write status 1" [ "$RC" -eq 1 ]
check "refused write reported" has_line "$WORK/err" "Cfg. Download: Download Incomplete"
check "later commands not run after a refusal" [ "$(grep -c "Filter Download" "$WORK/err")" -eq 0 ]

for args in "type 17 K(CA)" "type 3 Bogus" "type 3 K(CA) maybe" "type 3" "cjm 25" "cjm x 0.5" \
    "burnout Sideways" "filter abc" "filter" "linenoise 70Hz" "alarm maybe"; do
    # shellcheck disable=SC2086
    run --port "$PK" --yes connect $args
    check "bad editor command [$args] status 2" [ "$RC" -eq 2 ]
    check "bad editor command [$args] usage" has "$WORK/err" "usage: kavix --batch"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
