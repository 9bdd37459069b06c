# The program's layers: one library per source folder, each linked only to
# the layers below it.
#
#   app, check     the menu program and the disc check
#   entries        what each entry shows and what its click starts
#   controls       the skinned dialog, the hover button, the colour label
#   framework      windows, dialogs, message maps, the modal loop
#   system  res    the machine; the resources and their texts
#   base           the owners of every handle
#
# Each layer compiles against an include root of its own in the build tree,
# which holds a link to its folder; linking a layer to the ones below adds
# their roots. A layer therefore sees its own headers and those below it
# only, and an include that goes up a layer fails to compile.

set(SPLASH_LAYER_ROOTS ${CMAKE_BINARY_DIR}/layers)

# The include root of layer `layer`: a folder holding one link, named after
# the layer, to its source folder.
function(splash_layer_root layer result)
  set(root ${SPLASH_LAYER_ROOTS}/${layer})
  if(NOT EXISTS ${root}/${layer})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${layer} ${root}/${layer} RESULT linked SYMBOLIC)
    if(NOT linked STREQUAL "0" AND CMAKE_HOST_WIN32)
      # Windows makes a junction without the right to make symbolic links.
      file(TO_NATIVE_PATH ${CMAKE_SOURCE_DIR}/src/${layer} target)
      file(TO_NATIVE_PATH ${root}/${layer} link)
      execute_process(COMMAND cmd /c mklink /J "${link}" "${target}" OUTPUT_QUIET RESULT_VARIABLE linked)
    endif()
    if(NOT EXISTS ${root}/${layer})
      message(FATAL_ERROR "cannot link ${root}/${layer} to src/${layer}: ${linked}")
    endif()
  endif()
  set(${result} ${root} PARENT_SCOPE)
endfunction()

# splash_layers(SUFFIX suffix [DEFINITIONS def...] [EXCLUDE_FROM_ALL])
# Makes the libraries splash_<layer><suffix> of every layer but the
# programs'. The timed builds of the benchmark make a second set with the
# start-up clock switched on.
function(splash_layers)
  cmake_parse_arguments(PARSE_ARGV 0 arg "EXCLUDE_FROM_ALL" "SUFFIX" "DEFINITIONS")
  set(exclude "")
  if(arg_EXCLUDE_FROM_ALL)
    set(exclude EXCLUDE_FROM_ALL)
  endif()
  set(s "${arg_SUFFIX}")

  splash_layer_root(base base_root)
  add_library(splash_base${s} INTERFACE)
  target_include_directories(splash_base${s} INTERFACE ${base_root})
  target_compile_definitions(splash_base${s} INTERFACE ${arg_DEFINITIONS})

  # layer : the layers it uses : the system libraries it imports
  set(layers
    "system:base:advapi32"
    "res:base:user32"
    "framework:system:user32 gdi32"
    "controls:framework res:user32 gdi32"
    "entries:framework res system:advapi32 user32"
    "app:entries controls:user32 gdi32")
  foreach(entry IN LISTS layers)
    string(REPLACE ":" ";" parts "${entry}")
    list(GET parts 0 layer)
    list(GET parts 1 below)
    list(GET parts 2 imports)
    separate_arguments(below)
    separate_arguments(imports)
    list(TRANSFORM below APPEND "${s}")
    list(TRANSFORM below PREPEND "splash_")

    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${layer}/*.cpp)
    # The entry point belongs to the program, not to the library the tests link.
    list(FILTER sources EXCLUDE REGEX "/(WinMain|MenuApp)\\.cpp$")
    splash_layer_root(${layer} root)
    add_library(splash_${layer}${s} STATIC ${exclude} ${sources})
    target_include_directories(splash_${layer}${s} PUBLIC ${root})
    target_compile_options(splash_${layer}${s} PRIVATE ${SPLASH_WARNINGS})
    target_link_libraries(splash_${layer}${s} PUBLIC ${below} ${imports})
  endforeach()
endfunction()

# splash_menu_program(name suffix [EXCLUDE_FROM_ALL] [RESOURCES rc])
# The menu program over the app layer of set `suffix`, with its resources
# (or those of `rc`, which brings the menu's under another manifest).
function(splash_menu_program name suffix)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "RESOURCES")
  if(NOT arg_RESOURCES)
    set(arg_RESOURCES ${SPLASH_RESOURCES})
  endif()
  add_executable(${name} WIN32 ${arg_UNPARSED_ARGUMENTS} ${CMAKE_SOURCE_DIR}/src/app/WinMain.cpp
    ${CMAKE_SOURCE_DIR}/src/app/MenuApp.cpp ${arg_RESOURCES})
  target_compile_options(${name} PRIVATE ${SPLASH_WARNINGS})
  target_link_libraries(${name} PRIVATE splash_app${suffix})
endfunction()
