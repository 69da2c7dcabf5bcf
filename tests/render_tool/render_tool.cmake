# End-to-end check of mirelune-render (-DRENDER=<program> -DWORKDIR=<scratch dir>): one seed
# gives one PNG byte for byte and another seed another; --help prints the usage; bad command
# lines exit with status 2 and a failed write with 1, each with one line and no file.
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}/taken")  # a folder where a file should go

# Runs the renderer; fails unless it exits with `want` and its `stream` matches `pattern`.
function(expect_run want stream pattern)
    execute_process(COMMAND "${RENDER}" ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    if(NOT status EQUAL want OR NOT ${stream} MATCHES "${pattern}")
        message(FATAL_ERROR "render_tool: '${ARGN}' exited with '${status}' (want ${want}), "
                            "printed '${out}' and '${err}'")
    endif()
endfunction()

foreach(name 7 7-again 8)
    string(REGEX MATCH "^[0-9]+" seed "${name}")
    expect_run(0 err "^$" --size 240x180 --sectors 3 --pictures 2 --seed ${seed}
               -o "${WORKDIR}/${name}.png")
    file(READ "${WORKDIR}/${name}.png" png_${name} HEX)
endforeach()
if(NOT png_7 MATCHES "^89504e470d0a1a0a" OR NOT png_7 STREQUAL png_7-again OR png_7 STREQUAL png_8)
    message(FATAL_ERROR "render_tool: want one PNG for seed 7 and another for seed 8")
endif()

expect_run(0 out "^Usage: mirelune-render" --help)
expect_run(2 err "^mirelune-render: [^\n]+\n$" --bogus -o "${WORKDIR}/bogus.png")
expect_run(2 err "^mirelune-render: [^\n]+\n$" --seed 7)
expect_run(1 err "^mirelune-render: [^\n]+\n$" --size 20x20 -o "${WORKDIR}/taken")
if(EXISTS "${WORKDIR}/bogus.png" OR EXISTS "${WORKDIR}/taken.part")
    message(FATAL_ERROR "render_tool: a refused command line or a failed write left a file")
endif()
