# The licence list of what a build embeds and installs: a machine-readable
# Debian copyright file (packaging/copyright/) written at configure time into
# the build tree, installed as share/doc/orbivista/copyright.
#
# It names the surface maps' GPL only when the build resamples real maps
# (ORBIVISTA_IMAGE_SOURCE_DIR holds some), and the embedded font under the
# licence the font file itself states, so the list follows the build's
# options instead of assuming them.

# Writes the list to `output`, and sets `spdx_variable` to the licence
# expression of the whole (for the AppStream entry).
function(orbivista_write_copyright output spdx_variable)
  set(parts ${CMAKE_SOURCE_DIR}/packaging/copyright)
  set(files_paragraphs "")
  set(license_paragraphs "")
  set(spdx "MIT AND BSD-3-Clause")

  set(source_maps "")
  if(ORBIVISTA_IMAGE_SOURCE_DIR)
    file(GLOB source_maps ${ORBIVISTA_IMAGE_SOURCE_DIR}/*.jpg)
  endif()
  if(source_maps)
    file(READ ${parts}/surface-maps.in paragraph)
    string(APPEND files_paragraphs "${paragraph}")
    file(READ ${parts}/license-gpl-2-plus.in paragraph)
    string(APPEND license_paragraphs "${paragraph}")
    string(APPEND spdx " AND GPL-2.0-or-later")
  endif()

  # The font's own name table says which licence it comes under.
  set(font ${ORBIVISTA_FONT_DIR}/LiberationSans-Regular.ttf)
  file(STRINGS ${font} font_licence REGEX "Open Font License|Liberation Fonts license"
       LIMIT_COUNT 1)
  file(STRINGS ${font} ORBIVISTA_FONT_VERSION REGEX "^Version [0-9.]+$" LIMIT_COUNT 1)
  string(REPLACE "Version " "" ORBIVISTA_FONT_VERSION "${ORBIVISTA_FONT_VERSION}")
  if(font_licence MATCHES "Open Font License")
    file(READ ${parts}/font-ofl.in paragraph)
    string(APPEND files_paragraphs "${paragraph}")
    file(READ ${parts}/license-ofl-1.1.in paragraph)
    string(APPEND license_paragraphs "${paragraph}")
    string(APPEND spdx " AND OFL-1.1")
  elseif(font_licence MATCHES "Liberation Fonts license")
    file(READ ${parts}/font-liberation1.in paragraph)
    string(APPEND files_paragraphs "${paragraph}")
    string(APPEND spdx " AND GPL-2.0-only WITH Font-exception-2.0")
  else()
    message(FATAL_ERROR "${font}: no licence statement found; the licence list cannot name it")
  endif()

  file(READ ${parts}/main.in text)
  string(REPLACE "@ORBIVISTA_COPYRIGHT_FILES@" "${files_paragraphs}" text "${text}")
  string(REPLACE "@ORBIVISTA_COPYRIGHT_LICENSES@" "${license_paragraphs}" text "${text}")
  file(CONFIGURE OUTPUT ${output} CONTENT "${text}" @ONLY)
  set(${spdx_variable} "${spdx}" PARENT_SCOPE)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${font} ${parts}/main.in ${parts}/surface-maps.in ${parts}/license-gpl-2-plus.in
               ${parts}/font-ofl.in ${parts}/license-ofl-1.1.in ${parts}/font-liberation1.in)
endfunction()
