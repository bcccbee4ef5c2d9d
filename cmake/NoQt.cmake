# SPDX-License-Identifier: GPL-3.0-or-later
# karvex_forbid_qt(<target>): adds a build step that fails when any source of
# <target>, or any of the project's headers it includes, includes a Qt header. The
# plain-logic libraries link no Qt, and this keeps it that way even if a Qt include path
# leaks in through another target.
function(karvex_forbid_qt target)
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  set(files "")
  foreach(src IN LISTS sources)
    cmake_path(ABSOLUTE_PATH src BASE_DIRECTORY "${source_dir}")
    list(APPEND files "${src}")
  endforeach()
  # Quoted includes are looked for from the project's one include root; the check runs again
  # whenever one of the project's headers changes.
  set(dirs "${PROJECT_SOURCE_DIR}")
  set(headers "")
  foreach(folder IN ITEMS core platform dialogs mainwindow search trucks viewers cli fuzz)
    file(GLOB folder_headers CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${folder}/*.h")
    list(APPEND headers ${folder_headers})
  endforeach()
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}_no_qt.stamp")
  add_custom_command(
    OUTPUT "${stamp}"
    COMMAND "${CMAKE_COMMAND}" "-DFILES=${files}" "-DDIRS=${dirs}" "-DSTAMP=${stamp}"
            -P "${PROJECT_SOURCE_DIR}/cmake/CheckNoQt.cmake"
    DEPENDS ${files} ${headers} "${PROJECT_SOURCE_DIR}/cmake/CheckNoQt.cmake"
    COMMENT "Checking that ${target} includes no Qt header"
    VERBATIM)
  add_custom_target(${target}_no_qt DEPENDS "${stamp}")
  add_dependencies(${target} ${target}_no_qt)
endfunction()
