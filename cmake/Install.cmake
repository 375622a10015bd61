# Installing like a Linux program: the executable in bin/, the two star
# catalogues in share/orbivista/, a desktop entry and the 64 x 64 icon in
# the freedesktop places, the licence list in share/doc/orbivista/.  Included at the end of src/CMakeLists.txt, where
# the program's target exists; orbivista-render installs itself
# (tools/render/CMakeLists.txt).
include(GNUInstallDirs)

# Where the program looks for sao.pc and ppm.pc when the working directory
# has none.
set(ORBIVISTA_INSTALLED_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/orbivista)
if(TARGET orbivista_app)
  target_compile_definitions(orbivista_app PRIVATE
      ORBIVISTA_INSTALLED_DATA_DIR="${ORBIVISTA_INSTALLED_DATA_DIR}")
endif()

if(TARGET orbivista)
  install(TARGETS orbivista RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${CMAKE_SOURCE_DIR}/data/sao.pc ${CMAKE_SOURCE_DIR}/data/ppm.pc
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orbivista)

# The desktop entry, written into the build tree at configure time.
set(desktop_entry ${CMAKE_BINARY_DIR}/orbivista.desktop)
file(CONFIGURE OUTPUT ${desktop_entry} CONTENT "[Desktop Entry]
Type=Application
Name=Orbivista
GenericName=Solar System Model
Comment=A real-time 3D model of the solar system
Exec=orbivista
Icon=orbivista
Terminal=false
Categories=Education;Science;Astronomy;
")
install(FILES ${desktop_entry} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The window icon, generated with the embedded images (resources/images.list,
# ICON/101) and installed under the program's name.
install(FILES ${CMAKE_BINARY_DIR}/resources/images/101.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps
        RENAME orbivista.png)

# The licence list (cmake/Copyright.cmake) in the place Debian gives it.
include(${CMAKE_SOURCE_DIR}/cmake/Copyright.cmake)
set(ORBIVISTA_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/orbivista)
orbivista_write_copyright(${CMAKE_BINARY_DIR}/copyright)
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${ORBIVISTA_DOC_DIR})
