# One exit routine for the scripts that start things in the background (test
# run, journeys, benchmark, demo). Source it once: each thing is registered as
# it starts and stopped, newest first, when the script ends (normally, on
# failure or Ctrl-C); the script keeps its exit status. Needs prefix.sh.
#
#   on_exit_pid PID           stop a background process
#   on_exit_prefix PREFIX     end every Wine process of PREFIX and its server
#   on_exit_dir DIR           remove a folder
#   on_exit COMMAND...        any other command

exit_steps=()

on_exit() { exit_steps+=("$(printf '%q ' "$@")"); }
on_exit_pid() { [ -z "${1:-}" ] || on_exit stop_pid "$1"; }
on_exit_prefix() { on_exit prefix_server_stop "$1"; }
on_exit_dir() { on_exit rm -rf "$1"; }

run_exit_steps() {
    local status=$? i
    trap - EXIT INT TERM
    # A killed child's failing wait must not end the cleanup early under
    # set -e, nor turn the run's status into 143.
    set +e
    for (( i = ${#exit_steps[@]} - 1; i >= 0; i-- )); do
        eval "${exit_steps[i]}"
    done
    exit "$status"
}
trap run_exit_steps EXIT
trap 'exit 130' INT TERM
