# cmake --install: every public header in one include folder, import libraries, the DLLs (with
# the mingw runtime they need) and a CMake package, so that find_package(ovkwin) works.
if(NOT WIN32)
    return()
endif()
include(CMakePackageConfigHelpers)
install(TARGETS ovkwin ovkbase EXPORT ovkwinTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS ovkres RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The platform modules that the library loads by name at run time (the thunk library, the help
# viewer, the modules that register the outside window classes) go wherever the library goes:
# built with it, and into bin/ beside it. Neither their headers nor their import libraries are
# installed: a program reaches them only through the library's own classes.
set(OVK_PLATFORM_MODULES ovkthk libhvx32 ovkcnr ovkctls)
add_dependencies(ovkwin ${OVK_PLATFORM_MODULES})
install(TARGETS ${OVK_PLATFORM_MODULES} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${OVK_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT ovkwinTargets NAMESPACE ovkwin:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ovkwin)
configure_package_config_file(cmake/ovkwinConfig.cmake.in
    ${CMAKE_BINARY_DIR}/ovkwinConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ovkwin)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/ovkwinConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/ovkwinConfig.cmake ${CMAKE_BINARY_DIR}/ovkwinConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ovkwin)
