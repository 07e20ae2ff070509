# The checks' verdicts, one line each, counted in `passed` and `failed` (sourced by the package
# checks).
passed=0
failed=0

Verdict() {
    local name=$1 problem=$2
    if [[ -z "$problem" ]]; then
        echo "PASS $name"
        passed=$((passed + 1))
    else
        echo "FAIL $name: $problem"
        failed=$((failed + 1))
    fi
}
