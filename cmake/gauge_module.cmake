# orvane_module(NAME DIR VERSION): one gauge module from the framework and
# the gauge files of DIR. Natively a shared object exporting only ImportTable
# and Linkage; in the Windows build NAME.gau with a .def file, a version
# resource and the module's bitmaps as RT_BITMAP resources.
function(orvane_module NAME DIR VERSION)
  file(GLOB gauge_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${DIR}/*.cpp)
  add_library(${NAME} SHARED ${gauge_sources} ${CMAKE_SOURCE_DIR}/framework/module.cpp)
  target_include_directories(${NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  # Plain C-like code: no exceptions, no RTTI, nothing of the C++ runtime.
  target_compile_options(${NAME} PRIVATE -Wall -Wextra -Werror -fno-exceptions -fno-rtti)
  set_target_properties(${NAME} PROPERTIES PREFIX "" OUTPUT_NAME ${NAME}
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/gauges
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/gauges)
  if(WIN32)
    string(REPLACE "." "," version_commas ${VERSION})
    set(MODULE_NAME ${NAME})
    set(MODULE_VERSION ${VERSION})
    set(MODULE_VERSION_COMMAS ${version_commas})
    set(bitmaps_rc ${ORVANE_BITMAPS}/${NAME}/bitmaps.rc)
    if(EXISTS ${bitmaps_rc})
      set(MODULE_BITMAPS_INCLUDE "#include \"${bitmaps_rc}\"")
    else()
      message(WARNING "${NAME}: no bitmaps at ${bitmaps_rc}; building without them")
      set(MODULE_BITMAPS_INCLUDE "")
    endif()
    configure_file(${CMAKE_SOURCE_DIR}/cmake/module.def.in ${CMAKE_BINARY_DIR}/${NAME}.def @ONLY)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/module.rc.in ${CMAKE_BINARY_DIR}/${NAME}.rc @ONLY)
    target_sources(${NAME} PRIVATE ${CMAKE_BINARY_DIR}/${NAME}.def ${CMAKE_BINARY_DIR}/${NAME}.rc)
    if(EXISTS ${bitmaps_rc})
      # Relink when a bitmap is redrawn, not only when the list changes.
      file(GLOB bitmap_files CONFIGURE_DEPENDS ${ORVANE_BITMAPS}/${NAME}/*.bmp)
      set_property(SOURCE ${CMAKE_BINARY_DIR}/${NAME}.rc APPEND PROPERTY OBJECT_DEPENDS
        ${bitmaps_rc} ${bitmap_files})
    endif()
    set_target_properties(${NAME} PROPERTIES SUFFIX ".gau")
    # SSE2 doubles agree bit for bit with the native build; no unwind tables
    # and unused sections dropped keep the module to a few kilobytes of code.
    target_compile_options(${NAME} PRIVATE -msse2 -mfpmath=sse -Os
      -fno-asynchronous-unwind-tables -fno-unwind-tables -ffunction-sections -fdata-sections)
    # The module needs no C run-time start-up: its data is constant-initialised
    # and its entry point is DllMain itself (returns TRUE). The C library
    # comes from the system's msvcrt.dll, libgcc's helpers are linked in.
    target_link_options(${NAME} PRIVATE -static -static-libgcc -static-libstdc++ -nostartfiles
      -Wl,-e,_DllMain@12 -Wl,--no-insert-timestamp -Wl,--gc-sections -s)
  else()
    set_target_properties(${NAME} PROPERTIES SUFFIX ".so"
      CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    target_link_options(${NAME} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()
