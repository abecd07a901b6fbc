# Shared by the table tests: a row collects its problems, then is reported as ok or FAIL with
# all of them. The script ends with `exit $((failures > 0))`.
failures=0
problems=()
row_begin() { problems=(); }
problem() { problems+=("$*"); }
row_end() { # ROW-NAME
    if ((${#problems[@]})); then
        echo "FAIL [$1]: ${problems[*]}"
        failures=$((failures + 1))
    else
        echo "ok [$1]"
    fi
}
