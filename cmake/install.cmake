# Installs the shared library with its headers, a CMake package (find_package(lexivane) gives
# lexivane::lexivane), a pkg-config file, and the licences and README under the doc folder.
include(CMakePackageConfigHelpers)

install(TARGETS lexivane EXPORT lexivaneTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/lexivane
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_BINARY_DIR}/include/lexivane/version.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lexivane)

set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/lexivane)
install(EXPORT lexivaneTargets NAMESPACE lexivane:: DESTINATION ${config_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/lexivaneConfig.cmake.in
  ${PROJECT_BINARY_DIR}/lexivaneConfig.cmake INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/lexivaneConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/lexivaneConfig.cmake
              ${PROJECT_BINARY_DIR}/lexivaneConfigVersion.cmake
        DESTINATION ${config_dir})

configure_file(${PROJECT_SOURCE_DIR}/cmake/lexivane.pc.in ${PROJECT_BINARY_DIR}/lexivane.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/lexivane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md
              ${PROJECT_SOURCE_DIR}/data/COPYING.scowl
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
