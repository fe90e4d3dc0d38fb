# Helpers shared by the source, test and benchmark folders.

# A library from every .cpp file of the calling folder.
function(bc_folder_library name)
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB _headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${_sources} ${_headers})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

# The core (settings, data files, mail profile, engine) must never pull in
# QtWidgets: it runs unattended and its tests run without a QApplication.
function(bc_forbid_widgets target)
  get_target_property(_libs ${target} LINK_LIBRARIES)
  foreach(_lib IN LISTS _libs)
    if(_lib MATCHES "Widgets|bc_windows")
      message(FATAL_ERROR "${target} must not link ${_lib}: the core library stays free of QtWidgets")
    endif()
  endforeach()
endfunction()
