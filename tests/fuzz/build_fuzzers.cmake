# Configures and builds the fuzz project in tests/fuzz with clang++.
# Usage: cmake -DSOURCE_DIR=<tests/fuzz> -DBINARY_DIR=<dir> -P build_fuzzers.cmake
find_program(clangxx NAMES clang++ clang++-14)
if(NOT clangxx)
    message(FATAL_ERROR "clang++ not found; the fuzz tests need it: run scripts/install-deps fuzz")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR}
                        -DCMAKE_CXX_COMPILER=${clangxx}
                        -DCMAKE_BUILD_TYPE=RelWithDebInfo RESULT_VARIABLE configured)
if(NOT configured EQUAL 0)
    message(FATAL_ERROR "configuring the fuzzers failed (missing libFuzzer runtime? "
                        "run scripts/install-deps fuzz)")
endif()

cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} --parallel ${cores}
                RESULT_VARIABLE built)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "building the fuzzers failed (missing libFuzzer runtime? "
                        "run scripts/install-deps fuzz)")
endif()
