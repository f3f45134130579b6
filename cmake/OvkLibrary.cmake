# The ovkwin DLL, assembled from the subsystem folders. Each subsystem's CMakeLists.txt calls
# ovk_library_sources(); its public headers are the i*.hpp files directly in its folder (private
# headers live in a detail/ subfolder and are neither installed nor in the umbrella header).
add_library(ovkwin SHARED)
add_library(ovkwin::ovkwin ALIAS ovkwin)
target_compile_definitions(ovkwin PRIVATE OVKWIN_BUILD)
target_link_libraries(ovkwin
    PUBLIC ovkbase
    PRIVATE ovk_warnings
            user32 gdi32 kernel32 comctl32 comdlg32 ole32 oleaut32 uuid shell32 advapi32)
target_include_directories(ovkwin PUBLIC
    $<BUILD_INTERFACE:${CMAKE_BINARY_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/ovkwin>)
# The container's message interface is the platform's, kept with its stand-in, and public.
target_link_libraries(ovkwin PUBLIC $<BUILD_INTERFACE:ovkcnrmsg>)
set_target_properties(ovkwin PROPERTIES PREFIX "" IMPORT_PREFIX "lib")

function(ovk_library_sources)
    target_sources(ovkwin PRIVATE ${ARGN})
    target_include_directories(ovkwin PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/i*.hpp)
    set_property(GLOBAL APPEND PROPERTY OVK_PUBLIC_HEADERS ${headers})
endfunction()

# The umbrella header includes every public header that exists.
function(ovk_finish_library)
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

