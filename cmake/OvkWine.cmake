# Running the Windows programs of this build: a Wine prefix inside the build tree, never ~/.wine.
if(WIN32)
    set(OVK_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    # The mingw runtime DLLs are copied next to the programs, and their folders are on WINEPATH
    # as well, so that programs run from anywhere in the build tree find them.
    set(OVK_RUNTIME_DLLS)
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(IS_ABSOLUTE "${path}" AND EXISTS "${path}")
            list(APPEND OVK_RUNTIME_DLLS ${path})
        endif()
    endforeach()
    set(OVK_TOOLS ${CMAKE_CURRENT_LIST_DIR}/../tools)
    set(OVK_WINEPATH)
    foreach(dll IN LISTS OVK_RUNTIME_DLLS)
        get_filename_component(dir ${dll} DIRECTORY)
        file(COPY ${dll} DESTINATION ${CMAKE_BINARY_DIR}/bin)
        list(APPEND OVK_WINEPATH "Z:${dir}")
    endforeach()
    list(REMOVE_DUPLICATES OVK_WINEPATH)
    list(JOIN OVK_WINEPATH ";" OVK_WINEPATH)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
                   @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                   GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    # ctest runs the test programs through wine-test, which retries a program that Wine failed
    # to start and nothing else.
    set(OVK_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
    # Where wine-test writes down each program it ran a second time; tools/run-tests prints it.
    set(OVK_RETRY_LOG ${CMAKE_BINARY_DIR}/wine-retries.log)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/../tools/wine-test.in ${CMAKE_BINARY_DIR}/wine-test
                   @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                   GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-test)
endif()
