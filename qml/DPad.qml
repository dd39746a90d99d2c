// SPDX-License-Identifier: Apache-2.0
import QtQuick
import Falquin

// The navigation ring: four flat arrows around the OK key.
Rectangle {
    id: ring

    // The key table's Up, Down, Left, Right and OK, in that order.
    required property var keys
    readonly property int inset: 6
    // The threshold of the seek keys' hold, which the keyboard's gesture shares.
    readonly property int holdThresholdMs: leftKey.holdThresholdMs

    implicitWidth: 216
    implicitHeight: 216
    radius: width / 2
    color: "#232323"
    border.width: 1
    border.color: "#2f2f2f"

    // Up and down repeat for scrolling menus; left and right hold to seek,
    // because a stream of separate presses makes the box seek in jerks.
    RemoteButton {
        objectName: "upKey"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.top: parent.top
        anchors.topMargin: ring.inset
        width: 56
        height: 56
        circle: true
        flat: true
        glyph: Glyphs.arrowUp
        glyphSize: 30
        key: ring.keys[0]
        autoRepeat: true
        autoRepeatInterval: 200
    }

    RemoteButton {
        objectName: "downKey"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: ring.inset
        width: 56
        height: 56
        circle: true
        flat: true
        glyph: Glyphs.arrowDown
        glyphSize: 30
        key: ring.keys[1]
        autoRepeat: true
        autoRepeatInterval: 200
    }

    RemoteButton {
        id: leftKey

        objectName: "leftKey"
        anchors.verticalCenter: parent.verticalCenter
        anchors.left: parent.left
        anchors.leftMargin: ring.inset
        width: 56
        height: 56
        circle: true
        flat: true
        glyph: Glyphs.arrowLeft
        glyphSize: 30
        key: ring.keys[2]
    }

    RemoteButton {
        objectName: "rightKey"
        anchors.verticalCenter: parent.verticalCenter
        anchors.right: parent.right
        anchors.rightMargin: ring.inset
        width: 56
        height: 56
        circle: true
        flat: true
        glyph: Glyphs.arrowRight
        glyphSize: 30
        key: ring.keys[3]
    }

    RemoteButton {
        id: okKey

        objectName: "okKey"
        anchors.centerIn: parent
        width: 88
        height: 88
        circle: true
        keyColor: "#1c1c1c"
        key: ring.keys[4]

        // The wrapper fills the key so the legend centres in it; a bare column
        // would sit at the key's top left.
        contentItem: Item {
            Column {
                objectName: "okLegend"
                anchors.centerIn: parent
                spacing: 0

                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: okKey.text
                    textFormat: Text.PlainText
                    font.pixelSize: 24
                    font.bold: true
                    color: "#f2f2f2"
                }

                Row {
                    anchors.horizontalCenter: parent.horizontalCenter
                    spacing: 2

                    Repeater {
                        model: [Glyphs.play, Glyphs.pause]

                        Text {
                            required property string modelData

                            text: modelData
                            textFormat: Text.PlainText
                            font.family: "Material Symbols Rounded"
                            font.pixelSize: 12
                            color: "#bdbdbd"
                        }
                    }
                }
            }
        }
    }
}
