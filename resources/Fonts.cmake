# The embedded fonts come from installed packages, never from the repository:
#   Figtree (SIL Open Font License 1.1): npm package @expo-google-fonts/figtree, installed
#     into node_modules by scripts/setup.sh;
#   Noto Mono (Apache License 2.0), the monospaced face shown as "Droid Sans Mono": Debian's
#     fonts-noto-mono.
# They are copied into the build tree under the names that give the binary-data names the
# code uses (FigtreeRegular.ttf -> BinaryData::FigtreeRegular_ttf), with their licence texts.

set(VANTREL_FIGTREE_DIR "" CACHE PATH "Folder of the @expo-google-fonts/figtree npm package")
set(VANTREL_NOTO_MONO_FONT "/usr/share/fonts/truetype/noto/NotoMono-Regular.ttf"
    CACHE FILEPATH "NotoMono-Regular.ttf from Debian's fonts-noto-mono")

set(figtree_candidates ${VANTREL_FIGTREE_DIR} ${CMAKE_SOURCE_DIR}/node_modules/@expo-google-fonts/figtree)
# A git worktree has no node_modules of its own; use the main checkout's.
find_package(Git QUIET)
if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --path-format=absolute --git-common-dir
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE git_common_dir
        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(git_common_dir)
        get_filename_component(main_checkout ${git_common_dir} DIRECTORY)
        list(APPEND figtree_candidates ${main_checkout}/node_modules/@expo-google-fonts/figtree)
    endif()
endif()

set(figtree_dir "")
foreach(candidate ${figtree_candidates})
    if(EXISTS ${candidate}/400Regular/Figtree_400Regular.ttf)
        set(figtree_dir ${candidate})
        break()
    endif()
endforeach()
if(NOT figtree_dir)
    message(FATAL_ERROR "The Figtree font package is missing: run scripts/setup.sh "
        "(it installs @expo-google-fonts/figtree into node_modules), or set VANTREL_FIGTREE_DIR.")
endif()
if(NOT EXISTS ${VANTREL_NOTO_MONO_FONT})
    message(FATAL_ERROR "NotoMono-Regular.ttf is missing: run scripts/setup.sh (Debian package fonts-noto-mono), "
        "or set VANTREL_NOTO_MONO_FONT.")
endif()

set(font_dir ${CMAKE_BINARY_DIR}/fonts)
set(VANTREL_FONT_FILES)
foreach(pair
        "400Regular/Figtree_400Regular.ttf=FigtreeRegular.ttf"
        "700Bold/Figtree_700Bold.ttf=FigtreeBold.ttf"
        "400Regular_Italic/Figtree_400Regular_Italic.ttf=FigtreeItalic.ttf")
    string(REPLACE "=" ";" pair ${pair})
    list(GET pair 0 from)
    list(GET pair 1 to)
    configure_file(${figtree_dir}/${from} ${font_dir}/${to} COPYONLY)
    list(APPEND VANTREL_FONT_FILES ${font_dir}/${to})
endforeach()
configure_file(${VANTREL_NOTO_MONO_FONT} ${font_dir}/droidsansmono_regular.ttf COPYONLY)
list(APPEND VANTREL_FONT_FILES ${font_dir}/droidsansmono_regular.ttf)

# The licences travel with the fonts.
configure_file(${figtree_dir}/LICENSE_FONT ${font_dir}/Figtree-OFL.txt COPYONLY)
if(EXISTS /usr/share/doc/fonts-noto-mono/copyright)
    configure_file(/usr/share/doc/fonts-noto-mono/copyright ${font_dir}/NotoMono-copyright.txt COPYONLY)
endif()
