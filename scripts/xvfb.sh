# Sourced: start_xvfb starts a virtual display and exports DISPLAY; stop_xvfb ends it.
# Xvfb picks a free display number itself, so parallel runs never share one.
start_xvfb() {
    local number_file
    number_file=$(mktemp)
    # -noreset: the root window keeps the properties a test sets on it (a
    # work area) when the last program that used the display ends.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$number_file" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$number_file")"
    rm -f "$number_file"
    [ "$DISPLAY" != ":" ] || { echo "Xvfb did not start" >&2; return 1; }
}
stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}
