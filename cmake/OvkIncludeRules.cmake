# ovk_check_includes(TARGET FOLDER [PUBLIC_ONLY]): before TARGET builds, every source and header
# of FOLDER is read for includes that climb out of the folder (and, with PUBLIC_ONLY, for the
# library's detail headers); one such include fails the build. The step runs again whenever a
# file of the folder changes, so a line added later is refused by the next build.
set(OVK_INCLUDE_CHECK ${CMAKE_CURRENT_LIST_DIR}/OvkIncludeCheck.cmake)

function(ovk_check_includes target folder)
    cmake_parse_arguments(PARSE_ARGV 2 check "PUBLIC_ONLY" "" "")
    file(GLOB_RECURSE files CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.hpp ${folder}/*.h
         ${folder}/*.c)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.includes-checked)
    set(public_only OFF)
    if(check_PUBLIC_ONLY)
        set(public_only ON)
    endif()
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DROOT=${folder} -DSTAMP=${stamp} -DPUBLIC_ONLY=${public_only}
                -P ${OVK_INCLUDE_CHECK}
        DEPENDS ${files} ${OVK_INCLUDE_CHECK}
        COMMENT "Checking the includes of ${folder}"
        VERBATIM)
    add_custom_target(${target}_includes DEPENDS ${stamp})
    add_dependencies(${target} ${target}_includes)
endfunction()
