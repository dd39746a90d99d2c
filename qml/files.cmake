# SPDX-License-Identifier: Apache-2.0
# The documents and resources of the Falquin QML module, relative to the project root.
set(FALQUIN_QML_SINGLETONS
    qml/Glyphs.qml)
set(FALQUIN_QML_FILES
    qml/Main.qml
    qml/RemoteBody.qml
    qml/RemoteButton.qml
    qml/DPad.qml
    qml/NumberPad.qml
    qml/StatusLed.qml
    qml/DevicePicker.qml
    ${FALQUIN_QML_SINGLETONS})
set(FALQUIN_QML_RESOURCES
    qml/fonts/MaterialSymbolsRounded-Regular.ttf
    qml/images/orvantide_logo.png)
get_filename_component(FALQUIN_QML_ROOT ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)

# Compiles the module into <target>'s resources under :/qml/, wherever the calling
# directory is, so tests and tools load exactly the shipped documents. Call it from
# a directory of its own per target: two modules in one directory share one .qrc.
function(falquin_add_qml_module target)
    set(files)
    foreach(file IN LISTS FALQUIN_QML_FILES FALQUIN_QML_RESOURCES)
        set(path ${FALQUIN_QML_ROOT}/${file})
        set_source_files_properties(${path} PROPERTIES QT_RESOURCE_ALIAS ${file})
        list(APPEND files ${path})
    endforeach()
    foreach(file IN LISTS FALQUIN_QML_SINGLETONS)
        set_source_files_properties(${FALQUIN_QML_ROOT}/${file} PROPERTIES QT_QML_SINGLETON_TYPE TRUE)
    endforeach()
    set(qml_files ${files})
    list(FILTER qml_files INCLUDE REGEX "\\.qml$")
    list(FILTER files EXCLUDE REGEX "\\.qml$")
    qt_add_qml_module(${target}
        URI Falquin
        VERSION 1.0
        NO_RESOURCE_TARGET_PATH
        TYPEINFO Falquin.qmltypes
        DEPENDENCIES QtQuick
        QML_FILES ${qml_files}
        RESOURCES ${files})
endfunction()
