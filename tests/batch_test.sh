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

# -- calibration: zero/span adjustment, compensation and the live value
start_sim --model QV8_KX5 || exit 1
run --port "$PORT" connect read 4
check "read exit status" [ "$RC" -eq 0 ]
check "read prints one value in the channel's unit" grep -qxE -- '-?[0-9]+\.[0-9]{3} mV' "$WORK/out"
check "read prints one line" [ "$(all_lines "$WORK/out")" -eq 1 ]
check "read quiet" is_empty "$WORK/err"
run --port "$PORT" connect span 2 30
check "span before zero status 1" [ "$RC" -eq 1 ]
check "span before zero explained" [ "$(cat "$WORK/err")" = "Zero/Span Adj.: First, you set Zero adj." ]
run --port "$PORT" connect zero 3 25 span 3 30,0 read 3
check "zero, span, read status" [ "$RC" -eq 0 ]
check "zero, span, read quiet" is_empty "$WORK/err"
check "adjusted channel reads the signal" \
    awk '$2 == "degC" && $1 > 29 && $1 < 31 { ok = 1 } END { exit !ok }' "$WORK/out"
run --port "$PORT" connect adjreset 3
check "adjreset status" [ "$RC" -eq 0 ]
check "adjreset quiet" is_empty "$WORK/err"
run --port "$PORT" connect span 3 30
check "span after reset needs a zero again" [ "$RC" -eq 1 ]
for args in "zero 2 abc" "zero 2 ''" "zero 17 1" "read 0" "adjreset x" "comp 9 reset" "comp 1 half"; do
    eval "run --port \"\$PORT\" connect $args"
    check "bad adjustment [$args] status 2" [ "$RC" -eq 2 ]
    check "bad adjustment [$args] usage" has "$WORK/err" "usage: kavix --batch"
done
run --port "$PORT" read 1
check "read without connect status 1" [ "$RC" -eq 1 ]
check "read without connect explained" has "$WORK/err" "Connect to an analog input module first."
run --port "$PORT" connect comp 1 line
check "comp on a module without it status 1" [ "$RC" -eq 1 ]
check "comp on a module without it explained" \
    [ "$(cat "$WORK/err")" = "Compensation Request: Connect to an RTD input module first." ]

start_sim --model QV8_L5 || exit 1
run --port "$PORT" connect comp 1 line comp 8 0 comp 8 100 comp 3 reset read 8
check "comp requests status" [ "$RC" -eq 0 ]
check "comp requests quiet" is_empty "$WORK/err"
check "read of a resistance range in percent" grep -qxE '[0-9]+\.[0-9]{3} %' "$WORK/out"
run --port "$PORT" connect comp 1 100
check "comp request the channel does not take status 1" [ "$RC" -eq 1 ]
check "comp request the channel does not take explained" [ "$(cat "$WORK/err")" = \
    "Compensation Request: Channel 1 takes the single request Line Res., not 0% or 100%." ]

start_sim --model QV8_KX5 --refuse "illegal OPE" || exit 1
run --port "$PORT" connect adjreset 3
check "refused reset status 1" [ "$RC" -eq 1 ]
check "refused reset: two refusals, then incomplete" [ "$(cut -d: -f1 "$WORK/err" | tr '\n' ,)" = \
    "Parameter Write,Parameter Write,Zero/Span Adj.," ]
check "refused reset message" [ "$(tail -n 1 "$WORK/err")" = \
    "Zero/Span Adj.: Zero/Span Adj. Reset Incomplete" ]

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
