# Sourced by the Linux program's runners (the end-to-end suite, the benchmark): a private Xvfb
# on a display number Xvfb picks itself and tells through a descriptor, so that parallel runs
# never race for one; it ends when the sourcing shell exits.
#
#   PavixPrivateXvfb <folder for its files> [screen]   exports DISPLAY; fails if Xvfb did not start
#                                                      (its errors are in <folder>/xvfb.err)
PavixPrivateXvfb() {
    local folder=$1 screen=${2:-1280x1024x24}
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$folder/display" 2>"$folder/xvfb.err" &
    PAVIX_PRIVATE_XVFB=$!
    trap 'kill $PAVIX_PRIVATE_XVFB 2>/dev/null; wait $PAVIX_PRIVATE_XVFB 2>/dev/null || true' EXIT
    for _ in $(seq 200); do
        [[ -s "$folder/display" ]] && break
        sleep 0.05
    done
    [[ -s "$folder/display" ]] || return 1
    export DISPLAY=":$(head -n1 "$folder/display")"
}
