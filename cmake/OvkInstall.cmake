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
install(FILES ${OVK_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT ovkwinTargets NAMESPACE ovkwin:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ovkwin)
configure_package_config_file(cmake/ovkwinConfig.cmake.in
    ${CMAKE_BINARY_DIR}/ovkwinConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ovkwin)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/ovkwinConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/ovkwinConfig.cmake ${CMAKE_BINARY_DIR}/ovkwinConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ovkwin)
