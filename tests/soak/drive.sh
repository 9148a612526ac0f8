#!/usr/bin/env bash
# The soak's driver, run on the virtual display by tests/soak/soak.sh (which sets the SOAK_*
# variables): starts the program again and again, each run over fresh folders and with a seed
# of its own, feeds it random input until the run's time is up, and writes down every crash,
# hang and sanitizer report with the seed of the run that met it.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
dir=$SOAK_DIR
probe=$SOAK_PROBE
hang=$SOAK_HANG_SECONDS
findings=$dir/findings.tsv
counts=$dir/counts.tsv
: >"$findings"
: >"$counts"

# --- randomness: every choice comes from bash's generator, seeded per run ------------------
# R := a random number below $1. Never inside $(…): a subshell would not advance this shell's
# generator, and the same seed would no longer give the same actions.
rnd() { R=$((RANDOM % $1)); }
# PICK := one of the arguments.
pick() {
    rnd $#
    local all=("$@")
    PICK=${all[$R]}
}

declare -A count=()
note() { count[$1]=$((${count[$1]:-0} + 1)); }
slowest=0

# Whether the program still runs: a process that has ended but is not yet waited for still
# answers kill -0.
alive() {
    local state
    state=$(awk '{ print $3 }' "/proc/$PID/stat" 2>/dev/null) && [ -n "$state" ] && [ "$state" != Z ]
}

# --- windows -------------------------------------------------------------------------------
# X, Y := the corner of a window's client area (xdotool's own reading is wrong under a
# reparenting window manager).
origin() {
    local info
    info=$(xwininfo -id "$1" 2>/dev/null) || return 1
    X=$(sed -n 's/ *Absolute upper-left X: *//p' <<<"$info")
    Y=$(sed -n 's/ *Absolute upper-left Y: *//p' <<<"$info")
    [ -n "$X" ] && [ -n "$Y" ]
}
# TOP, TOP_NAME := the window that takes the input now: an error box before a folder picker
# before a dialog before the main window.
find_top() {
    TOP=$MAIN TOP_NAME=main
    local rank=0 window name r
    for window in $(xdotool search --all --onlyvisible --pid "$PID" --name '.' 2>/dev/null); do
        name=$(xdotool getwindowname "$window" 2>/dev/null) || continue
        case $name in
        Velmora) r=4 ;;
        另存为 | 我选择的方向) r=3 name=picker ;;
        压缩图片 | 输出目录 | 关于) r=2 ;;
        *) r=0 ;;
        esac
        if [ "$r" -ge "$rank" ] && [ "$r" -gt 0 ]; then
            rank=$r TOP=$window TOP_NAME=$name
        fi
    done
}
# Mouse input at a point of the window $TOP's client area.
at() { xdotool mousemove $((X + $1)) $((Y + $2)); }
click() { at "$1" "$2" && xdotool click "${3:-1}"; }
double_click() { at "$1" "$2" && xdotool click --repeat 2 --delay 60 1; }
drag() {
    at "$1" "$2" && xdotool mousedown 1 && sleep 0.1 &&
        at $((($1 + $3) / 2)) $((($2 + $4) / 2)) && sleep 0.05 &&
        at "$3" "$4" && sleep 0.1 && xdotool mouseup 1
}
key() { xdotool key --delay 40 "$@"; }
pause() {
    rnd 4
    sleep "0.$((R * 2 + 1))"
}

# --- the main window (client area 792 × 573 under openbox) ---------------------------------
# The folder tree shows the desktop on row 0, then the places (home, file system, pictures,
# mounted volumes: as many as the machine has), then the desktop's folders, which come last and
# hold no folders. So a folder of the desktop is reached from the end of the tree, and nothing
# outside the desktop is ever selected.
desktop_folders=5
tree_folder() { # the $1-th folder of the desktop from the end (0: the last one)
    click 60 73
    key End
    local i
    for ((i = 0; i < $1; i++)); do key Up; done
}
list_y() { echo $((90 + 18 * $1)); }

names=(renamed.jpg 改名.jpg "with space.jpg" x.txt .hidden.jpg ../up.jpg "a/b.jpg" "" IMG_0001.jpg
    "$(printf 'L%.0s' {1..300}).jpg")

main_action() {
    rnd 100
    local r=$R
    if [ $r -lt 14 ]; then
        rnd 7
        local y
        y=$(list_y $R)
        pick none none ctrl shift
        if [ "$PICK" = none ]; then click 260 "$y"; else
            xdotool keydown "$PICK" && click 260 "$y" && xdotool keyup "$PICK"
        fi
        note "row click ($PICK)"
    elif [ $r -lt 22 ]; then
        rnd 7
        double_click 260 "$(list_y $R)"
        note "row double click"
    elif [ $r -lt 28 ]; then
        rnd 7
        click 260 "$(list_y $R)"
        pick Down Up Home End Next Prior shift+Down shift+End ctrl+a space
        key "$PICK"
        note "list key"
    elif [ $r -lt 30 ]; then
        rnd 7
        click 260 "$(list_y $R)"
        pick I c a z IMG 灰 p
        xdotool type --delay 50 "$PICK"
        note "type-ahead"
    elif [ $r -lt 33 ]; then
        rnd 7
        local y
        y=$(list_y $R)
        click 260 "$y"
        sleep 0.7
        pick click F2
        if [ "$PICK" = click ]; then click 260 "$y"; else key F2; fi
        sleep 0.8
        pick "${names[@]}"
        key ctrl+a
        [ -n "$PICK" ] && xdotool type --delay 20 "$PICK"
        pick Return Return Escape
        key "$PICK"
        note "rename ($PICK)"
    elif [ $r -lt 39 ]; then
        rnd $((desktop_folders + 1))
        if [ $R = $desktop_folders ]; then click 60 73; else tree_folder $R; fi
        note "folder chosen in the tree"
    elif [ $r -lt 40 ]; then
        rnd $desktop_folders
        tree_folder $R
        pick Left Home Right
        key "$PICK"
        note "tree key $PICK"
    elif [ $r -lt 46 ]; then
        rnd 400
        local x=$((345 + R))
        pick click drag keys
        case $PICK in
        click) click "$x" 278 ;;
        drag)
            rnd 400
            drag "$x" 278 $((345 + R)) 278
            ;;
        keys)
            click "$x" 278
            pick Left Right Prior Next Home End
            key "$PICK" "$PICK"
            ;;
        esac
        note "slider $PICK"
    elif [ $r -lt 49 ]; then
        pick 246 318
        click "$PICK" 229
        note "tab"
    elif [ $r -lt 52 ]; then
        pick 267 283
        click 235 "$PICK"
        note "view mode"
    elif [ $r -lt 56 ]; then
        pick 350 650
        local x=$PICK
        pick 4 5 6 7
        rnd 5
        at "$x" 430 && xdotool click --repeat $((R + 1)) "$PICK"
        note "pane wheel"
    elif [ $r -lt 58 ]; then
        pick 495 785 350 650
        local x=$PICK y=545
        [ "$x" = 495 ] || [ "$x" = 785 ] && y=430
        rnd 3
        at "$x" "$y" && xdotool click --repeat $((R + 1)) --delay 30 1
        note "pane scroll bar"
    elif [ $r -lt 61 ]; then
        pick splitter1 splitter2 panes
        rnd 500
        case $PICK in
        # The left panel stays narrower than 250, where the soak clicks the file list.
        splitter1) drag 207 300 $((165 + R % 80)) 300 ;;
        splitter2) drag 500 214 500 $((80 + R * 2 / 3)) ;;
        panes) drag 503 430 $((220 + R)) 430 ;;
        esac
        note "splitter drag"
    elif [ $r -lt 63 ]; then
        rnd 7
        local from=$R
        rnd 7
        drag 400 "$(list_y $from)" 600 "$(list_y $R)"
        note "list drag"
    elif [ $r -lt 66 ]; then
        pick 38 115 167
        click "$PICK" 9
        sleep 0.4
        pick item Escape
        if [ "$PICK" = item ]; then click 50 33; else key Escape; fi
        note "menu"
    elif [ $r -lt 80 ]; then
        click 40 42
        note "开始压缩"
    elif [ $r -lt 84 ]; then
        click 118 42
        note "系统设置"
    elif [ $r -lt 86 ]; then
        click 185 42
        note "关于"
    elif [ $r -lt 87 ]; then
        rnd 400
        local w=$((792 + R)) h
        rnd 300
        h=$((573 + R))
        xdotool windowsize "$MAIN" "$w" "$h" && sleep 0.5 && xdotool windowsize "$MAIN" 792 573
        note "window resize"
    else
        rnd 7
        click 260 "$(list_y $R)"
        note "row click (none)"
    fi
}

# The compression dialog: step 1 and step 2 share the client area, and their buttons overlap,
# so the same points serve both; the step is tracked from the clicks themselves.
declare -A compress_step=() # by window
compress_action() {
    local step=${compress_step[$TOP]:-1}
    rnd 100
    if [ $R -lt 35 ]; then
        click 333 88 # 确定, or 打开目录 in step 2
        if [ "$step" = 1 ]; then
            compress_step[$TOP]=2
            note "batch started"
        else note "打开目录"; fi
    elif [ $R -lt 55 ]; then
        sleep 1
        note "wait for the batch"
    elif [ $R -lt 70 ]; then
        click 410 84 # 取消 or 关闭
        note "compress dialog 取消/关闭"
    elif [ $R -lt 78 ]; then
        click 16 88
        note "自动关闭 box"
    elif [ $R -lt 84 ] && [ "$step" = 1 ]; then
        click 413 40
        note "compress browse"
    elif [ $R -lt 90 ]; then
        key Return
        if [ "$step" = 1 ]; then
            compress_step[$TOP]=2
            note "batch started"
        else note "compress Return"; fi
    else
        key Escape
        note "compress Escape"
    fi
}

out_path_action() {
    pick browse browse ok cancel close
    case $PICK in
    browse) click 405 59 ;;
    ok) click 303 104 ;;
    cancel) click 391 104 ;;
    close) "$probe" close "$TOP" ;;
    esac
    note "输出目录 $PICK"
}

about_action() {
    pick link hover close close
    case $PICK in
    link) click 275 262 ;;
    hover) at 275 262 && sleep 0.3 && at 100 150 ;;
    close) "$probe" close "$TOP" ;;
    esac
    note "关于 $PICK"
}

# The folder picker starts at the desktop and only ever goes down from it: no parent or
# history buttons, no sidebar, no typed path, no Backspace.
picker_action() {
    rnd 5
    local y=$((54 + 26 * R))
    pick item item double confirm cancel Escape Return
    case $PICK in
    item) click 130 "$y" ;;
    double) double_click 130 "$y" ;;
    confirm) click 548 358 ;;
    cancel) click 548 388 ;;
    *) key "$PICK" ;;
    esac
    note "folder picker $PICK"
}

error_box_action() {
    pick Return Return close
    if [ "$PICK" = Return ]; then key Return; else "$probe" close "$TOP"; fi
    note "error box dismissed"
}

act() {
    find_top
    origin "$TOP" || return 0
    case $TOP_NAME in
    main) main_action ;;
    压缩图片) compress_action ;;
    输出目录) out_path_action ;;
    关于) about_action ;;
    picker) picker_action ;;
    Velmora) error_box_action ;;
    esac
}

# --- findings ------------------------------------------------------------------------------
# The first frames of a sanitizer report's (first) stack, outside the sanitizer's own ones.
frames() {
    grep -E '^ *#[0-9]+ 0x[0-9a-f]+ ' "$1" |
        sed -E 's/^ *#[0-9]+ 0x[0-9a-f]+ +//; s/^\((.*\/)?([^/]*)\)$/\2/; s/^in //; s/ \(?\/[^ ]*$//; s/\(.*//' |
        grep -vE '^(<unknown|__asan|__lsan|__ubsan|__sanitizer|__interceptor|operator new|operator delete|malloc|calloc|realloc|free|raise|abort|__GI_|__pthread_kill)' |
        head -4 | paste -sd '<' | sed 's/</ < /g'
}
record() { # kind signature log
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$RUN_SEED" "$RUN" "$ACTIONS" "$3" >>"$findings"
    echo "soak: FINDING ($1) in run $RUN (seed $RUN_SEED) after action $ACTIONS: $2" >&2
}
# Every sanitizer report the run's program left in its logs (UndefinedBehaviorSanitizer writes
# to standard error whatever log_path says).
has_report() {
    compgen -G "$RUN_DIR/sanitizer.*" >/dev/null ||
        grep -qE 'runtime error:|ERROR: [A-Za-z]+Sanitizer' "$RUN_DIR/program.log"
}
collect_reports() {
    local log head
    for log in "$RUN_DIR"/sanitizer.* "$RUN_DIR/program.log"; do
        [ -s "$log" ] || continue
        grep -qE 'runtime error:|ERROR: [A-Za-z]+Sanitizer|LeakSanitizer' "$log" || continue
        head=$(grep -m1 -oE '(AddressSanitizer|LeakSanitizer|ThreadSanitizer): [A-Za-z-]+( [a-z]+)*|runtime error: [^:]*' "$log")
        [ -n "$head" ] || head="sanitizer output"
        record sanitizer "$head @ $(frames "$log")" "$log"
    done
}
# Where the user-interface thread stands, for a program that stopped answering.
hang_stack() {
    command -v gdb >/dev/null || return 0
    timeout 120 gdb -p "$PID" -batch -ex 'thread 1' -ex 'bt 40' >"$RUN_DIR/hang-stack.txt" 2>&1
    grep -E '^#[0-9]+ ' "$RUN_DIR/hang-stack.txt" | grep -v ' in ?? ' |
        sed -E 's/^#[0-9]+ +(0x[0-9a-f]+ in )?//; s/ \(.*//' |
        grep -vE '^(__|poll|ppoll|read|write|futex|syscall|pthread_cond)' | head -4 | paste -sd '<' |
        sed 's/</ < /g'
}

# --- runs ----------------------------------------------------------------------------------
start_program() {
    local settings=$dir/program/Config.ini
    rm -f "$settings"
    # The settings of a portable copy, beside the program, pointing into the soak's tree.
    printf '[Velmora]\r\nOutPath=%s\r\nCompressPre=75\r\nResizePre=100\r\n' "$dir/home/Desktop/输出/" |
        iconv -f UTF-8 -t GB18030 >"$settings"
    (
        cd "$dir/program" || exit 1
        # Not strict_string_checks, as the suite has it: libxkbcommon, which only the X11 platform
        # loads, hands strndup a keymap name without its NUL, as strndup allows.
        export ASAN_OPTIONS="log_path=$RUN_DIR/sanitizer:detect_leaks=1:handle_abort=1"
        export UBSAN_OPTIONS="log_path=$RUN_DIR/sanitizer:print_stacktrace=1:halt_on_error=1"
        export LSAN_OPTIONS="suppressions=$dir/lsan.supp:print_suppressions=0"
        if [ "$SOAK_JAIL" = 1 ]; then
            # Every file system read-only but the soak's own tree.
            # shellcheck disable=SC2016 # expanded by the inner shell
            exec unshare -Urm --propagation private sh -c \
                'mount --bind "$0" "$0" && mount -o remount,bind,ro / && exec "$1"' \
                "$dir" "$dir/program/velmora"
        fi
        exec "$dir/program/velmora"
    ) >"$RUN_DIR/program.log" 2>&1 &
    PID=$!
    MAIN=
    local waited
    for ((waited = 0; waited < 240; waited++)); do
        MAIN=$(xdotool search --all --onlyvisible --pid "$PID" --name '^CorvaneVelmora$' 2>/dev/null | head -1)
        [ -n "$MAIN" ] && return 0
        alive || return 1
        sleep 0.25
    done
    return 1
}

# The program is gone: how it ended, and what its sanitizers said.
program_died() {
    wait "$PID"
    local status=$?
    local log=$RUN_DIR/program.log
    if ! has_report; then
        record crash "exit status $status, no sanitizer report: $(grep -m1 -v '^QStandardPaths' "$log")" "$log"
    fi
    collect_reports
    note "program crashed"
}

# Ends a run: every dialog closed, then the main window, as a user would; the leak check runs
# as the program exits.
close_program() {
    local round window
    for round in 1 2 3 4 5 6; do
        find_top
        [ "$TOP_NAME" = main ] && break
        "$probe" close "$TOP" >/dev/null 2>&1
        sleep 0.5
    done
    "$probe" close "$MAIN" >/dev/null 2>&1
    for ((round = 0; round < 120; round++)); do
        alive || break
        sleep 0.5
    done
    if alive; then
        record hang "still running 60 s after its window was closed" "$RUN_DIR/program.log"
        kill -KILL "$PID"
        wait "$PID"
        return
    fi
    wait "$PID"
    local status=$?
    collect_reports
    if [ "$status" != 0 ] && ! has_report; then
        record crash "exit status $status at close" "$RUN_DIR/program.log"
    fi
}

# Counts what a run's folders hold (entries of every kind, the hidden ones too).
count_files() {
    local folder
    for folder in "$dir/home/Desktop" "$dir/home/Desktop"/*/; do
        printf 'files\t%s\t%s\n' "${folder#"$dir/home/"}" "$(find "$folder" -mindepth 1 -maxdepth 1 | wc -l)"
    done >>"$counts"
}

openbox >/dev/null 2>&1 &
wm=$!
sleep 1
end=$((SECONDS + SOAK_SECONDS))
shot_taken=0
RUN=0
ACTIONS=0
while [ $SECONDS -lt $end ]; do
    RUN_SEED=$((SOAK_SEED + RUN))
    RUN_DIR=$dir/logs/run-$RUN
    mkdir -p "$RUN_DIR"
    rm -rf "$dir/home/Desktop"
    mkdir -p "$dir/home/Desktop"
    "$here/make_folders.sh" "$dir/pristine" "$dir/home/Desktop" "$RUN_SEED" >/dev/null
    [ "$RUN" = 0 ] && count_files
    RANDOM=$RUN_SEED
    ACTIONS=0
    note "program started"
    if ! start_program; then
        if alive; then
            record hang "no main window within 60 s of the start" "$RUN_DIR/program.log"
            kill -KILL "$PID"
            wait "$PID"
        else
            program_died
        fi
        RUN=$((RUN + 1))
        continue
    fi
    run_end=$((SECONDS + SOAK_RUN_SECONDS))
    [ $run_end -gt $end ] && run_end=$end
    alive=1
    while [ $SECONDS -lt $run_end ]; do
        ACTIONS=$((ACTIONS + 1))
        act
        printf '%s\t%s\t%s\n' "$ACTIONS" "$SECONDS" "$TOP_NAME" >>"$RUN_DIR/actions.log"
        pause
        if ! alive; then
            program_died
            alive=0
            break
        fi
        # The answer comes only once the program has handled the input sent before it, so
        # the next action sees the program's state after this one.
        started=$SECONDS
        "$probe" ping "$MAIN" "$hang"
        answer=$?
        if [ $answer != 0 ] && ! alive; then
            program_died
            alive=0
            break
        fi
        if [ $answer = 1 ]; then
            record hang "no answer for $hang s: $(hang_stack)" "$RUN_DIR/hang-stack.txt"
            kill -KILL "$PID"
            wait "$PID"
            collect_reports
            alive=0
            break
        fi
        [ $((SECONDS - started)) -gt $slowest ] && slowest=$((SECONDS - started))
        if [ -n "${SOAK_SCREENSHOT:-}" ] && [ $shot_taken = 0 ] &&
            [ $((SECONDS + SOAK_SECONDS - end)) -ge "$SOAK_SCREENSHOT_AT" ]; then
            import -window root "$SOAK_SCREENSHOT" && shot_taken=1
        fi
    done
    [ $alive = 1 ] && close_program
    count[actions]=$((${count[actions]:-0} + ACTIONS))
    printf 'outputs\t%s\n' "$(find "$dir/home/Desktop/输出" -maxdepth 1 -type f 2>/dev/null | wc -l)" >>"$counts"
    RUN=$((RUN + 1))
done
count["slowest answer to a ping, s"]=$slowest
for k in "${!count[@]}"; do printf 'count\t%s\t%s\n' "$k" "${count[$k]}"; done >>"$counts"
kill "$wm" 2>/dev/null
exit 0
