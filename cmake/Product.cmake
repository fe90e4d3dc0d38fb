# What the build fixes in the program: where the manual is installed, the
# product's title and its maker's and distributor's names and web pages.
# Packagers set these with -D. An address without a scheme is a page beside
# the manual (for instance "Brindlecast.html#about"), so every default works
# without a network.

include(GNUInstallDirs)
# Debian keeps a package's documents under its package name, not the
# project's; a folder given with -DCMAKE_INSTALL_DOCDIR still wins.
get_property(_bc_docdir CACHE CMAKE_INSTALL_DOCDIR PROPERTY VALUE)
if(NOT _bc_docdir)
  set(CMAKE_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/brindlecast")
  GNUInstallDirs_get_absolute_install_dir(CMAKE_INSTALL_FULL_DOCDIR CMAKE_INSTALL_DOCDIR DOCDIR)
endif()

set(BC_PRODUCT_TITLE "Brindlecast" CACHE STRING "Product title shown in the About window")
set(BC_DISTRIBUTOR_NAME "Quorin" CACHE STRING "Name of the distributor shown in the About window")
set(BC_ONLINE_MANUAL_URL "Brindlecast.html" CACHE STRING "Address of the online manual (Help > Online Help)")
set(BC_MAKER_HOME_URL "Brindlecast.html#about" CACHE STRING "Address of the maker's home page")
set(BC_PRODUCT_HOME_URL "Brindlecast.html#about" CACHE STRING "Address of the product's home page")
set(BC_DISTRIBUTOR_HOME_URL "Brindlecast.html#about" CACHE STRING "Address of the distributor's home page")
set(BC_HELP_FILE_PATH "${CMAKE_INSTALL_FULL_DOCDIR}/Brindlecast.html")

configure_file(${PROJECT_SOURCE_DIR}/cmake/Build_Config.h.in
               ${PROJECT_BINARY_DIR}/generated/windows/Build_Config.h @ONLY)
