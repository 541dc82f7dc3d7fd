# The application's code as layers: one static library per source folder, linked only to
# the layers its folder may include. The table below is the one list of those arrows: the
# link lines are made from it, and scripts/layers.py fails the build on any include it does
# not allow. Layers are listed bottom first; a layer uses those below it as named under USES.
#
# An arrow to a higher layer (UP) closes a cycle of static libraries, which CMake links by
# repeating them; each has its reason beside it.

set(VANTREL_LAYER_TABLE "")
set(VANTREL_LAYER_FILES "")

# vantrel_layer(FOLDER [USES folders...] [UP folders...] [PUBLIC targets...] [PRIVATE targets...])
# makes vantrel_<folder with / as _> from FOLDER/*.cpp. A folder without sources yet (pages/,
# update/ before their first files) still makes its library, from an empty placeholder.
function(vantrel_layer folder)
    cmake_parse_arguments(L "" "" "USES;UP;PUBLIC;PRIVATE" ${ARGN})
    string(REPLACE "/" "_" name ${folder})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/app/Main.cpp)
    if(NOT sources)
        set(sources ${CMAKE_BINARY_DIR}/layers/empty_${name}.cpp)
        file(CONFIGURE OUTPUT ${sources} CONTENT "// ${folder}/ has no sources yet.\n")
    endif()
    add_library(vantrel_${name} STATIC ${sources})
    target_include_directories(vantrel_${name} PUBLIC ${CMAKE_SOURCE_DIR})
    set(layers)
    foreach(used ${L_USES} ${L_UP})
        string(REPLACE "/" "_" used_name ${used})
        list(APPEND layers vantrel_${used_name})
    endforeach()
    target_link_libraries(vantrel_${name}
        PUBLIC vantrel_juce Threads::Threads ${layers} ${L_PUBLIC}
        PRIVATE vantrel_warnings ${L_PRIVATE})
    add_dependencies(vantrel_${name} vantrel_layers)

    string(JOIN " " uses ${L_USES} ${L_UP})
    set(VANTREL_LAYER_TABLE "${VANTREL_LAYER_TABLE}${folder}: ${uses}\n" PARENT_SCOPE)
    set(VANTREL_LAYER_FILES ${VANTREL_LAYER_FILES} ${sources} ${headers} PARENT_SCOPE)
endfunction()

# Operating-system facts (folders, network adapters, window frames, signals, starting a program):
# uses nothing of ours.
vantrel_layer(platform)
# HTTP and WebSocket, knowing nothing of the show; Boost stays inside.
vantrel_layer(server/websocket PRIVATE Boost::headers OpenSSL::SSL OpenSSL::Crypto)
target_compile_definitions(vantrel_server_websocket PRIVATE BOOST_ASIO_NO_DEPRECATED)
# Under ThreadSanitizer GCC notes that the sanitizer does not model the fences inside Asio's
# handlers; that is Asio's business and no warning about our code.
target_compile_options(vantrel_server_websocket PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-tsan>)
vantrel_layer(document USES platform
    # A document that cannot be read or written tells the user through the dialog presenter.
    UP ui/kit)
vantrel_layer(time USES document
    # The time manager picks the live cue list for each incoming time, on the driver's thread.
    # The audio settings panel tells the user through the dialog presenter when the input,
    # sample rate or buffer size cannot be set.
    UP model ui/kit
    PRIVATE PkgConfig::LTC)
vantrel_layer(model USES document time
    # A CSV import that fails or finds nothing tells the user through the dialog presenter.
    UP ui/kit)
vantrel_layer(ui/kit PUBLIC vantrel_resources)
vantrel_layer(update USES platform document ui/kit)
vantrel_layer(server USES platform document time model ui/kit server/websocket
    # Each web-client server is given the controller it reads the show from.
    UP app
    PRIVATE PkgConfig::QRCODEGEN)
vantrel_layer(ui USES platform document time model ui/kit
    # The views are given the controller (document name, undo, the managers).
    # The editable cue rows choose a cue's category with the pages' category drop-down.
    UP app pages)
vantrel_layer(pages USES platform document time model ui/kit update server ui
    # The preferences pages, like the views, are given the controller.
    UP app)
vantrel_layer(app USES platform document time model ui/kit update server ui pages)

set(VANTREL_LAYER_TABLE_FILE ${CMAKE_BINARY_DIR}/layers/table.txt)
file(CONFIGURE OUTPUT ${VANTREL_LAYER_TABLE_FILE} CONTENT "${VANTREL_LAYER_TABLE}")
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/layers/checked
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/layers.py check
            ${CMAKE_SOURCE_DIR} ${VANTREL_LAYER_TABLE_FILE}
    COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/layers/checked
    DEPENDS ${CMAKE_SOURCE_DIR}/scripts/layers.py ${VANTREL_LAYER_TABLE_FILE} ${VANTREL_LAYER_FILES}
    COMMENT "Checking the include arrows between layers"
    VERBATIM)
add_custom_target(vantrel_layers DEPENDS ${CMAKE_BINARY_DIR}/layers/checked)
