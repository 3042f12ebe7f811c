# Folders are layers, bottom to top: core, res, update and store, ui, app.
# A file may include the headers of its own layer and of the layers below it,
# never of one beside or above it. Every target sees the whole repository
# root (no per-layer include roots, no links), so the compiler alone cannot
# refuse a wrong include: this script does, reading each layer folder's
# '#include "folder/..."' lines.
#
#   cmake -DLUMAROTH_ROOT=<repository> [-DLUMAROTH_STAMP=<file>] -P check_layers.cmake
#
# It names every wrong include as file:line and fails; when all are right it
# touches the stamp file (the build's record that the check ran).
cmake_minimum_required(VERSION 3.25)

if(NOT LUMAROTH_ROOT)
  get_filename_component(LUMAROTH_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()

# What each layer may include besides itself.
set(below_core "")
set(below_res core)
set(below_update core res)
set(below_store core)
set(below_ui core res store)
set(below_app core res update store ui)
set(layers core res update store ui app)
# Folders that are no layer and that product code must not include either.
set(outside tests tools installer cmake)

set(failures "")
foreach(layer ${layers})
  file(GLOB_RECURSE files LIST_DIRECTORIES false
       "${LUMAROTH_ROOT}/${layer}/*.h" "${LUMAROTH_ROOT}/${layer}/*.cpp" "${LUMAROTH_ROOT}/${layer}/*.rc")
  list(SORT files)
  foreach(path ${files})
    file(RELATIVE_PATH name "${LUMAROTH_ROOT}" "${path}")
    # One list element per line: the characters that CMake's lists treat
    # specially are taken out first (only the include lines matter here).
    file(READ "${path}" text)
    string(REGEX REPLACE "[][;\\]" "_" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^/\"]+)/[^\"]*\"")
        continue()
      endif()
      set(target "${CMAKE_MATCH_1}")
      if(target STREQUAL layer)
        continue()
      endif()
      list(FIND below_${layer} "${target}" allowed)
      list(FIND layers "${target}" isLayer)
      list(FIND outside "${target}" isOutside)
      if(allowed EQUAL -1 AND (NOT isLayer EQUAL -1 OR NOT isOutside EQUAL -1))
        string(STRIP "${line}" shown)
        list(APPEND failures "${name}:${number}: ${layer}/ may not include ${target}/: ${shown}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n" report)
  message(FATAL_ERROR "includes against the layer order (core, res, update and store, ui, app):\n${report}")
endif()
if(LUMAROTH_STAMP)
  file(TOUCH "${LUMAROTH_STAMP}")
endif()
