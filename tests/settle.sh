# Waiting for a settled state, for the end-to-end scripts (sourced). A window manager or
# compositor may still be placing, sizing or drawing what a script is about to act on, so
# a reading is taken only once it holds still: the same answer from two reads about
# 100 ms apart.
#   settled WHAT SECONDS CMD...
# Runs CMD until two reads in a row give the same non-empty output, and prints it. A CMD
# that prints nothing until its condition holds waits for that too. After SECONDS it
# gives up with a line on stderr naming WHAT did not settle and the last answer.
settled() {
    _st_what=$1
    _st_secs=$2
    shift 2
    _st_last=""
    _st_now=""
    for _ in $(seq 1 $((_st_secs * 10))); do
        _st_now=$("$@" 2>/dev/null) || _st_now=""
        if [ -n "$_st_now" ] && [ "$_st_now" = "$_st_last" ]; then
            printf '%s\n' "$_st_now"
            return 0
        fi
        _st_last=$_st_now
        sleep 0.1
    done
    echo "$_st_what did not settle within $_st_secs s (last read: '$_st_now')" >&2
    return 1
}
