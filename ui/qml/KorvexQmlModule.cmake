# The QML module "Korvex" 1.0, included from the top-level CMakeLists so that
# the documents keep their ui/qml/ folder in the resources: they live at
# qrc:/Korvex/ui/qml/ and the qmldir at qrc:/Korvex/qmldir, which
# "import Korvex 1.0" finds on the import path "qrc:/". The shell registers the
# backend singletons and VideoStreamItem into the same URI at run time.
file(GLOB_RECURSE KORVEX_QML_FILES CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}
    ${CMAKE_SOURCE_DIR}/ui/qml/*.qml ${CMAKE_SOURCE_DIR}/ui/qml/*.js)
file(GLOB KORVEX_QML_SINGLETONS CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}
    ${CMAKE_SOURCE_DIR}/ui/qml/Theme/*.qml)
if(KORVEX_QML_SINGLETONS)
    set_source_files_properties(${KORVEX_QML_SINGLETONS} PROPERTIES QT_QML_SINGLETON_TYPE TRUE)
endif()

qt_add_library(korvex_ui STATIC)
qt_add_qml_module(korvex_ui
    URI Korvex
    VERSION 1.0
    RESOURCE_PREFIX /
    NO_PLUGIN
    OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/qml/Korvex
    QML_FILES ${KORVEX_QML_FILES}
)
target_link_libraries(korvex_ui PUBLIC Qt6::Qml Qt6::Quick)
korvex_plain_generated_qml(korvex_ui)
