# Runs the libFuzzer target FUZZER for SECONDS after every input of CORPUS and REGRESSIONS
# once; new inputs go into a scratch corpus in WORKDIR, never into the source tree.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/corpus ${WORKDIR}/artifacts)
file(GLOB inputs LIST_DIRECTORIES true ${CORPUS} ${REGRESSIONS})  # those that exist
execute_process(COMMAND ${FUZZER} -max_total_time=${SECONDS} -rss_limit_mb=2048
                        -print_final_stats=1 -artifact_prefix=${WORKDIR}/artifacts/
                        ${WORKDIR}/corpus ${inputs}
                RESULT_VARIABLE fuzzed)
if(NOT fuzzed EQUAL 0)
    file(GLOB artifacts ${WORKDIR}/artifacts/*)
    message(FATAL_ERROR "${FUZZER} found a failing input (exit ${fuzzed}): ${artifacts}\n"
                        "Save it under ${REGRESSIONS}/ and report it.")
endif()
