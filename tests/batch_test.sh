#!/usr/bin/env bash
# Batch mode from a shell, against simulated modules on their ptys.
# usage: batch_test.sh KAVIX KAVIX_SIM VERSION
set -u
KAVIX=$(realpath "$1")
SIM=$(realpath "$2")
VERSION=$3
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 LC_ALL=C.UTF-8
# "fsize" rows run where files may not grow past 300 bytes, as on a full disk:
# a write past it fails ("File too large") instead of ending the program
trap '' XFSZ

WORK=$(mktemp -d)
# what the program remembers between runs stays in the test's folder
export XDG_CONFIG_HOME="$WORK/config"
# A name used relatively; the same name beside the program must stay untouched.
BIN_DIR=$(dirname "$KAVIX")
REL=batch-relative-$$.qv8
SIM_PIDS=()
stop_sims() {
    for pid in "${SIM_PIDS[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    SIM_PIDS=()
}
cleanup() {
    [ -n "${S2N_PID:-}" ] && kill "$S2N_PID" 2>/dev/null
    stop_sims
    chmod -R u+w "$WORK"
    rm -rf "$WORK" "${BIN_DIR:?}/$REL" "$BIN_DIR/saved-$REL"
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

# Runs kavix in batch mode; status in RC, standard error in $WORK/err. As
# root it runs without the power to write where permissions forbid it, so a
# read-only folder is read-only for it as for any user; "nobody" rows run as
# a user for whom /dev is not writable, so not even a broken build could
# replace the device they try.
AS_USER=() AS_NOBODY=()
[ "$(id -u)" -eq 0 ] && AS_NOBODY=(setpriv --reuid=nobody --regid=nogroup --clear-groups --) &&
    AS_USER=(setpriv --bounding-set -dac_override,-dac_read_search --inh-caps=-all --)
RC=0
run_plain() {
    timeout 120 "$@" >"$WORK/out" 2>"$WORK/err"
    RC=$?
}
run() { run_plain "${AS_USER[@]}" "$KAVIX" --batch "$@"; }

channel_lines() { sed -n '2,17p' "$1"; }
all_lines() { wc -l <"$1"; }
is_empty() { [ ! -s "$1" ]; }
has() { grep -qF -- "$2" "$1"; }

# -- help, version and mistakes, as other programs do them
run_plain "$KAVIX" --help
check "--help lists batch mode and the window's option" \
    eval '[ "$RC" -eq 0 ] && has "$WORK/out" --batch && has "$WORK/out" --simulate'
run_plain "$KAVIX" --version
check "--version prints it" [ "$RC:$(cat "$WORK/out")" = "0:kavix $VERSION" ]
run_plain "$KAVIX" --bogus
check "unknown option status 2 with usage" eval '[ "$RC" -eq 2 ] && has "$WORK/err" "usage: kavix"'
run_plain "$SIM" --help
check "kavix-sim --help status 0" [ "$RC" -eq 0 ]
for args in "--port sim:QV8_KX5 bogus" "--port sim:QV8_KX5 open" "connect" "--port sim:QV8_KX5" "--port"; do
    # shellcheck disable=SC2086
    run $args
    check "bad command line [$args] status 2 with usage" \
        eval '[ "$RC" -eq 2 ] && has "$WORK/err" "usage: kavix --batch"'
done

# -- every message a batch command can show, and the status it ends the run
# with: 1 when the command did not do its work. The rows run in the work
# folder "@", with the port "%P" of a simulator started with SIM ("-": none;
# "nobody": none, run as nobody); TEXT lists what standard error says (";"
# between messages), THEN a further condition.
kind1() {  # kind1 FILTER: even channels type 20, odd ones type 3
    printf '1\r\n'
    for ch in $(seq 1 16); do [ $((ch % 2)) -eq 0 ] && printf '20,1\r\n' || printf '3,0\r\n'; done
    printf '2\r\n0\r\n1\r\n0\r\n0\r\n"",""\r\n1,"%s",,0\r\n' "$1"
}
kind1 1.0 >"$WORK/k1.qv8"
kind1 "" >"$WORK/nofilter.qv8"
{ printf '6\r\n'; for _ in $(seq 1 16); do printf '21,1\r\n'; done
  printf '2\r\n0\r\n1\r\n1\r\n0\r\n"",""\r\n1,"1.0",2,1\r\n'; } >"$WORK/k6.qv8"
head -n 10 "$WORK/k1.qv8" >"$WORK/bad.qv8"
mkfifo "$WORK/fifo.qv8"
mkdir "$WORK/ro" "$WORK/adir" && mkdir -m 777 "$WORK/nobody" && chmod 711 "$WORK"
cp "$WORK/k6.qv8" "$WORK/ro/old.qv8" && cp "$WORK/k6.qv8" "$WORK/rofile.qv8"
chmod 555 "$WORK/ro" && chmod 444 "$WORK/rofile.qv8"
cp "$WORK/k1.qv8" "$WORK/k1-copy.qv8" && cp "$WORK/k1.qv8" "$WORK/nobody/"
ln -s /dev/null "$WORK/nobody/null.qv8"
# the same name as a relative one, beside the program: a file that cannot be
# opened, which no run may read or write
cp "$WORK/k1.qv8" "$WORK/$REL" && printf '6\r\n' >"$BIN_DIR/$REL"
cp -p "$BIN_DIR/$REL" "$WORK/beside-program"
K=--port\ sim:QV8_KX5
cd "$WORK" || exit 1
while IFS='|' read -r want sim args text then; do
    args=${args//@/$WORK} text=${text//@/$WORK} then=${then//@/$WORK}
    if [ "$sim" != - ] && [ "$sim" != nobody ] && [ "$sim" != fsize ]; then
        eval "start_sim $sim" || exit 1
        args=${args//%P/$PORT}
    fi
    [ "$sim" = nobody ] && as=("${AS_NOBODY[@]}") || as=("${AS_USER[@]}")
    [ "$sim" = fsize ] && as=(prlimit --fsize=300 --)
    eval "run_plain \"\${as[@]}\" \"\$KAVIX\" --batch $args"
    row="[$args]"
    check "$row status $want" [ "$RC" -eq "$want" ]
    [ -z "$text" ] && check "$row quiet" is_empty "$WORK/err"
    IFS=';' read -r -a texts <<<"$text"
    for t in "${texts[@]}"; do check "$row says $t" has "$WORK/err" "$t"; done
    [ -n "$then" ] && check "$row then $then" eval "$then"
    stop_sims
done <<'ROWS'
0|-|--port sim:QV8_L5 connect upload saveas @/l5.qv8||[ "$(head -n 1 l5.qv8):$(grep -c $'\r$' l5.qv8)" = $'2\r:24' ]
0|--model QV8_KX5|--port %P --yes open $REL download upload saveas saved-$REL||[ "$(channel_lines "saved-$REL")" = "$(channel_lines "$REL")" ] && [ ! -e "$BIN_DIR/saved-$REL" ] && cmp -s "$BIN_DIR/$REL" beside-program && [ "$(stat -c %Y "$BIN_DIR/$REL")" = "$(stat -c %Y beside-program)" ]
1|--model QV8_KX5 --silent|--port %P connect saveas @/never.qv8|Send/Receive: Timeout;Communication: Communication failed|[ ! -e @/never.qv8 ]
1|--model QV8_KX5 --silent|--port %P --yes download|Communication: Communication failed;Download all channels: Download Incomplete|
1|--model QV8_KX5 --garbage|--port %P connect|Group Command Error: Out=G01|
1|--model QV8_KX5 --noise 1b5b324a07|--port %P connect|In =<ESC>[2J<0x07>enter item|! grep -q $'\e' @/err
1|-|--port @/no-port connect|Communication: @/no-port was not found|
1|-|--port sim:QV8_NONE connect|Communication: Unknown model "QV8_NONE"|
1|--model QV8_KX5 --stop-after 4|--port %P connect|Send/Receive: Timeout;Monitoring: Upload Incomplete|
1|--model QV8_KX5 --value '3:1:illegal OPE'|--port %P connect read 1|Zero/Span Adj.: The module answered the read of channel 1 with "illegal OPE", which is not a number.|is_empty out
1|-|$K connect download|DOWNLOAD: Starting download for All Channels. Refused: confirm downloads with --yes.|
1|--model QV8_KX5 --refuse 'invalid data'|--port %P --yes connect download|Parameter Write: invalid data D01;Download all channels: Download Incomplete|
1|--model QV8_KX5 --changed-echo|--port %P --yes connect download|Download all channels: Download Incomplete|
1|--model QV8_KX5 --trace --swap-model QV8_L5:83|--port %P --yes connect download|Download all channels: The module on the line now answers as QV8_L5, not as the QV8_KX5 identified before. Nothing was written.|[ "$(tail -n 3 "$SIM_ERR" | tr '\n' ' ')" = "G01 I90 D " ]
1|-|$K --yes download|Type set: No Model|
0|-|$K disconnect|Type set: No Model|
1|--model QV8_KX5 --stop-after 1|--port %P --yes open @/k1.qv8 download|Download all channels: The module did not tell its model. Nothing was written.|
1|--model QV8T_KX7 --stop-after 3|--port %P --yes open @/k6.qv8 download|Download all channels: The module's options could not be read. Nothing was written.|
1|-|$K --yes open @/k6.qv8 download|Download all channels: The module on the line is a KX5 module, but the settings are for a KX7 module. Nothing was written.|
1|-|$K --yes open @/nofilter.qv8 download|Download all channels: Filter Time Const. "" cannot be sent to the module. Nothing was written.|
1|-|$K open @/bad.qv8|File Read: bad.qv8, line 11: missing|
1|-|$K connect open @/k6.qv8|File Read: Model of Open file is different from Connected Model.|
1|-|$K open @/fifo.qv8|File Read: fifo.qv8: is a FIFO (named pipe), not a file|
1|-|$K open @/adir|File Read: adir: is a folder, not a file|
1|-|$K open @/k1.qv8 saveas @/ro/new.qv8|Open Error: new.qv8: the folder @/ro is read-only|[ ! -e @/ro/new.qv8 ]
1|-|$K open @/k1.qv8 saveas @/ro/old.qv8|Open Error: old.qv8: the folder @/ro is read-only, so the file in it cannot be replaced|cmp -s @/ro/old.qv8 @/k6.qv8
1|-|$K open @/k1.qv8 saveas @/rofile.qv8|Open Error: rofile.qv8: the file is read-only|cmp -s @/rofile.qv8 @/k6.qv8
1|-|$K open @/k1.qv8 saveas @/adir|Open Error: adir: is a folder, not a file|
1|nobody|$K open @/nobody/k1.qv8 saveas @/nobody/null.qv8|Open Error: null.qv8: is a device, not a file|[ -c /dev/null ] && [ -L @/nobody/null.qv8 ]
1|fsize|$K --trace @/t.txt connect|Trace: Tracing to @/t.txt stopped: File too large|[ "$(tail -c 1 @/t.txt)" = "" ]
1|-|--port sim:QV8T_KX7 open @/k1-copy.qv8 upload save|SaveAs: No file is behind the configuration: use saveas FILE.|cmp -s @/k1-copy.qv8 @/k1.qv8
1|-|$K open @/k1-copy.qv8 connect save|SaveAs: No file is behind the configuration: use saveas FILE.|cmp -s @/k1-copy.qv8 @/k1.qv8
1|-|$K open @/k6.qv8 model QV8_KX5 save|SaveAs: No file is behind the configuration: use saveas FILE.|cmp -s @/k6.qv8 @/rofile.qv8
0|-|model QV8_L5 type 1 "Pt100(JIS'97)" filter 2.5 saveas @/l5new.qv8||[ "$(sed -n '2p;$p' @/l5new.qv8 | tr -d '\r' | tr '\n' ' ')" = '50,0 0,"2.5",,0 ' ]
0|-|$K --yes connect filter 2.5 cjm 30 0.6 disconnect model QV8_KX5 saveas @/fresh.qv8||[ "$(tail -n 2 @/fresh.qv8 | tr -d '\r' | tr '\n' ' ')" = '"","" 0,"1.0",,0 ' ]
2|-|model QV8_B6|kavix: model: NAME must be one of QV8_KX5, QV8T_KX7, QV8_L5, QW8_KX5, QY8_KX5|
0|-|$K open @/k1-copy.qv8 save||cmp -s @/k1-copy.qv8 @/k1.qv8
1|-|$K open ''|Open: No file name given.|
1|-|$K open @/k1.qv8 saveas ''|SaveAs: No file name given.|
1|-|$K save|SaveAs: No file is behind the configuration: use saveas FILE.|
1|--model QV8_KX5 --hangup-after 120|--port %P connect upload saveas @/pulled.qv8|Communication: The connection to the module was lost|[ ! -e @/pulled.qv8 ] && [ "$(all_lines "$WORK/err")" -eq 1 ]
1|--model QV8_KX5 --hangup-after 120|--port %P --yes connect download upload|Communication: The connection to the module was lost|[ "$(all_lines "$WORK/err")" -eq 1 ]
1|--model QV8_KX5 --hangup-after 86|--port %P --yes connect type 3 'K(CA)' on filter 2|Communication: The connection to the module was lost|[ "$(all_lines "$WORK/err")" -eq 1 ]
1|--model QV8_KX5 --hangup-after 200|--port %P connect monitor 60 @/lost.csv|Communication: The connection to the module was lost|[ "$(all_lines "$WORK/err")" -eq 1 ]
0|-|$K connect monitor 0.01 @/short.csv||
2|-|$K connect monitor 1e12|kavix: monitor: SECONDS must be a number above 0 and at most 2000000|
0|--model QV8_KX5 --skip 1|--port %P connect|Send/Receive: Timeout|
0|--model QV8_E6F4 --value 9:1:-5|--port %P --yes connect presets 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16|Kavix: Please enter positive number.|
1|-|$K restart|ModBus Settings: Not connected to a module: use connect first.|
1|-|$K modbus stop=2|ModBus Settings: Not connected to a module: use connect first.|
1|-|$K connect restart|DOWNLOAD: Starting restart of the module. Refused: confirm downloads with --yes.|
1|-|$K --trace @/no/such/trace.txt connect|Trace: @/no/such/trace.txt: No such file or directory|
0|-|$K connect verify||[ "$(cat @/out)" = "All 34 settings match" ]
1|-|$K connect verify @/k1.qv8|Verify: The module differs from @/k1.qv8.|[ "$(sed -n '2p;$p' @/out | tr '\n' /)" = "ch 1 cold-junction switch: file OFF, module ON/24 of 34 settings differ/" ]
0|--model QV8_KX5 --trace|--port %P --yes connect open @/k1.qv8 download-changes verify||[ "$(grep -c '^I20' "$SIM_ERR"):$(tail -n 1 @/out)" = "3:All 34 settings match" ]
1|-|$K connect open @/k1.qv8 download-changes|DOWNLOAD: Starting download for 24 settings that differ. Refused|
1|-|--port sim:QV8_L5 connect verify @/k1.qv8|Compare with Module: The module on the line is a L5 module, but k1.qv8 is for a KX5 module. Nothing was compared.|
1|-|$K connect verify @/fifo.qv8|Compare with File: fifo.qv8: is a FIFO (named pipe), not a file|
1|--model QV8_KX5 --stop-after 90|--port %P connect verify|Send/Receive: Timeout;Compare with Module: The module stopped answering: 2 of 34 settings were read.|is_empty @/out
1|--model QV8_KX5 --value 5:2:99|--port %P connect verify|Compare with Module: The module reports settings outside their lists|
1|-|$K verify|Compare with Module: Not connected to a module: use connect first.|
1|-|$K --yes connect filter 2.5 report @/plan.pdf plan=@/k1.qv8 operator=Tanaka|Commissioning Report: The module differs from k1.qv8: 25 of 34 settings differ. plan.pdf says so on its first page.|pdftotext @/plan.pdf - | tr -d '\n' | grep -q 'from k1.qv8: 25 of 34.*time constant ← 2.5'
0|-|open @/k1.qv8 report @/offline.html note=ok||grep -q 'no module: the configuration of a file' @/offline.html
1|--model QV8_KX5 --hangup-after 100|--port %P connect report @/cut.pdf|Communication: The connection to the module was lost|pdftotext @/cut.pdf - | grep -q 'This report is incomplete'
2|-|$K report @/r.pdf signer=me|kavix: report: "signer=me" is none of plan=, operator=, note=|
1|--model QV8_KX5 --forget 5|--port %P --yes connect open @/k1.qv8 download verify|Download all channels: The module did not keep 16 of 34 settings: ch 1 input type: sent -800 to 800mV, module K(CA)|has @/err "and 11 more"
ROWS

# -- two files compared without a module: status 0 same, 1 different, 2 trouble
for row in "0|k1-copy.qv8|" "1|nofilter.qv8|filter time: first 1.0, second " \
    "2|k6.qv8|k1.qv8 holds a KX5 configuration and k6.qv8 a KX7 configuration" "2|bad.qv8|bad.qv8, line 11"; do
    IFS='|' read -r want other text <<<"$row"
    run_plain "$KAVIX" --diff k1.qv8 "$other"
    check "--diff k1.qv8 $other status $want" [ "$RC" -eq "$want" ]
    [ "$want" -lt 2 ] && check "--diff k1.qv8 $other prints [$text]" [ "$(cat "$WORK/out")" = "$text" ]
    [ "$want" -eq 2 ] && check "--diff k1.qv8 $other says why" has "$WORK/err" "$text"
done
"$KAVIX" --diff k1.qv8 nofilter.qv8 >/dev/full 2>"$WORK/err"
RC=$?
check "--diff to a full standard output: status 2, said why" \
    eval '[ "$RC" -eq 2 ] && has "$WORK/err" "could not be written to standard output"'
cd - >/dev/null || exit 1

# -- monitoring for a few seconds into a CSV file, with the line traced;
# channel 2 answers with no number: an empty cell, marked in the trace
start_sim --model QV8_KX5 --value 3:2:nan || exit 1
CSV=$WORK/values.csv
run --port "$PORT" --trace "$WORK/trace.txt" connect monitor 3 "$CSV"
check "monitor exit status" [ "$RC" -eq 0 ]
check "monitor quiet" is_empty "$WORK/err"
check "csv header names the channels" \
    grep -qE '^time,"Ch1 [^"]+ \[[a-zA-Z]+\]",.*"Ch16 [^"]+ \[[a-zA-Z]+\]"'$'\r''$' "$CSV"
check "csv has rows of 17 fields" \
    [ "$(grep -cE '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:.]+[+-][0-9:]+,-?[0-9]+\.[0-9]{3},(,-?[0-9]+\.[0-9]{3}){14}'$'\r''$' "$CSV")" -ge 1 ]
check "csv has one header" [ "$(grep -c '^time,' "$CSV")" -eq 1 ]
check "trace names the exchanges" has "$WORK/trace.txt" $'G01<CR>\tDenter item<CR>'
check "trace marks the reply that is no number" grep -qE \
    $'^[^\t]+\tD02<CR>\tDnan<CR>\t[0-9.]+\tdone, no number\tread channel 2 measured value$' "$WORK/trace.txt"
check "csv to standard output" \
    bash -c "timeout 60 '$KAVIX' --batch --port '$PORT' connect monitor 1 2>/dev/null | grep -q '^time,'"

# -- where does a module answer? Two modules among silent ports.
start_sim --model QV8_B6 --silent || exit 1
QUIET=$PORT
start_sim --model QV8_KX5 || exit 1
P_KX5=$PORT
start_sim --model QV8_L5 --baud 9600 || exit 1
P_L5=$PORT
run_plain "$KAVIX" --find "$QUIET" "$P_KX5" "$WORK/no-such-port" "$P_L5"
check "--find status 0" [ "$RC" -eq 0 ]
check "--find names the ports and models" [ "$(cat "$WORK/out")" = "$P_KX5 QV8_KX5
$P_L5 QV8_L5" ]
run_plain "$KAVIX" --find "$QUIET"
check "--find without an answer: status 1" [ "$RC" -eq 1 ]
check "--find without an answer says so" has "$WORK/err" "no module answered"
run_plain "$KAVIX" --find --yes
check "--find with another option: status 2" [ "$RC" -eq 2 ]

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
    "Filter Download: Not connected to a module: use connect first, or model NAME to prepare a file."
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

# -- the Modbus window, its restart and the counting windows
sim_tail() { tail -n "$1" "$SIM_ERR" | tr '\n' ' ' | sed 's/ $//'; }
start_sim --model QV8T_KX7 --trace || exit 1
run --port "$PORT" --yes connect modbus address=12 baud=57600 parity=EVEN stop=2 float=swapped
check "modbus exit status" [ "$RC" -eq 0 ]
check "modbus quiet" is_empty "$WORK/err"
check "modbus writes address first, then the lists" \
    [ "$(sim_tail 10)" = "I80 D12 I81 D3 I83 D2 I84 D1 I86 D1" ]
run --port "$PORT" --yes connect restart
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

# -- calibration: zero/span adjustment, compensation and the live value
start_sim --model QV8_KX5 --trace || exit 1
run --port "$PORT" connect read 4
check "read exit status" [ "$RC" -eq 0 ]
check "read prints one value in the channel's unit" grep -qxE -- '-?[0-9]+\.[0-9]{3} mV' "$WORK/out"
check "read prints one line" [ "$(all_lines "$WORK/out")" -eq 1 ]
check "read quiet" is_empty "$WORK/err"
"$KAVIX" --batch --port "$PORT" connect read 4 >/dev/full 2>"$WORK/err"
check "read to a full standard output fails" eval "[ $? -eq 1 ] && has \"\$WORK/err\" 'No space left'"
run --port "$PORT" connect span 2 30
check "span before zero status 1" [ "$RC" -eq 1 ]
check "span before zero explained" [ "$(cat "$WORK/err")" = "Zero/Span Adj.: First, you set Zero adj." ]
run --port "$PORT" --yes connect zero 3 25 span 3 30,0 read 3
check "zero, span, read status" [ "$RC" -eq 0 ]
check "zero, span, read quiet" is_empty "$WORK/err"
check "adjusted channel reads the signal" \
    awk '$2 == "degC" && $1 > 29 && $1 < 31 { ok = 1 } END { exit !ok }' "$WORK/out"
run --port "$PORT" connect adjreset 3
check "adjreset without --yes refused, nothing written" [ "$RC:$(cat "$WORK/err"):$(grep -c D030 "$SIM_ERR")" = \
    "1:DOWNLOAD: Reset of the zero/span adjustment of channel 3: write it to the module? Refused: confirm downloads with --yes.:0" ]
run --port "$PORT" --yes connect adjreset 3
check "adjreset status" [ "$RC" -eq 0 ]
check "adjreset quiet" is_empty "$WORK/err"
run --port "$PORT" connect span 3 30
check "span after reset needs a zero again" [ "$RC" -eq 1 ]
run --port "$PORT" --yes connect zero 5 "$(printf '%34s' 12.5)"
check "a REAL padded beyond the box is sent whole" grep -qx D0512.500 "$SIM_ERR"
for args in "zero 2 abc" "zero 2 ''" "zero 2 $(printf '%033d' 1)" "zero 17 1" "read 0" "adjreset x" "comp 9 reset" "comp 1 half"; do
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
run --port "$PORT" --yes connect comp 1 line comp 8 0 comp 8 100 comp 3 reset read 8
check "comp requests status" [ "$RC" -eq 0 ]
check "comp requests quiet" is_empty "$WORK/err"
check "read of a resistance range in percent" grep -qxE '[0-9]+\.[0-9]{3} %' "$WORK/out"
run --port "$PORT" --yes connect comp 1 100
check "comp request the channel does not take status 1" [ "$RC" -eq 1 ]
check "comp request the channel does not take explained" [ "$(cat "$WORK/err")" = \
    "Compensation Request: Channel 1 takes the single request Line Res., not 0% or 100%." ]

start_sim --model QV8_KX5 --refuse "illegal OPE" || exit 1
run --port "$PORT" --yes connect adjreset 3
check "refused reset status 1" [ "$RC" -eq 1 ]
check "refused reset: two refusals, then incomplete" [ "$(cut -d: -f1 "$WORK/err" | tr '\n' ,)" = \
    "Parameter Write,Parameter Write,Zero/Span Adj.," ]
check "refused reset message" [ "$(tail -n 1 "$WORK/err")" = \
    "Zero/Span Adj.: Zero/Span Adj. Reset Incomplete" ]

# -- the process: closed standard streams, interrupts, the file-size limit
start_sim --model QV8_KX5 --trace --stop-after 100 || exit 1
"$KAVIX" --batch --port "$PORT" --trace - connect upload 0<&- 1>&- 2>&-
check "closed streams: status 1" [ "$?" -eq 1 ]
check "closed streams: the module got protocol lines only" \
    eval "! grep -qvE '^(G[0-9]{2}|I[0-9]{2}|D[-0-9A-Za-z.]*)$' \"\$SIM_ERR\""
# SIGINT while a download writes, SIGTERM while monitoring: the exchange in
# progress ends, the run stops and says how far it got
interrupt() {  # interrupt SIGNAL LINE ARGS...: the signal once the module got LINE
    local signal=$1 line=$2
    shift 2
    "$KAVIX" --batch --port "$PORT" "$@" >"$WORK/out" 2>"$WORK/err" &
    local pid=$!
    for _ in $(seq 1 400); do grep -qx -- "$line" "$SIM_ERR" && break; sleep 0.05; done
    kill -"$signal" "$pid"
    wait "$pid"
    RC=$?
}
start_sim --model QV8_KX5 --trace --delay 10 || exit 1
interrupt INT D0317 --yes connect download
check "SIGINT: status 130" [ "$RC" -eq 130 ]
check "SIGINT: how far the download got" \
    grep -qxE 'Interrupted: Download interrupted after [0-9]+ of 49 writes' "$WORK/err"
interrupt TERM I03 connect monitor 100 "$WORK/term.csv"
check "SIGTERM: status 143" [ "$RC:$(cat "$WORK/err")" = "143:Interrupted: Monitor interrupted" ]
check "SIGTERM: the CSV holds whole rows" \
    [ "$(grep -cvE '^(time|[0-9-]+T[0-9:.+-]+(,-?[0-9]+\.[0-9]{3}){16}'$'\r''$)' "$WORK/term.csv")" -eq 0 ]

# -- a module behind a real serial device server (ser2net), raw TCP and RFC 2217:
# the module gets the lines a direct run gives it; a server that goes away
# during monitoring ends the run as a pulled cable does
free_port() {  # a TCP port of 127.0.0.1 that nothing listens on
    local p
    while p=$((20000 + RANDOM % 30000)); ss -Htln "sport = :$p" | grep -q .; do :; done
    echo "$p"
}
S2N_PID=
start_ser2net() {  # start_ser2net ACCEPTER PTY [SERIAL]: NET is then its HOST:PORT
    local port
    port=$(free_port)
    printf 'connection: &kavix\n  accepter: %s,127.0.0.1,%s\n  connector: serialdev,%s,%s,local\n' \
        "$1" "$port" "$2" "${3:-9600n81}" >"$WORK/ser2net.yaml"
    ser2net -n -c "$WORK/ser2net.yaml" >"$WORK/ser2net.log" 2>&1 &
    S2N_PID=$!
    NET=127.0.0.1:$port
    for _ in $(seq 1 100); do ss -Htln "sport = :$port" | grep -q . && return 0; sleep 0.05; done
    echo "ser2net did not start: $(cat "$WORK/ser2net.log")" >&2
    return 1
}
stop_ser2net() { kill "$S2N_PID" 2>/dev/null; wait "$S2N_PID" 2>/dev/null; }
whole_rows() { ! grep -qvE "^(time,.*|[0-9T:.+-]+(,-?[0-9]+\.[0-9]{3}){16})"$'\r''$' "$1"; }
# the simulator's lines after the first FROM, from the first channel select on
monitor_lines() { tail -n +$((FROM + 1)) "$SIM_ERR" | sed -n '/^I05$/,$p' | sort -u; }
WORK_LINES=(--yes connect upload saveas "$WORK/net.qv8" download type 3 "K(CA)" on)
if ! command -v ser2net >/dev/null; then
    echo "SKIP: ser2net is not installed (scripts/setup installs it): no network line tests"
else
    start_sim --model QV8_KX5 --trace || exit 1
    run --port "$PORT" "${WORK_LINES[@]}" && cp "$SIM_ERR" "$WORK/direct.lines"
    FROM=$(all_lines "$SIM_ERR")
    run --port "$PORT" connect monitor 2 "$WORK/direct.csv"
    monitor_lines >"$WORK/direct-monitor.lines"
    # RFC 2217 sets the server's serial port, whatever it was
    for how in "socket tcp 9600n81" "rfc2217 telnet(rfc2217),tcp 4800e72"; do
        read -r scheme accepter serial <<<"$how"
        start_sim --model QV8_KX5 --trace --baud 9600 --turnaround 5 &&
            start_ser2net "$accepter" "$PORT" "$serial" || exit 1
        run --port "$scheme://$NET" "${WORK_LINES[@]}"
        check "$scheme: connect, upload, download and an editor download, status 0" [ "$RC" -eq 0 ]
        check "$scheme: the module got the lines of the direct run" cmp -s "$SIM_ERR" "$WORK/direct.lines"
        FROM=$(all_lines "$SIM_ERR")
        rm -f "$WORK/net.csv"
        "$KAVIX" --batch --port "$scheme://$NET" connect monitor 30 "$WORK/net.csv" >"$WORK/out" 2>"$WORK/err" &
        pid=$!
        # a whole pass in the CSV, then ser2net ends
        for _ in $(seq 1 400); do [ "$(all_lines "$WORK/net.csv" 2>/dev/null)" -ge 2 ] 2>/dev/null && break; sleep 0.05; done
        check "$scheme: the serial port at 9600 baud 8N1" \
            eval 'stty -F "$PORT" -a | tr "\n" " " | grep -q "speed 9600 baud.* -parenb .*cs8 .* -cstopb"'
        stop_ser2net
        SECONDS=0
        wait "$pid"
        RC=$?
        check "$scheme: monitoring asks what the direct run asks" eval 'monitor_lines | cmp -s - "$WORK/direct-monitor.lines"'
        check "$scheme: ser2net gone during monitoring: status 1 at once, one message naming it" \
            eval '[ "$RC:$(all_lines "$WORK/err")" = 1:1 ] && [ "$SECONDS" -le 3 ] &&
                  has "$WORK/err" "Communication: The connection to the module was lost: the connection to $NET"'
        check "$scheme: the CSV holds whole rows" whole_rows "$WORK/net.csv"
        start_ser2net "$accepter" "$PORT" || exit 1
        run --port "$scheme://$NET" connect
        check "$scheme: connects again" [ "$RC" -eq 0 ]
        stop_ser2net
    done
    start_sim --model QV8_KX5 && start_ser2net telnet "$PORT" || exit 1
    run --port "rfc2217://$NET" connect
    check "rfc2217 to a plain Telnet port: refused, said so" \
        eval '[ "$RC" -eq 1 ] && has "$WORK/err" "$NET refuses the serial port settings of RFC 2217"'
    stop_ser2net
    start_sim --model QV8_KX5 --noise FFFF41 && start_ser2net "telnet(rfc2217),tcp" "$PORT" || exit 1
    run --port "rfc2217://$NET" --trace - connect
    check "rfc2217: bytes 0xFF from the module arrive as they were sent" \
        has "$WORK/err" "D<0xFF><0xFF>Aenter item<CR>"
    stop_ser2net
    start_sim --model QV8_KX5 && start_ser2net tcp "$PORT" || exit 1
    run --port "rfc2217://$NET" connect
    check "rfc2217 to a raw TCP port: no agreement within 3 s" \
        eval '[ "$RC" -eq 1 ] && has "$WORK/err" "$NET did not take up the serial port settings of RFC 2217 within 3 s"'
    stop_ser2net
fi
closed=$(free_port)
while IFS='|' read -r want args text; do
    eval "run $args"
    check "[$args] status $want, says so" eval '[ "$RC" -eq "$want" ] && has "$WORK/err" "$text"'
done <<ROWS
1|--port socket://127.0.0.1:$closed connect|127.0.0.1:$closed refused the connection
1|--port rfc2217://127.0.0.1:$closed connect|127.0.0.1:$closed refused the connection
1|--port socket://no-such-host.invalid:4001 connect|The host "no-such-host.invalid" was not found (port 4001)
2|--port socket://127.0.0.1 connect|"socket://127.0.0.1" is not a network port
2|--port rfc2217://:4001/x connect|is not a network port
ROWS
start_sim --model QV8_KX5 --listen 0 || exit 1
run --port "$PORT" connect upload
check "kavix-sim --listen serves the module on $PORT" [ "$RC" -eq 0 ]
run_plain "$KAVIX" --find "$PORT"
check "--find takes a network port" [ "$RC:$(cat "$WORK/out")" = "0:$PORT QV8_KX5" ]

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
