# Script: cmake -DSOURCE_DIR=... -DDEST_DIR=... -P CopySources.cmake, or
# include()d with both set (BuildDebs.cmake).
# Copies the sources to DEST_DIR, which it empties first: what git tracks or
# would track (not ignored), as it is in the working tree; outside a git
# checkout, everything but build/ and .git.  The package builds (the deb
# presets and .ci/clean-room) start from such a copy: no build tree or other
# ignored file gets into it.
file(REMOVE_RECURSE "${DEST_DIR}")
execute_process(COMMAND git -C "${SOURCE_DIR}" ls-files --cached --others --exclude-standard
    RESULT_VARIABLE rc OUTPUT_VARIABLE files ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
if(rc EQUAL 0)
    string(REPLACE "\n" ";" files "${files}")
    foreach(f IN LISTS files)
        if(NOT f STREQUAL "" AND NOT IS_DIRECTORY "${SOURCE_DIR}/${f}"
           AND (EXISTS "${SOURCE_DIR}/${f}" OR IS_SYMLINK "${SOURCE_DIR}/${f}"))
            get_filename_component(dir "${DEST_DIR}/${f}" DIRECTORY)
            file(COPY "${SOURCE_DIR}/${f}" DESTINATION "${dir}")
        endif()
    endforeach()
else()
    file(GLOB top LIST_DIRECTORIES true "${SOURCE_DIR}/*" "${SOURCE_DIR}/.[!.]*")
    list(REMOVE_ITEM top "${SOURCE_DIR}/build" "${SOURCE_DIR}/.git")
    file(COPY ${top} DESTINATION "${DEST_DIR}")
endif()
