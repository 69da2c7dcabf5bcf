# Runs one libFuzzer target: first once over every saved regression input, then fuzzing for a
# bounded time from a scratch copy of the committed corpus, so nothing is written into the
# source tree. Any crash, leak, sanitizer report or failed property fails the test.
# Usage: cmake -DFUZZER=<exe> -DCORPUS=<dir> -DREGRESSIONS=<dir> -DWORKDIR=<dir>
#              -DSECONDS=<n> -P run_fuzzer.cmake
if(NOT EXISTS ${FUZZER})
    message(FATAL_ERROR "${FUZZER} is missing: the fuzz_build test failed or did not run "
                        "(is clang++ installed? run scripts/install-deps fuzz)")
endif()

file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/corpus ${WORKDIR}/artifacts)

file(GLOB regressions LIST_DIRECTORIES false ${REGRESSIONS}/*)
if(regressions)
    list(LENGTH regressions count)
    message(STATUS "replaying ${count} regression inputs")
    execute_process(COMMAND ${FUZZER} -artifact_prefix=${WORKDIR}/artifacts/ ${regressions}
                    RESULT_VARIABLE replayed)
    if(NOT replayed EQUAL 0)
        message(FATAL_ERROR "${FUZZER} failed on a regression input in ${REGRESSIONS}")
    endif()
endif()

file(COPY ${CORPUS}/ DESTINATION ${WORKDIR}/corpus)
execute_process(COMMAND ${FUZZER} -max_total_time=${SECONDS} -rss_limit_mb=2048
                        -print_final_stats=1 -artifact_prefix=${WORKDIR}/artifacts/
                        ${WORKDIR}/corpus
                RESULT_VARIABLE fuzzed)
if(NOT fuzzed EQUAL 0)
    file(GLOB artifacts ${WORKDIR}/artifacts/*)
    message(FATAL_ERROR "${FUZZER} found a failing input (exit ${fuzzed}): ${artifacts}\n"
                        "Save it under ${REGRESSIONS}/ and report it.")
endif()
