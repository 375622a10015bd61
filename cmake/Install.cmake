# Installing like a Linux program: the executable in bin/, the two star
# catalogues in share/orbivista/, the desktop entry, the icons from 16 to 256
# pixels and the AppStream entry in the freedesktop places, the manual pages
# and the licence list and changelog in share/doc/orbivista/.  Included at the
# end of src/CMakeLists.txt, where the program's target exists;
# orbivista-render installs itself (tools/render/CMakeLists.txt).  The
# files themselves are in packaging/; cmake/Package.cmake makes the Debian
# package of the same tree.
include(GNUInstallDirs)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)

# Where the program looks for sao.pc and ppm.pc when the working directory
# has none: the data folder relative to the executable's folder
# (src/app/DataFolder.cpp), so the installed tree can be moved.
file(RELATIVE_PATH data_dir_from_bindir ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/orbivista)
if(TARGET orbivista_app)
  target_compile_definitions(orbivista_app PRIVATE
      ORBIVISTA_DATA_DIR_FROM_BINDIR="${data_dir_from_bindir}")
endif()

if(TARGET orbivista)
  install(TARGETS orbivista RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${CMAKE_SOURCE_DIR}/data/sao.pc ${CMAKE_SOURCE_DIR}/data/ppm.pc
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orbivista)

install(FILES ${packaging}/orbivista.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The icons: the window icon drawn afresh at each size by the image
# generator, in the icon theme's layout (<N>x<N>/apps/orbivista.png).
set(icon_dir ${CMAKE_BINARY_DIR}/icons)
set(icon_files "")
foreach(size 16 32 48 64 128 256)
  list(APPEND icon_files ${icon_dir}/${size}x${size}/apps/orbivista.png)
endforeach()
add_custom_command(OUTPUT ${icon_files}
  COMMAND orbivista-images --icons ${icon_dir}
  DEPENDS orbivista-images
  COMMENT "Drawing the desktop icons"
  VERBATIM)
add_custom_target(orbivista_desktop_icons ALL DEPENDS ${icon_files})
install(DIRECTORY ${icon_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# The licence list (cmake/Copyright.cmake), which also gives the AppStream
# entry its licence expression.
include(${CMAKE_SOURCE_DIR}/cmake/Copyright.cmake)
orbivista_write_copyright(${CMAKE_BINARY_DIR}/copyright ORBIVISTA_SPDX_LICENSE)

set(metainfo example.brellcove.orbivista.metainfo.xml)
configure_file(${packaging}/${metainfo}.in ${CMAKE_BINARY_DIR}/${metainfo} @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the Debian changelog, compressed as Debian ships them
# (-n: no name or time stamp, so the same input gives the same bytes).
set(compressed_dir ${CMAKE_BINARY_DIR}/packaging)
foreach(source man/orbivista.1 man/orbivista-render.1 changelog)
  configure_file(${packaging}/${source} ${compressed_dir}/${source} @ONLY)
  execute_process(COMMAND gzip -9nkf ${compressed_dir}/${source} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${compressed_dir}/man/orbivista.1.gz ${compressed_dir}/man/orbivista-render.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(ORBIVISTA_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/orbivista)
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${ORBIVISTA_DOC_DIR})
install(FILES ${compressed_dir}/changelog.gz DESTINATION ${ORBIVISTA_DOC_DIR}
        RENAME changelog.Debian.gz)
