# The ovkwin DLL, assembled from the subsystem folders. Each folder is a floor: an object library
# ovk_<folder> whose include path holds its own folder and the floors below it only, so that a
# header of a higher floor does not compile there. Lowest first: the stand-ins and ovkres, app,
# imagefmt, window, graphics, ibasectl, canvas, frame, then advctl, container and toolbar side by
# side, then dragdrop. A floor's public headers are the i*.hpp files directly in its folder
# (private headers live in a detail/ subfolder and are neither installed nor in the umbrella
# header).
add_library(ovkwin SHARED)
add_library(ovkwin::ovkwin ALIAS ovkwin)
# The container's message interface is the platform's, kept with its stand-in, and public.
target_link_libraries(ovkwin
    PUBLIC ovkbase $<BUILD_INTERFACE:ovkcnrmsg>
    PRIVATE user32 gdi32 kernel32 comctl32 comdlg32 ole32 oleaut32 uuid shell32 advapi32)
target_include_directories(ovkwin PUBLIC
    $<BUILD_INTERFACE:${CMAKE_BINARY_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/ovkwin>)
# Every object comes from the floors, so the DLL has no source of its own to name its linker.
set_target_properties(ovkwin PROPERTIES PREFIX "" IMPORT_PREFIX "lib" LINKER_LANGUAGE CXX)

# ovk_floor(NAME [BELOW floors...] [LIBS targets...] SOURCES files...): the folder's floor,
# ovk_NAME, built on the floors named by BELOW (and, through them, on every floor below those)
# and on the interface targets named by LIBS. No include of the folder may climb out of it by
# path, which would pass by the include path's rule. Its objects go into the DLL; its folder goes on the
# DLL's include path for the programs built on the DLL, which see every public header.
function(ovk_floor name)
    cmake_parse_arguments(PARSE_ARGV 1 floor "" "" "BELOW;LIBS;SOURCES")
    set(target ovk_${name})
    add_library(${target} OBJECT ${floor_SOURCES})
    target_compile_definitions(${target} PRIVATE OVKWIN_BUILD)
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    ovk_list_floor_objects(${name} "${floor_BELOW}" ${target})
    foreach(lib IN LISTS floor_LIBS)
        # A subsystem's portable code belongs to its floor.
        if(lib MATCHES "_portable$")
            ovk_list_floor_objects(${name} "${floor_BELOW}" ${lib})
        endif()
    endforeach()
    list(TRANSFORM floor_BELOW PREPEND ovk_)
    target_link_libraries(${target} PUBLIC ovkbase ${floor_BELOW} ${floor_LIBS}
                                    PRIVATE ovk_warnings)
    ovk_check_includes(${target} ${CMAKE_CURRENT_SOURCE_DIR})
    target_sources(ovkwin PRIVATE $<TARGET_OBJECTS:${target}>)
    target_include_directories(ovkwin PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/i*.hpp)
    set_property(GLOBAL APPEND PROPERTY OVK_PUBLIC_HEADERS ${headers})
endfunction()

# Lists the target's objects as the floor's, one line each ("floor below,... object"), for the
# check of the floors' calls.
function(ovk_list_floor_objects name below target)
    string(REPLACE ";" "," below "${below}")
    if(below STREQUAL "")
        set(below "-")
    endif()
    set_property(GLOBAL APPEND_STRING PROPERTY OVK_FLOOR_OBJECTS
                 "${name} ${below} $<JOIN:$<TARGET_OBJECTS:${target}>,\n${name} ${below} >\n")
endfunction()

# The floors' rule for calls (cmake/OvkFloorCallsCheck.cmake), checked whenever the DLL is linked
# again: a floor uses only what it and the floors below it define.
set(OVK_FLOOR_CALLS_CHECK ${CMAKE_CURRENT_LIST_DIR}/OvkFloorCallsCheck.cmake)

function(ovk_check_floor_calls)
    get_property(objects GLOBAL PROPERTY OVK_FLOOR_OBJECTS)
    set(manifest ${CMAKE_BINARY_DIR}/floor-objects.txt)
    file(GENERATE OUTPUT ${manifest} CONTENT "${objects}")
    get_filename_component(nm ${CMAKE_NM} NAME)
    string(REGEX REPLACE "nm(\\.exe)?$" "c++filt" cxxfilt ${nm})
    find_program(OVK_CXXFILT NAMES ${cxxfilt} c++filt REQUIRED)
    set(checked ${CMAKE_BINARY_DIR}/floor-calls.checked)
    add_custom_command(OUTPUT ${checked}
        COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DCXXFILT=${OVK_CXXFILT} -DMANIFEST=${manifest}
                -DSTAMP=${checked} -P ${OVK_FLOOR_CALLS_CHECK}
        DEPENDS ovkwin $<TARGET_FILE:ovkwin> ${OVK_FLOOR_CALLS_CHECK}
                ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/OvkFloorCallsCheck.awk ${manifest}
        COMMENT "Checking that no floor calls a higher one"
        VERBATIM)
    add_custom_target(ovk_floor_calls ALL DEPENDS ${checked})
endfunction()

# The umbrella header includes every public header that exists.
function(ovk_finish_library)
    ovk_check_floor_calls()
    get_property(headers GLOBAL PROPERTY OVK_PUBLIC_HEADERS)
    list(SORT headers)
    set(text "// Every public header of the ovkwin library.\n#pragma once\n#include <ovkbase.hpp>\n")
    foreach(h IN LISTS headers)
        get_filename_component(name ${h} NAME)
        string(APPEND text "#include <${name}>\n")
    endforeach()
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/include/ovkwin.hpp CONTENT "${text}")
    install(FILES ${headers} ${CMAKE_BINARY_DIR}/include/ovkwin.hpp
            DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ovkwin)
endfunction()
