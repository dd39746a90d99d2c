// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtQuick.Layouts
import Falquin

// The digit block. Digits go out as "#d": the box then adds no OK of its own,
// so channel entry works as with the handheld remote.
GridLayout {
    id: pad

    // The key table's 1 … 9, dot, 0 and back, in that order.
    required property var keys

    columns: 3
    columnSpacing: 12
    rowSpacing: 10

    // The eleven text keys: the nine digits, the dot and the 0.
    Repeater {
        model: pad.keys.slice(0, 11)

        RemoteButton {
            required property var modelData
            required property int index

            objectName: index < 9 ? "digit" + (index + 1) + "Key" : index === 9 ? "dotKey" : "digit0Key"
            Layout.preferredWidth: 74
            Layout.preferredHeight: 38
            fontSize: 18
            key: modelData
        }
    }

    RemoteButton {
        objectName: "backKey"
        Layout.preferredWidth: 74
        Layout.preferredHeight: 38
        glyph: Glyphs.back
        glyphSize: 20
        key: pad.keys[11]
    }
}
