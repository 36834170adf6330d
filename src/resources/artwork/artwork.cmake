# The pictures of the bundles, drawn at build time by artgen from manifest.txt.

# The file writers Qt lacks (animated GIF, multi-size ICO), also linked by their test.
add_library(artgen_formats STATIC
    artwork/artgen/gifwriter.cpp artwork/artgen/gifwriter.h
    artwork/artgen/icowriter.cpp artwork/artgen/icowriter.h)
set_target_properties(artgen_formats PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
target_include_directories(artgen_formats PUBLIC ${CMAKE_CURRENT_LIST_DIR}/artgen)
target_link_libraries(artgen_formats PUBLIC Qt5::Gui)

add_executable(artgen
    artwork/artgen/main.cpp
    artwork/artgen/controller.cpp artwork/artgen/controller.h
    artwork/artgen/drawings.cpp artwork/artgen/drawings.h
    artwork/artgen/icons.cpp artwork/artgen/icons.h artwork/artgen/navicons.cpp
    artwork/artgen/painting.cpp artwork/artgen/painting.h
    artwork/artgen/panels.cpp artwork/artgen/panels.h
    artwork/artgen/strokefont.cpp artwork/artgen/strokefont.h)
set_target_properties(artgen PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
target_link_libraries(artgen PRIVATE artgen_formats)

set(ORADESK_ART_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/manifest.txt)
set(art_dir ${CMAKE_CURRENT_BINARY_DIR}/artwork)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ORADESK_ART_MANIFEST})

set(ORADESK_ART_updater)
set(ORADESK_ART_titlebar)
set(ORADESK_ART_app)
set(art_outputs)
file(STRINGS ${ORADESK_ART_MANIFEST} art_lines ENCODING UTF-8)
foreach(line IN LISTS art_lines)
    if(line MATCHES "^#" OR line STREQUAL "")
        continue()
    endif()
    string(REPLACE "\t" ";" fields "${line}")
    list(GET fields 0 bundle)
    list(GET fields 1 path)
    list(LENGTH fields count)
    set(compress "")
    if(count GREATER 4)
        list(GET fields 4 compress)
    endif()
    list(APPEND art_outputs "${art_dir}/${path}")
    list(APPEND ORADESK_ART_${bundle} "${path}|${art_dir}/${path}|${compress}")
endforeach()

# The calibration captions are set in the interface fonts when they were built.
set(art_fonts)
set(art_font_deps)
foreach(font "cjk|${ORADESK_CJK_REGULAR_SUBSET}" "latin|${ORADESK_LATIN_REGULAR_SUBSET}")
    string(REPLACE "|" ";" font "${font}")
    list(LENGTH font parts)
    if(parts EQUAL 2)
        list(GET font 0 key)
        list(GET font 1 file)
        list(APPEND art_fonts --font ${key}=${file})
        list(APPEND art_font_deps ${file})
    endif()
endforeach()

# Under the sanitizers the generator keeps the tests' leak suppressions: Qt's offscreen
# platform never frees its screen.
add_custom_command(OUTPUT ${art_outputs}
    COMMAND ${CMAKE_COMMAND} -E env LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp
            $<TARGET_FILE:artgen> ${ORADESK_ART_MANIFEST} ${art_dir} ${art_fonts}
    DEPENDS artgen ${ORADESK_ART_MANIFEST} ${art_font_deps}
    COMMENT "Drawing the artwork" VERBATIM)
