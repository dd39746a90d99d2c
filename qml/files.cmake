# SPDX-License-Identifier: Apache-2.0
# The documents and resources of the Falquin QML module, relative to the project root.
set(FALQUIN_QML_SINGLETONS)
set(FALQUIN_QML_FILES
    qml/Main.qml
    ${FALQUIN_QML_SINGLETONS})
set(FALQUIN_QML_RESOURCES
    qml/fonts/MaterialSymbolsRounded-Regular.ttf)
