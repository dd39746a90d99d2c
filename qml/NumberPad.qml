// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtQuick.Layouts
import Falquin

// The digit block. Digits go out as "#d": the box then adds no OK of its own,
// so channel entry works as with the handheld remote.
GridLayout {
    columns: 3
    columnSpacing: 12
    rowSpacing: 10

    Repeater {
        model: ["1", "2", "3", "4", "5", "6", "7", "8", "9"]

        RemoteButton {
            required property string modelData

            objectName: "digit" + modelData + "Key"
            Layout.preferredWidth: 74
            Layout.preferredHeight: 38
            text: modelData
            fontSize: 18
            keyCommand: "#" + modelData
            Accessible.name: qsTr("Digit %1").arg(modelData)
        }
    }

    RemoteButton {
        objectName: "dotKey"
        Layout.preferredWidth: 74
        Layout.preferredHeight: 38
        text: "\u2022"
        fontSize: 18
        keyCommand: "."
        Accessible.name: qsTr("Dot")
    }

    RemoteButton {
        objectName: "digit0Key"
        Layout.preferredWidth: 74
        Layout.preferredHeight: 38
        text: "0"
        fontSize: 18
        keyCommand: "#0"
        Accessible.name: qsTr("Digit %1").arg(0)
    }

    RemoteButton {
        objectName: "backKey"
        Layout.preferredWidth: 74
        Layout.preferredHeight: 38
        glyph: Glyphs.back
        glyphSize: 20
        keyCommand: "back"
        Accessible.name: qsTr("Back")
    }
}
