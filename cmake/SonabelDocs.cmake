# The user guide and the manual pages.
#
# The guide (docs/user-guide.md and its pictures) is copied at build time to
# <build>/share/doc/corvane-sonabel, where it lies relative to the programs in <build>/bin
# exactly as it does once installed (<prefix>/bin and <prefix>/share/doc/corvane-sonabel),
# so Help > User Guide finds it the same way in both places.
#
# The manual pages are made by help2man from the programs' own --help and --version, so
# they never drift from what the programs say. Without help2man there are none.

set(SONABEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/corvane-sonabel)
set(SONABEL_BUILD_DOC_DIR ${CMAKE_BINARY_DIR}/share/doc/corvane-sonabel)

file(GLOB SONABEL_GUIDE_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/pictures/*.png)
set(guide_outputs ${SONABEL_BUILD_DOC_DIR}/user-guide.md ${SONABEL_BUILD_DOC_DIR}/README.md)
add_custom_command(OUTPUT ${SONABEL_BUILD_DOC_DIR}/README.md
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/README.md ${SONABEL_BUILD_DOC_DIR}/README.md
    DEPENDS ${CMAKE_SOURCE_DIR}/README.md
    VERBATIM)
add_custom_command(OUTPUT ${SONABEL_BUILD_DOC_DIR}/user-guide.md
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/docs/user-guide.md ${SONABEL_BUILD_DOC_DIR}/user-guide.md
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/user-guide.md
    VERBATIM)
foreach(picture IN LISTS SONABEL_GUIDE_PICTURES)
    get_filename_component(name ${picture} NAME)
    add_custom_command(OUTPUT ${SONABEL_BUILD_DOC_DIR}/pictures/${name}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${picture} ${SONABEL_BUILD_DOC_DIR}/pictures/${name}
        DEPENDS ${picture}
        VERBATIM)
    list(APPEND guide_outputs ${SONABEL_BUILD_DOC_DIR}/pictures/${name})
endforeach()
add_custom_target(user_guide ALL DEPENDS ${guide_outputs})

install(FILES ${CMAKE_SOURCE_DIR}/docs/user-guide.md ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${SONABEL_DOC_DIR})
install(FILES ${SONABEL_GUIDE_PICTURES} DESTINATION ${SONABEL_DOC_DIR}/pictures)

# sonabel_man_page(TARGET DESCRIPTION [ENVIRONMENT VAR=VALUE...])
#   <build>/share/man/man1/TARGET.1 from the program's --help and --version, installed
#   compressed as Debian keeps manual pages. The program is run by its bare name from the
#   build's bin folder, so the page shows "corvane-sonabel", never a path of the build.
find_program(HELP2MAN help2man)
find_program(GZIP gzip REQUIRED)
function(sonabel_man_page target description)
    cmake_parse_arguments(ARG "" "" "ENVIRONMENT" ${ARGN})
    set(dir ${CMAKE_BINARY_DIR}/share/man/man1)
    add_custom_command(OUTPUT ${dir}/${target}.1 ${dir}/${target}.1.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${CMAKE_COMMAND} -E env "PATH=$<TARGET_FILE_DIR:${target}>:$ENV{PATH}" ${ARG_ENVIRONMENT}
                ${HELP2MAN} --no-info --section=1 --name=${description}
                --output=${dir}/${target}.1 ${target}
        COMMAND ${GZIP} -9nf -k ${dir}/${target}.1
        DEPENDS ${target}
        COMMENT "Writing the manual page of ${target}"
        VERBATIM)
    add_custom_target(${target}_man_page ALL DEPENDS ${dir}/${target}.1 ${dir}/${target}.1.gz)
    install(FILES ${dir}/${target}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# A sanitizer build's programs are not what a user runs, and a leak report at exit would
# fail the page.
if(HELP2MAN AND NOT SONABEL_SANITIZE)
    sonabel_man_page(corvane-sonabel "make phone ringtones from any audio or video file"
        ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    sonabel_man_page(sonabel "Corvane Sonabel's ringtone work on the command line")
elseif(NOT HELP2MAN)
    message(STATUS "help2man not found: no manual pages (apt install help2man)")
endif()
