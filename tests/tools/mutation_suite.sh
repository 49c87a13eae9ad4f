#!/bin/sh
# The suite a mutant is judged by (a build without the windows), quickest tests first, stopping
# at the first failure: the same tests as ctest, but a killed mutant is known in seconds.
B=$1
LONG='KilledSave.*:FaultWalk.*:BadInput.TruncatedFiles*:BadInput.BinaryBytes*'
"$B/tests/core_tests" --gtest_brief=1 --gtest_fail_fast --gtest_filter="-$LONG" >/dev/null 2>&1 || exit 1
"$B/tests/cli_tests" --gtest_brief=1 --gtest_fail_fast >/dev/null 2>&1 || exit 1
ctest --test-dir "$B" -R 'ReportCase|FuzzReplay|make_help' -j2 --timeout 120 --stop-on-failure >/dev/null 2>&1 || exit 1
"$B/tests/core_tests" --gtest_brief=1 --gtest_fail_fast --gtest_filter="$LONG" >/dev/null 2>&1 || exit 1
