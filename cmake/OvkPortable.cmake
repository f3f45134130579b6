# ovk_portable_library(NAME SOURCES...): the portable code of a subsystem (codecs, colour
# reduction, transforms) as an object library, built on the application floor's headers only.
# The Windows build puts its objects into the DLL, and the subsystem's floor builds on it; the
# native build links it straight into tests, benchmarks and fuzzers.
function(ovk_portable_library name)
    add_library(${name} OBJECT ${ARGN})
    target_compile_definitions(${name} PRIVATE OVKWIN_BUILD)
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/app)
    target_link_libraries(${name} PUBLIC ovkbase PRIVATE ovk_warnings)
    if(WIN32)
        target_sources(ovkwin PRIVATE $<TARGET_OBJECTS:${name}>)
    endif()
endfunction()
