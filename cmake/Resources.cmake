# Icons, logos and fonts compiled into the program as named binary data.
# Icons and logos live in resources/; the fonts come from installed packages
# (fetched by scripts/setup.sh) and are copied under the names the code expects.
file(GLOB VANTREL_RESOURCE_FILES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/resources/*.svg
    ${CMAKE_SOURCE_DIR}/resources/*.png)
include(${CMAKE_SOURCE_DIR}/resources/Fonts.cmake OPTIONAL RESULT_VARIABLE VANTREL_FONTS_INCLUDED)
list(APPEND VANTREL_RESOURCE_FILES ${VANTREL_FONT_FILES})
if(NOT VANTREL_RESOURCE_FILES)
    # juce_add_binary_data needs at least one file.
    set(VANTREL_RESOURCE_FILES ${CMAKE_SOURCE_DIR}/resources/README.txt)
endif()
juce_add_binary_data(vantrel_resources
    HEADER_NAME BinaryData.h
    NAMESPACE BinaryData
    SOURCES ${VANTREL_RESOURCE_FILES})
set_target_properties(vantrel_resources PROPERTIES POSITION_INDEPENDENT_CODE ON)
