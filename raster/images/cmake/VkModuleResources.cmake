# vk_module_resources(<target> <resource script>)
#
# Makes OBJECT library <target> that puts the files named by a resource script
# into the module linking it. The script holds lines of the form
#     <id> <TYPE> "<file>"
# with file names relative to the script's folder. On Windows the script is
# compiled as it is (windres), so the module carries real resources. Natively
# the same lines are turned at build time into a source file holding the
# bytes, which registers them with the native resource calls of vk_images.
if(WIN32)
  enable_language(RC)
endif()

set(VK_EMBED_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/EmbedResources.cmake" CACHE INTERNAL "")

# Files a resource script names, as absolute paths.
function(vk_resource_files script out)
  get_filename_component(base "${script}" DIRECTORY)
  file(STRINGS "${script}" lines REGEX "^[ \t]*[0-9]+[ \t]+[A-Za-z0-9_]+[ \t]+\"[^\"]+\"")
  set(files "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*[0-9]+[ \t]+[A-Za-z0-9_]+[ \t]+\"([^\"]+)\".*" "\\1" file "${line}")
    if(NOT IS_ABSOLUTE "${file}")
      set(file "${base}/${file}")
    endif()
    list(APPEND files "${file}")
  endforeach()
  set(${out} "${files}" PARENT_SCOPE)
endfunction()

function(vk_module_resources target script)
  get_filename_component(script "${script}" ABSOLUTE)
  get_filename_component(base "${script}" DIRECTORY)
  vk_resource_files("${script}" files)
  if(WIN32)
    add_library(${target} OBJECT "${script}")
    # windres looks for the named files along the include path.
    target_include_directories(${target} PRIVATE "${base}")
    set_source_files_properties("${script}" PROPERTIES OBJECT_DEPENDS "${files}")
  else()
    set(generated "${CMAKE_CURRENT_BINARY_DIR}/${target}_data.cpp")
    add_custom_command(
      OUTPUT "${generated}"
      COMMAND "${CMAKE_COMMAND}" "-DSCRIPT=${script}" "-DOUTPUT=${generated}"
              -P "${VK_EMBED_SCRIPT}"
      DEPENDS "${script}" ${files} "${VK_EMBED_SCRIPT}"
      COMMENT "Embedding the resources of ${script}"
      VERBATIM)
    add_library(${target} OBJECT "${generated}")
    target_link_libraries(${target} PUBLIC vk_images)
  endif()
endfunction()
