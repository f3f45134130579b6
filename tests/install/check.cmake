# Installs the build into a fresh prefix, copies the consumer's project (with the main source
# given) out of the source tree, builds it there against the prefix with find_package, and runs
# it under Wine with nothing but the DLLs of the prefix's bin/ beside it.
file(REMOVE_RECURSE ${OVK_WORK_DIR})
function(run)
    # A step that hangs (a program waiting on a debugger) fails instead of holding the run.
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out
                    TIMEOUT 300)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()
run(${CMAKE_COMMAND} --install ${OVK_BUILD_DIR} --prefix ${OVK_WORK_DIR}/prefix)
file(COPY ${OVK_CONSUMER_DIR}/ DESTINATION ${OVK_WORK_DIR}/source)
configure_file(${OVK_CONSUMER_MAIN} ${OVK_WORK_DIR}/source/main.cpp COPYONLY)
run(${CMAKE_COMMAND} -S ${OVK_WORK_DIR}/source -B ${OVK_WORK_DIR}/build
    -DCMAKE_TOOLCHAIN_FILE=${OVK_TOOLCHAIN} -DCMAKE_PREFIX_PATH=${OVK_WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --build ${OVK_WORK_DIR}/build)
# The application ships the prefix's DLLs beside itself, as an installed application would; no
# other folder is on Wine's search path.
file(GLOB dlls ${OVK_WORK_DIR}/prefix/bin/*.dll)
file(COPY ${dlls} DESTINATION ${OVK_WORK_DIR}/build)
# Both the exit code and the line: a program that reports success and then crashes at shutdown
# has failed (run() stops on the exit code).
run(${CMAKE_COMMAND} -E env --unset=WINEPATH WINEPREFIX=${OVK_WINEPREFIX} WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml= wine ${OVK_WORK_DIR}/build/consumer.exe)
message("${output}")
if(NOT output MATCHES "consumer: ok")
    message(FATAL_ERROR "the consumer exited with 0 without reporting \"consumer: ok\"")
endif()
file(REMOVE_RECURSE ${OVK_WORK_DIR})
