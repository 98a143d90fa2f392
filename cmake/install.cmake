# Installs the shared library with its headers, a CMake package (find_package(lexivane) gives
# lexivane::lexivane), a pkg-config file, and the licences and README under the doc folder; with
# the Qt window built, also liblexivane-qt, its header, the package's qt component
# (find_package(lexivane COMPONENTS qt) gives lexivane::qt) and lexivane-qt.pc.
include(CMakePackageConfigHelpers)

install(TARGETS lexivane EXPORT lexivaneTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/lexivane
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h" PATTERN "qt.h" EXCLUDE)
install(FILES ${PROJECT_BINARY_DIR}/include/lexivane/version.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lexivane)

set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/lexivane)
install(EXPORT lexivaneTargets NAMESPACE lexivane:: DESTINATION ${config_dir})
if(TARGET lexivane_qt)
  install(TARGETS lexivane_qt EXPORT lexivaneQtTargets
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/include/lexivane/qt.h
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lexivane)
  # A separate export set, which lexivaneConfig.cmake loads only when the qt component is asked
  # for: a host of the core alone needs no Qt.
  install(EXPORT lexivaneQtTargets NAMESPACE lexivane:: DESTINATION ${config_dir})
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/lexivaneConfig.cmake.in
  ${PROJECT_BINARY_DIR}/lexivaneConfig.cmake INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/lexivaneConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/lexivaneConfig.cmake
              ${PROJECT_BINARY_DIR}/lexivaneConfigVersion.cmake
        DESTINATION ${config_dir})

# The pkg-config file finds the prefix from its own folder, so that the installed tree can be
# moved (cmake --install --prefix, DESTDIR) and still be right. Its depth depends on the libdir:
# lib/pkgconfig is two levels below the prefix, Debian's lib/x86_64-linux-gnu/pkgconfig three.
# A distribution that passes absolute install folders gets them written out as they are.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(pc_prefix "${CMAKE_INSTALL_PREFIX}")
  set(pc_libdir "${CMAKE_INSTALL_FULL_LIBDIR}")
  set(pc_includedir "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
else()
  file(RELATIVE_PATH pc_up "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
  string(REGEX REPLACE "/$" "" pc_up "${pc_up}")
  set(pc_prefix "\${pcfiledir}/${pc_up}")
  set(pc_libdir "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
  set(pc_includedir "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
set(pc_libs_private "")
foreach(lib IN LISTS CMAKE_DL_LIBS)
  string(APPEND pc_libs_private " -l${lib}")
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/cmake/lexivane.pc.in ${PROJECT_BINARY_DIR}/lexivane.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/lexivane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(TARGET lexivane_qt)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/lexivane-qt.pc.in ${PROJECT_BINARY_DIR}/lexivane-qt.pc
                 @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/lexivane-qt.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endif()

# The word lists built into the library and the front ends come with their sources' licences.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md
              ${PROJECT_SOURCE_DIR}/data/COPYING.scowl
              ${PROJECT_SOURCE_DIR}/data/COPYING.software-terms
              ${PROJECT_SOURCE_DIR}/data/COPYING.cspell-dicts
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
