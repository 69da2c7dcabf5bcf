# Configures the fuzz project SOURCE_DIR (tests/fuzz) in BINARY_DIR with clang++ and builds it.
find_program(clangxx NAMES clang++ clang++-14)
if(NOT clangxx)
    message(FATAL_ERROR "clang++ not found; the fuzz tests need it: run scripts/install-deps fuzz")
endif()

function(run_cmake step)
    execute_process(COMMAND ${CMAKE_COMMAND} ${ARGN} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${step} the fuzzers failed (missing libFuzzer runtime? "
                            "run scripts/install-deps fuzz)")
    endif()
endfunction()

run_cmake(configuring -S ${SOURCE_DIR} -B ${BINARY_DIR} -DCMAKE_CXX_COMPILER=${clangxx}
          -DCMAKE_BUILD_TYPE=RelWithDebInfo)
cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
run_cmake(building --build ${BINARY_DIR} --parallel ${cores})
