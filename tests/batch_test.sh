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
# SIM_ERR is its standard error (with --trace: the lines it received).
PORT=
SIM_ERR=
start_sim() {
    local out="$WORK/sim${#SIM_PIDS[@]}.out"
    SIM_ERR="$out.err"
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

# -- the Modbus window, its restart and the counting windows
sim_tail() { tail -n "$1" "$SIM_ERR" | tr '\n' ' ' | sed 's/ $//'; }
start_sim --model QV8T_KX7 --trace || exit 1
run --port "$PORT" --yes connect modbus address=12 baud=57600 parity=EVEN stop=2 float=swapped
check "modbus exit status" [ "$RC" -eq 0 ]
check "modbus quiet" is_empty "$WORK/err"
check "modbus writes address first, then the lists" \
    [ "$(sim_tail 10)" = "I80 D12 I81 D3 I83 D2 I84 D1 I86 D1" ]
run --port "$PORT" connect restart
check "restart exit status" [ "$RC" -eq 0 ]
check "restart quiet" is_empty "$WORK/err"
check "restart lines" [ "$(sim_tail 4)" = "G99 I90 DRESET G01" ]
for args in "address=0" "address=248" "address=x" "baud=4800" "parity=odd" "stop=3" \
    "float=inverse" "speed=9600" "baud=9600 baud=19200"; do
    # shellcheck disable=SC2086
    run --port "$PORT" --yes connect modbus $args
    check "modbus $args is a usage error" [ "$RC" -eq 2 ]
    check "modbus $args explained" has "$WORK/err" "kavix: modbus: "
done
start_sim --model QV8_KX5 --trace || exit 1
run --port "$PORT" --yes connect modbus baud=57600
check "57600 on kind 1 exit status" [ "$RC" -eq 1 ]
check "57600 on kind 1 explained" has "$WORK/err" \
    "ModBus Settings: 57600 baud is only available on a QV8T_KX7 module. Nothing was sent."
check "57600 on kind 1 sent nothing" [ "$(sim_tail 1)" = "D" ]
run --port "$PORT" --yes connect modbus address=5
check "address on kind 1 refused" [ "$RC" -eq 1 ]
check "address on kind 1 sent nothing" [ "$(sim_tail 1)" = "D" ]
run --port sim:QW8_KX5 --yes connect modbus parity=NONE
check "QW8 download refused" [ "$RC" -eq 1 ]
check "QW8 download explained" has "$WORK/err" "cannot be downloaded"

start_sim --model QV8_H9 --trace || exit 1
run --port "$PORT" --yes connect count 3 on 1500
check "count exit status" [ "$RC" -eq 0 ]
check "count quiet" is_empty "$WORK/err"
check "count lines" [ "$(sim_tail 4)" = "I07 D031 I09 D031500" ]
run --port "$PORT" --yes connect counter zero=keep edge=1 rate=backup
check "counter exit status" [ "$RC" -eq 0 ]
check "counter quiet" is_empty "$WORK/err"
check "counter keeps the count: no item 11" [ "$(sim_tail 4)" = "I10 D1 I14 D1" ]
for args in "count 9 on 1" "count 3 yes 1" "count 3 on 1234567890" "count 3 on -1" \
    "counter edge=1 zero=keep" "counter edge=2 zero=keep rate=none" "presets 1 2 3"; do
    # shellcheck disable=SC2086
    run --port "$PORT" --yes connect $args
    check "$args is a usage error" [ "$RC" -eq 2 ]
done
run --port "$PORT" --yes connect presets $(seq 1 16)
check "presets on a pulse counter refused" [ "$RC" -eq 1 ]
check "presets refusal explained" has "$WORK/err" "Count Data: This window is not available"

start_sim --model QV8_E6F4 --trace || exit 1
run --port "$PORT" --yes connect presets $(seq 101 116)
check "presets exit status" [ "$RC" -eq 0 ]
check "presets quiet" is_empty "$WORK/err"
check "presets written in order" \
    [ "$(sim_tail 32)" = "$(for i in $(seq 1 16); do printf 'I09 D%02d%d ' "$i" $((100 + i)); done | sed 's/ $//')" ]
start_sim --model QV8_E6F4 --refuse 7 --refuse-item 9 || exit 1
run --port "$PORT" --yes connect presets $(seq 101 116)
check "presets refused by the module" [ "$RC" -eq 1 ]
check "presets failure reported" has "$WORK/err" "Downloading: Download Incomplete"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
