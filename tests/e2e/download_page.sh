#!/usr/bin/env bash
# The real program on a private X server against the sample server, driven like a user with xdotool:
# load a category, add every resource, download one, close with the save, start again (the page comes
# back), then clear the page and download three rows at once.
# Usage: download_page.sh <build folder>
set -uo pipefail

BUILD=$(cd "${1:?usage: $0 <build folder>}" && pwd) || exit 1
PORT=28500 # compiled into the program's bases
BASE="http://127.0.0.1:$PORT/files"
CATEGORY_FOLDER=guanfanglicheng
# The main window is 860x540, centred on the 1280x800 screen.
WX=210
WY=130

for tool in Xvfb xdotool xprop import convert compare curl iconv od awk; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing" >&2; exit 1; }
done
for file in plendrik libplendrik_browser.so plendrik-sample-server; do
    [[ -f "$BUILD/$file" ]] || { echo "e2e: $BUILD/$file is missing (build with -DPLENDRIK_WITH_GUI=ON)" >&2; exit 1; }
done

WORK=$(mktemp -d /tmp/plendrik-e2e.XXXXXX)
SHOTS="$WORK/shots"
PROGRAM_DIR="$WORK/program" # a copy of the program: its download folder lands beside it
DOWNLOADS="$PROGRAM_DIR/Plendrik资源"
export XDG_CONFIG_HOME="$WORK/config"
# the browser engine's data and cache stay out of the user's home as well
export XDG_DATA_HOME="$WORK/data" XDG_CACHE_HOME="$WORK/cache"
INI="$XDG_CONFIG_HOME/Plendrik/情况.ini"
export QTWEBENGINE_DISABLE_SANDBOX=1
# only the private X server below: never the caller's display or an offscreen platform
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$SHOTS" "$PROGRAM_DIR" "$XDG_CONFIG_HOME"
cp "$BUILD/plendrik" "$BUILD/libplendrik_browser.so" "$PROGRAM_DIR/"

XVFB_PID=""
SERVER_PID=""
PROGRAM_PID=""
SHOT_NUMBER=0
STEP="start"

cleanup() {
    for pid in "$PROGRAM_PID" "$SERVER_PID" "$XVFB_PID"; do
        [[ -n "$pid" ]] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

shot() {
    SHOT_NUMBER=$((SHOT_NUMBER + 1))
    [[ -n "${DISPLAY:-}" ]] && import -window root "$SHOTS/$(printf %02d "$SHOT_NUMBER")-$1.png" 2>/dev/null
    return 0
}

fail() {
    echo "e2e: FAILED at step '$STEP': $*" >&2
    shot failure
    local keep
    keep="$BUILD/e2e-failures/$(date +%Y%m%d-%H%M%S)"
    mkdir -p "$keep"
    cp "$SHOTS"/*.png "$keep/" 2>/dev/null
    cp "$WORK"/*.log "$keep/" 2>/dev/null
    [[ -f "$INI" ]] && iconv -f GBK -t UTF-8 "$INI" >"$keep/ini.txt" 2>/dev/null
    local window
    for window in $(xdotool search --onlyvisible --maxdepth 1 --class "" 2>/dev/null); do
        echo "$window [$(xdotool getwindowname "$window")] $(xprop -id "$window" _NET_WM_WINDOW_TYPE)"
    done >"$keep/windows.txt" 2>&1
    echo "e2e: screenshots and logs kept in $keep" >&2
    exit 1
}

step() {
    STEP="$1"
    echo "e2e: $1"
}

# Polls the command until it succeeds; fails the test after the time-out (seconds).
wait_for() {
    local timeout="$1" what="$2"
    shift 2
    local deadline=$((SECONDS + timeout))
    until "$@"; do
        ((SECONDS < deadline)) || fail "timed out after ${timeout}s waiting for $what"
        sleep 0.2
    done
}

port_busy() { (exec 3<>"/dev/tcp/127.0.0.1/$PORT") 2>/dev/null; }
port_free() { ! port_busy; }

# --- the X server --------------------------------------------------------------------------------
step "X server"
for n in $(seq 90 190); do
    [[ -e "/tmp/.X$n-lock" || -e "/tmp/.X11-unix/X$n" ]] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    x_ready() { kill -0 "$XVFB_PID" 2>/dev/null && xdotool getdisplaygeometry >/dev/null 2>&1; }
    deadline=$((SECONDS + 15))
    until x_ready || ! kill -0 "$XVFB_PID" 2>/dev/null || ((SECONDS >= deadline)); do sleep 0.2; done
    x_ready && break
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
    unset DISPLAY
done
[[ -n "$XVFB_PID" ]] || fail "no X server could start on displays :90..:190"

# --- the sample server ---------------------------------------------------------------------------
step "sample server on port $PORT"
deadline=$((SECONDS + 30))
while port_busy && ((SECONDS < deadline)); do sleep 1; done
port_free || fail "port $PORT (compiled into the program) is in use by another process"
"$BUILD/plendrik-sample-server" --port "$PORT" >"$WORK/server.log" 2>&1 &
SERVER_PID=$!
server_up() { curl -sf -o /dev/null "$BASE/$CATEGORY_FOLDER/123.txt"; }
wait_for 15 "the sample server" server_up
# The catalogue as the server has it: one resource per line.
curl -sf "$BASE/$CATEGORY_FOLDER/123.txt" | iconv -f GBK -t UTF-8 | tr -d '\r' | grep -v '^$' \
    >"$WORK/catalogue.txt" || fail "cannot read the catalogue"
CATALOGUE_LINES=$(wc -l <"$WORK/catalogue.txt")
((CATALOGUE_LINES >= 13)) || fail "the catalogue has only $CATALOGUE_LINES lines"
resource_name() { sed -n "${1}p" "$WORK/catalogue.txt" | cut -d'|' -f1; }

# --- driving -------------------------------------------------------------------------------------
# Positions inside the main window.
click_at() { xdotool mousemove $((WX + $1)) $((WY + $2)) click "${3:-1}"; }
double_click_at() { xdotool mousemove $((WX + $1)) $((WY + $2)) click --repeat 2 --delay 80 1; }
# Row r (1-based) of either list on the first tab.
row_y() { echo $((177 + 21 * ($1 - 1))); }

visible_named() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
not_visible_named() { ! visible_named "$1"; }
# A popup menu is a visible top-level window of the program without a title (WM_NAME) that is not
# a tip; the main window and the message boxes carry titles.
popup_open() {
    local window props
    for window in $(xdotool search --onlyvisible --maxdepth 1 --classname '^plendrik$' 2>/dev/null); do
        props=$(xprop -id "$window" WM_NAME _NET_WM_WINDOW_TYPE 2>/dev/null)
        [[ "$props" == *TOOLTIP* ]] && continue
        grep -Eq '^WM_NAME\([A-Z_]+\) = "?"?$' <<<"$props" && return 0
    done
    return 1
}
popup_closed() { ! popup_open; }

# Answers the message box with this caption: Return is 是/确定, Escape is 否.
answer_box() {
    local caption="$1" key="$2"
    wait_for 20 "the message box '$caption'" visible_named "$caption"
    shot "box-$caption"
    xdotool key "$key"
    wait_for 10 "the message box '$caption' to close" not_visible_named "$caption"
}

# Keys on the open popup menu: Down moves over the enabled items only.
choose_in_menu() {
    wait_for 10 "the popup menu" popup_open
    sleep 0.3
    shot "menu"
    xdotool key "$@"
    wait_for 10 "the popup menu to close" popup_closed
}

main_window_up() { visible_named "Plendrik V2.5"; }

# The status bar's progress label and bar (window 384..621 x 517..539): shown while a download runs,
# hidden again once the program has taken in its end. The picture of it hidden is taken at each start.
# crop_window <left> <top> <width> <height> <file>: a part of the main window as it is on the screen.
crop_window() {
    import -window root png:- 2>/dev/null | convert - -crop "$3x$4+$((WX + $1))+$((WY + $2))" +repage "$5"
}
same_picture() { compare -metric AE "$1" "$2" null: 2>/dev/null; }
progress_area() { crop_window 383 517 240 23 "$1"; }
progress_hidden() {
    progress_area "$WORK/progress-now.png"
    same_picture "$WORK/progress-hidden.png" "$WORK/progress-now.png"
}
# The download page's progress and state columns (the selection marks only the name cells).
state_columns() { crop_window 514 167 320 310 "$1"; }

start_program() {
    step "start the program"
    (cd "$WORK" && exec "$PROGRAM_DIR/plendrik") >>"$WORK/program.log" 2>&1 &
    PROGRAM_PID=$!
    wait_for 60 "the main window" main_window_up
    # the first paint, then the browser module loads; let both settle
    sleep 2
    kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the program ended right after its start"
    progress_area "$WORK/progress-hidden.png"
    shot started
}

program_gone() { ! kill -0 "$PROGRAM_PID" 2>/dev/null; }

# Closes with the title bar's close button and answers Yes to the save.
close_with_save() {
    step "close with the save"
    click_at 844 10
    answer_box "保存" Return
    wait_for 30 "the program to end" program_gone
    wait "$PROGRAM_PID"
    local code=$?
    PROGRAM_PID=""
    ((code == 0)) || fail "the program ended with code $code"
}

# The value of one key of the saved INI file (GBK on disk).
ini_value() {
    iconv -f GBK -t UTF-8 "$INI" | tr -d '\r' |
        awk -v section="[$1]" -v key="$2=" '/^\[/ { current = $0; next }
            current == section && index($0, key) == 1 { print substr($0, length(key) + 1); exit }'
}

# The zip in the download folder is the server's file, byte for byte.
check_zip() {
    local name="$1" encoded
    # every byte percent-encoded: the name is Chinese
    encoded=$(printf %s "$name" | od -An -v -tx1 | tr -d ' \n' | sed 's/../%&/g')
    curl -sf --globoff -o "$WORK/server.zip" "$BASE/$CATEGORY_FOLDER/$encoded.zip" || fail "cannot fetch $name.zip"
    [[ -f "$DOWNLOADS/$name.zip" ]] || fail "$name.zip is not in the download folder"
    cmp -s "$WORK/server.zip" "$DOWNLOADS/$name.zip" || fail "$name.zip differs from the server's"
}

no_part_files() { ! compgen -G "$DOWNLOADS/*.part" >/dev/null; }
zip_present() { [[ -f "$DOWNLOADS/$1.zip" ]]; }
zips_present() {
    local name
    for name in "$@"; do zip_present "$name" || return 1; done
    no_part_files
}

# --- 1. a first start: one category, every resource, one download ------------------------------
[[ ! -e "$INI" ]] || fail "an INI file exists before the first start"
start_program

step "double-click the category 官方例程"
double_click_at 86 274
resources_listed() {
    # the first catalogue line is drawn in the resource list: the list is no longer blank there
    local mean
    mean=$(import -window root png:- 2>/dev/null |
        convert - -crop 200x16+$((WX + 186))+$((WY + $(row_y 1) - 8)) -colorspace gray -format '%[fx:mean]' info:)
    awk -v mean="${mean:-1}" 'BEGIN { exit !(mean < 0.97) }'
}
wait_for 30 "the catalogue in the resource list" resources_listed
sleep 0.5
shot catalogue

step "add every resource from the menu 添加"
click_at 290 "$(row_y 1)" 3
choose_in_menu Down Down Down Return
answer_box "软件询问" Return

FIRST=5 # a small resource of the catalogue
FIRST_NAME=$(resource_name $FIRST)
step "start the download of row $FIRST ($FIRST_NAME) from the menu 表"
double_click_at 290 "$(row_y $FIRST)"
choose_in_menu Down Return
wait_for 60 "$FIRST_NAME.zip in the download folder" zips_present "$FIRST_NAME"
wait_for 30 "the end of the download on the screen" progress_hidden
shot downloaded
state_columns "$SHOTS/page-saved.png"
close_with_save

step "check the saved page"
[[ -f "$INI" ]] || fail "no INI file after the save"
[[ "$(ini_value 记录1 记录)" == "$CATALOGUE_LINES" ]] ||
    fail "记录=$(ini_value 记录1 记录), the catalogue has $CATALOGUE_LINES lines"
for ((row = 1; row <= CATALOGUE_LINES; row++)); do
    [[ "$(ini_value "资源表$row" 内容)" == "$(resource_name $row)" ]] || fail "row $row is not $(resource_name $row)"
    expected=未完成
    ((row == FIRST)) && expected=已下载完毕
    state=$(ini_value "资源表$row" 下载状态)
    [[ "$state" == "$expected" ]] || fail "row $row: 下载状态=$state, expected $expected"
done
check_zip "$FIRST_NAME"
no_part_files || fail "a .part file is left in the download folder"
cp "$INI" "$WORK/first-save.ini"

# --- 2. start again: the page comes back with its states ----------------------------------------
start_program
step "the restored page shows the saved states"
state_columns "$SHOTS/page-restored.png"
same_picture "$SHOTS/page-saved.png" "$SHOTS/page-restored.png" ||
    fail "the restored page's progress and states differ from the saved page's on the screen"
close_with_save
step "the restored page saves the same file"
cmp -s "$INI" "$WORK/first-save.ini" || fail "the page saved after the restart differs from the first save"

# --- 3. clear the page, add three resources one by one, download them all at once ---------------
start_program
step "clear the page from the menu 菜单, keeping the files"
click_at 290 "$(row_y 1)" 3
choose_in_menu Down Down Down Down Down Return
answer_box "清空" Escape
ini_gone() { [[ ! -e "$INI" ]]; }
wait_for 10 "the INI file to go with the cleared page" ini_gone
zip_present "$FIRST_NAME" || fail "清空 with 否 deleted $FIRST_NAME.zip"

step "add three resources by double-clicking them"
double_click_at 86 274
wait_for 30 "the catalogue in the resource list" resources_listed
sleep 0.5
BATCH_ROWS=(8 11 13)
BATCH_NAMES=()
for row in "${BATCH_ROWS[@]}"; do
    BATCH_NAMES+=("$(resource_name "$row")")
    double_click_at 290 "$(row_y "$row")"
    answer_box "添加资源" Return
done

step "show the download page and download all"
click_at 48 75 # toolbar: 下载页面
sleep 1
shot page-of-three
double_click_at 290 "$(row_y 1)"
# the enabled items: 开始任务(稳定), 一键下载全部任务(不稳定)
choose_in_menu Down Down Return
wait_for 90 "the three zips in the download folder" zips_present "${BATCH_NAMES[@]}"
wait_for 30 "the end of the batch on the screen" progress_hidden
shot batch-downloaded
close_with_save

step "check the page of three"
[[ "$(ini_value 记录1 记录)" == 3 ]] || fail "记录=$(ini_value 记录1 记录) after the batch, expected 3"
for i in 0 1 2; do
    section="资源表$((i + 1))"
    [[ "$(ini_value "$section" 内容)" == "${BATCH_NAMES[$i]}" ]] || fail "$section is not ${BATCH_NAMES[$i]}"
    state=$(ini_value "$section" 下载状态)
    [[ "$state" == 已下载完毕 ]] || fail "$section: 下载状态=$state after the batch"
    check_zip "${BATCH_NAMES[$i]}"
done
no_part_files || fail "a .part file is left in the download folder"

echo "e2e: passed"
