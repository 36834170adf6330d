# The interface fonts, subset at build time from Debian's free fonts with fonttools'
# pyftsubset. The Chinese weights keep only the characters the sources use; the Latin
# font stands in for the title bar's and the updater's families. A missing font package
# or subsetter leaves those resources out, and the font loaders fall back to the default.

find_program(ORADESK_PYFTSUBSET pyftsubset)
find_package(Python3 COMPONENTS Interpreter)
set(font_dir ${CMAKE_CURRENT_BINARY_DIR}/fonts)
file(MAKE_DIRECTORY ${font_dir})
set(font_search PATHS /usr/share/fonts/opentype/noto /usr/share/fonts/truetype/noto
    /usr/share/fonts/truetype/dejavu NO_DEFAULT_PATH)
set(subset_options --layout-features=* --name-IDs=0,1,2,3,4,5,6,13,14 --no-hinting)

# Thin and Medium come with fonts-noto-cjk-extra; without it the nearest weight, Regular.
find_file(ORADESK_CJK_THIN NAMES NotoSansCJK-Thin.ttc NotoSansCJK-Regular.ttc ${font_search})
find_file(ORADESK_CJK_REGULAR NAMES NotoSansCJK-Regular.ttc ${font_search})
find_file(ORADESK_CJK_MEDIUM NAMES NotoSansCJK-Medium.ttc NotoSansCJK-Regular.ttc ${font_search})
find_file(ORADESK_LATIN_REGULAR NAMES NotoSans-Regular.ttf DejaVuSans.ttf ${font_search})
find_file(ORADESK_LATIN_MEDIUM
    NAMES NotoSans-Medium.ttf NotoSans-SemiBold.ttf NotoSans-Bold.ttf DejaVuSans-Bold.ttf
    ${font_search})

set(ORADESK_FONT_updater)
set(ORADESK_FONT_titlebar)
set(ORADESK_FONT_app)
set(ORADESK_CJK_FONTS 0)
set(ORADESK_CJK_REGULAR_SUBSET "")
set(ORADESK_LATIN_REGULAR_SUBSET "")
set(ORADESK_FONT_CHARSET ${font_dir}/interface_chars.txt)

if(NOT ORADESK_PYFTSUBSET OR NOT Python3_Interpreter_FOUND)
    message(NOTICE "Fonts: pyftsubset (fonttools) or python3 not found; the font resources "
        "are left out and the interface uses the default font")
    return()
endif()

# The characters of the interface, gathered again whenever a source, form or translation
# changes; the file itself changes only when a character is added or removed.
file(GLOB_RECURSE interface_sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.h ${CMAKE_SOURCE_DIR}/src/*.ui
    ${CMAKE_SOURCE_DIR}/translations/*.ts)
set(charset_script ${CMAKE_CURRENT_LIST_DIR}/interface_chars.py)
add_custom_command(OUTPUT ${ORADESK_FONT_CHARSET}
    COMMAND Python3::Interpreter ${charset_script} ${ORADESK_FONT_CHARSET}
            ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/translations
    DEPENDS ${charset_script} ${interface_sources}
    COMMENT "Gathering the interface characters" VERBATIM)

if(ORADESK_CJK_THIN AND ORADESK_CJK_REGULAR AND ORADESK_CJK_MEDIUM)
    set(ORADESK_CJK_FONTS 1)
    foreach(weight Thin Regular Medium)
        string(TOUPPER ${weight} key)
        set(out ${font_dir}/NotoSansSC-${weight}.ttf)
        # Face 2 of each Noto Sans CJK collection is the Simplified Chinese one.
        add_custom_command(OUTPUT ${out}
            COMMAND ${ORADESK_PYFTSUBSET} ${ORADESK_CJK_${key}} --font-number=2
                    --text-file=${ORADESK_FONT_CHARSET} --output-file=${out} ${subset_options}
            DEPENDS ${ORADESK_CJK_${key}} ${ORADESK_FONT_CHARSET}
            COMMENT "Subsetting NotoSansSC-${weight}.ttf" VERBATIM)
        list(APPEND ORADESK_FONT_app "font/NotoSansSC/NotoSansSC-${weight}.ttf|${out}|")
    endforeach()
    set(ORADESK_CJK_REGULAR_SUBSET ${font_dir}/NotoSansSC-Regular.ttf)
else()
    message(NOTICE "Fonts: Noto Sans CJK (fonts-noto-cjk) not found; the NotoSansSC "
        "resources are left out and the pages use the default font")
endif()

if(ORADESK_LATIN_REGULAR AND ORADESK_LATIN_MEDIUM)
    set(latin U+0020-007E,U+00A0-017F,U+2010-2027,U+2030-203A,U+20AC,U+2122)
    foreach(font "Regular|${ORADESK_LATIN_REGULAR}" "Medium|${ORADESK_LATIN_MEDIUM}")
        string(REPLACE "|" ";" font "${font}")
        list(GET font 0 weight)
        list(GET font 1 source)
        set(out ${font_dir}/Latin-${weight}.ttf)
        add_custom_command(OUTPUT ${out}
            COMMAND ${ORADESK_PYFTSUBSET} ${source} --unicodes=${latin} --output-file=${out}
                    ${subset_options}
            DEPENDS ${source} COMMENT "Subsetting the Latin ${weight} font" VERBATIM)
        list(APPEND ORADESK_FONT_updater "Assets/Rubik-${weight}.ttf|${out}|compress")
    endforeach()
    set(ORADESK_LATIN_REGULAR_SUBSET ${font_dir}/Latin-Regular.ttf)
    list(APPEND ORADESK_FONT_titlebar "font/segoeui.ttf|${ORADESK_LATIN_REGULAR_SUBSET}|compress")
else()
    message(NOTICE "Fonts: no Noto Sans or DejaVu Sans found; the title bar and updater "
        "fonts are left out and those windows use the default font")
endif()
