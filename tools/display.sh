# Sourced by the tools: zm_need_display starts a private Xvfb when there is no
# display and exports DISPLAY; the server ends with the calling script.
zm_xvfb_pid=
zm_need_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local n
    for n in $(seq 90 190); do
        { [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; } && continue
        Xvfb :$n -screen 0 "${ZM_SCREEN:-1280x800x24}" -nolisten tcp >/dev/null 2>&1 &
        zm_xvfb_pid=$!
        for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
        if kill -0 "$zm_xvfb_pid" 2>/dev/null; then
            export DISPLAY=:$n
            trap 'kill $zm_xvfb_pid 2>/dev/null' EXIT
            return 0
        fi
        zm_xvfb_pid=
    done
    echo "no free X display for Xvfb" >&2
    return 1
}
