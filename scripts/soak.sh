#!/usr/bin/env bash
# Runs the real client against a busy demo server for MINUTES minutes under Xvfb and prints, once
# a minute, what the client holds: resident memory, threads, open descriptors, the longest UI
# stall since the line before and the bars and messages it keeps (the last two from its log).
#
#   scripts/soak.sh MINUTES
#
# The goal, judged after a warm-up of 5 minutes (1 minute for runs shorter than 10): resident
# memory grows by at most 5 MB, threads and descriptors stay as they were, no UI stall over
# 200 ms. Exits non-zero when it is missed or when the client cannot be started and logged in.
#
# Everything the client writes goes to a temporary folder (kept, and named, when the goal is
# missed or SOAK_KEEP=1). The client only talks to the fixed ports 2292, 2272 and 2262 on
# 127.0.0.1, so nothing else may listen there. QUILLSTAR_BUILD_DIR uses a build folder that is
# already configured instead of the default preset's.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-}
if [[ ! $minutes =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/soak.sh MINUTES" >&2
    exit 2
fi
warmup=5
((minutes < 10)) && warmup=1
((warmup < minutes)) || warmup=$((minutes - 1))

readonly ports=(2292 2272 2262)
readonly rss_growth_limit_kb=5120
readonly stall_limit_ms=200

fail() {
    echo "soak: $*" >&2
    exit 1
}

for port in "${ports[@]}"; do
    if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
        fail "something already listens on 127.0.0.1:$port (another quillstar-server?); stop it first"
    fi
done
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh"
done

build=${QUILLSTAR_BUILD_DIR:-}
if [[ -z $build ]]; then
    cmake --preset default >/dev/null
    cmake --build --preset default --target quillstar quillstar-server
    build=build/default
else
    cmake --build "$build" --target quillstar quillstar-server
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quillstar-soak.XXXXXX")
mkdir -p "$work"/{home,data,config,cache,runtime,tmp,app}
chmod 700 "$work/runtime"
# A copy of the program keeps its data files beside it, away from the build tree.
cp "$build/app/quillstar" "$work/app/quillstar"
log_dir=$work/data/Quillstar/logs

pids=()
keep=${SOAK_KEEP:-0}
# The client first, the display last, so that nothing sees its peer vanish under it.
cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; --i)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    if [[ $keep == 1 ]]; then
        echo "soak: files kept in $work (screen-1.png and screen-$minutes.png: the screen after the first and the last minute)"
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT
trap 'keep=1; exit 1' INT TERM

# The display: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=("$!")
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
[[ -s $work/display ]] || { keep=1; fail "Xvfb did not start (see $work/xvfb.log)"; }
display=:$(tr -d '[:space:]' <"$work/display")

# About 1,400 price records a second (28 products every 20 ms), minute bars, a signal and a
# message every few seconds, a position and a waiting order on the demo account.
"$build/server/quillstar-server" --code 1234 --tick-ms 20 --bar-seconds 60 --signal-seconds 5 \
    --message-seconds 5 --seed-trades >"$work/server.log" 2>&1 &
server=$!
pids+=("$server")
for _ in $(seq 100); do
    grep -q 'request port' "$work/server.log" && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
done
grep -q 'request port' "$work/server.log" || {
    keep=1
    fail "the demo server did not start: $(cat "$work/server.log")"
}

env -i PATH="$PATH" ${TZ:+"TZ=$TZ"} DISPLAY="$display" QT_QPA_PLATFORM=xcb HOME="$work/home" \
    XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
    XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp" LANG=C.UTF-8 \
    "$work/app/quillstar" --host 127.0.0.1 >"$work/client.out" 2>&1 &
client=$!
pids+=("$client")

xdo() { DISPLAY=$display xdotool "$@"; }
# The first visible window whose title matches, within the given seconds.
find_window() {
    local pattern=$1 seconds=$2 id
    for _ in $(seq $((seconds * 5))); do
        id=$(xdo search --onlyvisible --name "$pattern" 2>/dev/null | head -1 || true)
        [[ -n $id ]] && { echo "$id"; return 0; }
        kill -0 "$client" 2>/dev/null || return 1
        sleep 0.2
    done
    return 1
}

login=$(find_window '^登录到Quillstar$' 30) || { keep=1; fail "no login dialog (see $work/client.out)"; }
sleep 1 # the dialog fetches its first picture
xdo windowfocus --sync "$login"
# The member name has the focus; then password, code and the login button in tab order.
xdo key --clearmodifiers ctrl+a
xdo type --delay 30 demo
xdo key Tab
xdo type --delay 30 demo
xdo key Tab
xdo type --delay 30 1234
xdo key Return

# The service notice comes up before the main window; anything else is a failed login.
notice=$(find_window '^Quillstar$' 20) || { keep=1; fail "the login was not accepted"; }
xdo windowfocus --sync "$notice"
xdo key Return
find_window '^Quillstar.+' 30 >/dev/null || { keep=1; fail "no main window after the login"; }

kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$client/status"; }
count() { find "/proc/$client/$1" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l; }
now() { date '+%F %T.%3N'; }
# Log lines from after one time stamp up to another: the longest stall, and the newest bars and
# messages counts.
read_log() {
    local since=$1 until=$2 files=() name
    for name in quillstar.log.3 quillstar.log.2 quillstar.log.1 quillstar.log; do
        [[ -f $log_dir/$name ]] && files+=("$log_dir/$name")
    done
    if ((${#files[@]} == 0)); then
        echo "- - -"
        return
    fi
    awk -v since="$since" -v until="$until" '
        { stamp = $1 " " $2 }
        stamp > until { next }
        $3 == "ui-stall" && stamp > since && $4 + 0 > stall { stall = $4 + 0 }
        $3 == "status" {
            for (i = 4; i <= NF; ++i) {
                split($i, kv, "=")
                if (kv[1] == "bars") bars = kv[2]
                if (kv[1] == "messages") messages = kv[2]
            }
        }
        END { print (stall == "" ? 0 : stall), (bars == "" ? "-" : bars), (messages == "" ? "-" : messages) }
    ' "${files[@]}"
}

rss=() threads=() fds=() stalls=()
header=$(printf '%6s %10s %7s %5s %9s %6s %8s' minute rss_kb threads fds stall_ms bars messages)
echo "$header"
since=$(now)
started=$SECONDS
for ((minute = 0; minute <= minutes; ++minute)); do
    wait_s=$((started + minute * 60 - SECONDS))
    ((wait_s <= 0)) || sleep "$wait_s"
    kill -0 "$client" 2>/dev/null || { keep=1; fail "the client ended in minute $minute"; }
    kill -0 "$server" 2>/dev/null || { keep=1; fail "the demo server ended in minute $minute"; }
    stamp=$(now)
    read -r stall bars messages <<<"$(read_log "$since" "$stamp")"
    since=$stamp
    rss+=("$(kb)") threads+=("$(count task)") fds+=("$(count fd)") stalls+=("$stall")
    printf '%6d %10d %7d %5d %9s %6s %8s\n' "$minute" "${rss[minute]}" "${threads[minute]}" \
        "${fds[minute]}" "$stall" "$bars" "$messages"
    if ((minute == 1 || minute == minutes)) && command -v import >/dev/null; then
        import -display "$display" -window root "$work/screen-$minute.png" 2>/dev/null || true
    fi
done

problems=()
growth=$((rss[minutes] - rss[warmup]))
((growth <= rss_growth_limit_kb)) \
    || problems+=("resident memory grew by $growth kB after minute $warmup")
for ((minute = warmup + 1; minute <= minutes; ++minute)); do
    ((threads[minute] == threads[warmup])) \
        || problems+=("threads went from ${threads[warmup]} to ${threads[minute]} by minute $minute")
    ((fds[minute] == fds[warmup])) \
        || problems+=("descriptors went from ${fds[warmup]} to ${fds[minute]} by minute $minute")
    if [[ ${stalls[minute]} != - ]] && ((stalls[minute] > stall_limit_ms)); then
        problems+=("a UI stall of ${stalls[minute]} ms before minute $minute")
    fi
done
[[ -d $log_dir ]] || echo "soak: the client wrote no log, so stalls, bars and messages are not known"

echo "soak: $minutes minutes, judged from minute $warmup: resident memory $((growth / 1024)) MB" \
    "($growth kB) growth, threads ${threads[warmup]}..${threads[minutes]}," \
    "descriptors ${fds[warmup]}..${fds[minutes]}"
if ((${#problems[@]} > 0)); then
    keep=1
    printf 'soak: FAILED: %s\n' "${problems[@]}"
    exit 1
fi
echo "soak: passed"
