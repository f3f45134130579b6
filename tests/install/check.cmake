# Installs the build into a fresh prefix, builds the consumer against it with find_package and
# runs it under Wine.
file(REMOVE_RECURSE ${OVK_WORK_DIR})
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()
run(${CMAKE_COMMAND} --install ${OVK_BUILD_DIR} --prefix ${OVK_WORK_DIR}/prefix)
run(${CMAKE_COMMAND} -S ${OVK_CONSUMER_DIR} -B ${OVK_WORK_DIR}/build
    -DCMAKE_TOOLCHAIN_FILE=${OVK_TOOLCHAIN} -DCMAKE_PREFIX_PATH=${OVK_WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --build ${OVK_WORK_DIR}/build)
# The application ships the library's DLLs beside itself, as an installed application would.
file(GLOB dlls ${OVK_WORK_DIR}/prefix/bin/*.dll)
file(COPY ${dlls} DESTINATION ${OVK_WORK_DIR}/build)
run(${OVK_WINE_RUN} ${OVK_WORK_DIR}/build/consumer.exe)
message("${output}")
