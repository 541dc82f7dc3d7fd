# JUCE is compiled exactly once, into this static library. Its module targets are
# linked PRIVATE (their .cpp files are interface sources) and only their include
# directories and definitions are passed on, so nothing else compiles JUCE again.
set(VANTREL_JUCE_MODULES
    juce_core juce_events juce_data_structures juce_graphics juce_gui_basics
    juce_gui_extra juce_audio_basics juce_audio_devices juce_audio_formats
    juce_audio_processors juce_audio_utils juce_opengl)

# Debian strips JUCE's bundled codecs and image libraries; the system ones stand in.
pkg_check_modules(VANTREL_SYSLIBS REQUIRED IMPORTED_TARGET
    flac vorbisfile vorbisenc vorbis ogg libpng libjpeg zlib libcurl freetype2 alsa jack gl)

add_library(vantrel_juce STATIC)
set(module_targets)
foreach(module ${VANTREL_JUCE_MODULES})
    list(APPEND module_targets juce::${module})
endforeach()
target_link_libraries(vantrel_juce
    PRIVATE ${module_targets} juce::juce_recommended_config_flags
    PUBLIC PkgConfig::VANTREL_SYSLIBS ${X11_LIBRARIES} Threads::Threads ${CMAKE_DL_LIBS})

set(VANTREL_JUCE_DEFINITIONS
    JUCE_STANDALONE_APPLICATION=1
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=1
    JUCE_LOAD_CURL_SYMBOLS_LAZILY=0
    JUCE_ALSA=1
    JUCE_JACK=1
    JUCE_USE_FLAC=1
    JUCE_USE_OGGVORBIS=1
    JUCE_USE_MP3AUDIOFORMAT=1
    JUCE_STRICT_REFCOUNTEDPOINTER=1
    JUCE_MODAL_LOOPS_PERMITTED=1
    JUCE_SILENCE_XCODE_15_LINKER_WARNING=1
    JUCE_APPLICATION_NAME_STRING="Vantrel"
    JUCE_APPLICATION_VERSION_STRING="${PROJECT_VERSION}")
target_compile_definitions(vantrel_juce PUBLIC ${VANTREL_JUCE_DEFINITIONS})

# Pass on what the modules define and where their headers live.
set(module_defs)
set(module_incs)
foreach(t ${module_targets})
    list(APPEND module_defs $<TARGET_PROPERTY:${t},INTERFACE_COMPILE_DEFINITIONS>)
    list(APPEND module_incs $<TARGET_PROPERTY:${t},INTERFACE_INCLUDE_DIRECTORIES>)
endforeach()
target_compile_definitions(vantrel_juce INTERFACE ${module_defs})
target_include_directories(vantrel_juce SYSTEM INTERFACE ${module_incs})

# JUCE's curl code asks for the download length the way newer curl headers mark deprecated.
# That is JUCE's own code: quieten the warning for its translation unit alone, so every build
# does not repeat it and our code still warns (and fails under VANTREL_WERROR).
set_source_files_properties(${JUCE_MODULES_DIR}/juce_core/juce_core.cpp TARGET_DIRECTORY vantrel_juce
    PROPERTIES COMPILE_OPTIONS -Wno-deprecated-declarations)
