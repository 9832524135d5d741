# The modules form layers, lowest first: platform, i18n, render, text, ui,
# setup, app. A module may include its own headers and those of the layers
# below it; setup may also include the state record, app/setup_state.h. The
# build holds to that: there is no include path to the source root. Every
# header is included as "folder/header.h", and each target is given a folder
# of its own in the build tree, holding a link named like the source folder
# (or file) it may see; linking a library passes its folder on, and nothing
# else. An include against the layers then fails to build instead of quietly
# tying a lower module to a higher one.

# torvanel_expose(<target> <PUBLIC|PRIVATE|INTERFACE> <path>...): the target,
# and unless PRIVATE whatever links it, sees each path of the source tree (a
# folder, or one file) under its own name.
function(torvanel_expose target scope)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  foreach(path ${ARGN})
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${path})
      message(FATAL_ERROR "torvanel_expose(${target}): no ${path} in the source tree")
    endif()
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()
