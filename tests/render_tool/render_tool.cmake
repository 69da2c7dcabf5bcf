# End-to-end check of mirelune-render: the same seed gives the same file byte for byte,
# another seed gives another picture, and bad command lines exit with status 2 and one line
# of explanation.
#   cmake -DRENDER=<path to mirelune-render> -DWORKDIR=<scratch dir> -P render_tool.cmake

foreach(variable RENDER WORKDIR)
    if(NOT ${variable})
        message(FATAL_ERROR "render_tool: pass -D${variable}=...")
    endif()
endforeach()
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}")

# Runs the renderer with the given arguments; sets <prefix>_status, _out and _err.
function(run_render prefix)
    execute_process(COMMAND "${RENDER}" ${ARGN}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(${prefix}_status "${status}" PARENT_SCOPE)
    set(${prefix}_out "${out}" PARENT_SCOPE)
    set(${prefix}_err "${err}" PARENT_SCOPE)
endfunction()

function(render_png seed file)
    run_render(png --size 240x180 --sectors 3 --pictures 2 --seed ${seed} -o "${WORKDIR}/${file}")
    if(NOT png_status EQUAL 0)
        message(FATAL_ERROR "render_tool: seed ${seed} exited with '${png_status}': ${png_err}")
    endif()
    if(NOT EXISTS "${WORKDIR}/${file}")
        message(FATAL_ERROR "render_tool: seed ${seed} wrote no ${file}")
    endif()
    file(READ "${WORKDIR}/${file}" signature LIMIT 8 HEX)
    if(NOT signature STREQUAL "89504e470d0a1a0a")
        message(FATAL_ERROR "render_tool: ${file} is not a PNG (starts with ${signature})")
    endif()
endfunction()

function(expect_usage_error description)
    run_render(bad ${ARGN})
    if(NOT bad_status EQUAL 2)
        message(FATAL_ERROR "render_tool: ${description}: exit status '${bad_status}', want 2")
    endif()
    if(NOT bad_err MATCHES "^mirelune-render: [^\n]+\n$")
        message(FATAL_ERROR "render_tool: ${description}: want one error line, got '${bad_err}'")
    endif()
endfunction()

render_png(7 first.png)
render_png(7 second.png)
render_png(8 other.png)

execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORKDIR}/first.png"
                        "${WORKDIR}/second.png" RESULT_VARIABLE same_seed_differs)
if(same_seed_differs)
    message(FATAL_ERROR "render_tool: two runs with seed 7 wrote different files")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORKDIR}/first.png"
                        "${WORKDIR}/other.png" RESULT_VARIABLE other_seed_differs)
if(NOT other_seed_differs)
    message(FATAL_ERROR "render_tool: seeds 7 and 8 wrote the same file")
endif()

expect_usage_error("unknown option" --bogus -o "${WORKDIR}/bogus.png")
expect_usage_error("malformed size" --size 10x -o "${WORKDIR}/bogus.png")
expect_usage_error("missing -o" --seed 7)
if(EXISTS "${WORKDIR}/bogus.png")
    message(FATAL_ERROR "render_tool: a rejected command line still wrote a file")
endif()

run_render(help --help)
if(NOT help_status EQUAL 0 OR NOT help_out MATCHES "^Usage: mirelune-render")
    message(FATAL_ERROR "render_tool: --help exited with '${help_status}' and printed '${help_out}'")
endif()
