# Text pictures (pennakbd/res/README.md) turned into .bmp and .ico files at build time.
#
#   pennakey_text_pictures(OUTPUT_DIR dir OUTPUT_VARIABLE var
#                          [BMP a.txt b.txt ...] [ICO icon.txt ...])
#
# adds a rule for each text file that writes dir/<name>.bmp (BMP) or dir/<name>.ico (ICO) with
# the pennakey-picture converter, again whenever the text file or the converter changes, and sets
# var in the caller to the files made: the bitmaps, then the icons, each in the order given.
# Relative paths start in the calling folder's source (text files) and build (dir) folders. The
# rules run when a target of the same folder uses the files, for example through
# pennakey_embed_files.
#
# tools/picture/CMakeLists.txt, which defines the converter, includes this file.

function(pennakey_text_pictures)
    cmake_parse_arguments(PICTURES "" "OUTPUT_DIR;OUTPUT_VARIABLE" "BMP;ICO" ${ARGN})
    if(NOT PICTURES_OUTPUT_DIR OR NOT PICTURES_OUTPUT_VARIABLE OR
       (NOT PICTURES_BMP AND NOT PICTURES_ICO))
        message(FATAL_ERROR
            "pennakey_text_pictures needs OUTPUT_DIR, OUTPUT_VARIABLE and BMP or ICO files")
    endif()
    get_filename_component(folder "${PICTURES_OUTPUT_DIR}" ABSOLUTE
        BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
    file(MAKE_DIRECTORY "${folder}")
    set(outputs "")
    foreach(kind IN ITEMS bmp ico)
        string(TOUPPER "${kind}" key)
        foreach(file IN LISTS PICTURES_${key})
            get_filename_component(path "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
            get_filename_component(name "${path}" NAME_WLE)
            set(output "${folder}/${name}.${kind}")
            if(output IN_LIST outputs)
                message(FATAL_ERROR "pennakey_text_pictures: two pictures make ${output}")
            endif()
            add_custom_command(OUTPUT "${output}"
                COMMAND pennakey-picture ${kind} "${path}" "${output}"
                DEPENDS "${path}" pennakey-picture
                COMMENT "Drawing ${name}.${kind}"
                VERBATIM)
            list(APPEND outputs "${output}")
        endforeach()
    endforeach()
    set(${PICTURES_OUTPUT_VARIABLE} "${outputs}" PARENT_SCOPE)
endfunction()
