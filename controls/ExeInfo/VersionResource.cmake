# SPDX-License-Identifier: MIT
# quillon_add_version_resource(<target> <definition>)
# Gives <target> the version resource described by <definition>: on Windows as a compiled .rc,
# elsewhere as the same VS_VERSIONINFO bytes in the ".quillon_version" section of the binary.
function(quillon_add_version_resource target definition)
  get_filename_component(definition "${definition}" ABSOLUTE)
  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_version")
  if(WIN32)
    set(generated "${out_dir}/version.rc")
    set(mode rc)
  else()
    set(generated "${out_dir}/version_resource.cpp")
    set(mode cpp)
  endif()
  add_custom_command(
    OUTPUT "${generated}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out_dir}"
    COMMAND quillon_verres_gen ${mode} "${definition}" "${generated}"
    DEPENDS quillon_verres_gen "${definition}"
    COMMENT "Version resource for ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE "${generated}")
endfunction()
