# Runs one libFuzzer target for a bounded time. Every saved regression input and every input
# of the committed corpus is run once before the fuzzing starts; new inputs go into a scratch
# corpus, so nothing is written into the source tree. Any crash, leak, sanitizer report or
# failed property fails the test.
# Usage: cmake -DFUZZER=<exe> -DCORPUS=<dir> -DREGRESSIONS=<dir> -DWORKDIR=<dir>
#              -DSECONDS=<n> -P run_fuzzer.cmake
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
