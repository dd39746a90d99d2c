// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtQuick.Layouts
import Falquin

// The handheld remote's face at a fixed 300 x 1000 design size; the window scales it.
Item {
    id: body

    // The key table: each place of the face takes its keys from it.
    required property var keys
    readonly property var face: keys.face
    // How long a press of a seek key lasts before it holds the seek.
    readonly property int holdThresholdMs: dpad.holdThresholdMs

    implicitWidth: 300
    implicitHeight: 1000

    Connections {
        target: keySender // qmllint disable unqualified

        function onKeyAcknowledged(keys: string) {
            led.outcome = qsTr("'%1' acknowledged").arg(keys)
            led.flash(true)
        }

        function onKeyFailed(keys: string, reason: string) {
            led.outcome = qsTr("'%1' failed: %2").arg(keys).arg(reason)
            led.flash(false)
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: 34
        border.width: 1
        border.color: "#000000"
        gradient: Gradient {
            GradientStop {
                position: 0.0
                color: "#252525"
            }
            GradientStop {
                position: 0.5
                color: "#1b1b1b"
            }
            GradientStop {
                position: 1.0
                color: "#151515"
            }
        }
    }

    ColumnLayout {
        objectName: "content"
        anchors.fill: parent
        anchors.margins: 26
        spacing: 0

        RowLayout {
            objectName: "topRow"
            Layout.fillWidth: true
            spacing: 10

            Item {
                objectName: "topFiller"
                Layout.fillWidth: true
            }

            StatusLed {
                id: led

                objectName: "led"
                Layout.alignment: Qt.AlignVCenter
            }

            RemoteButton {
                objectName: "onKey"
                Layout.preferredWidth: 56
                Layout.preferredHeight: 38
                fontSize: 14
                key: body.face.topRow[0]
            }

            RemoteButton {
                objectName: "offKey"
                Layout.preferredWidth: 56
                Layout.preferredHeight: 38
                fontSize: 14
                key: body.face.topRow[1]
            }

            RemoteButton {
                objectName: "powerKey"
                Layout.preferredWidth: 66
                Layout.preferredHeight: 38
                glyph: Glyphs.power
                key: body.face.topRow[2]
                keyColor: "#c8281e"
            }
        }

        Item {
            objectName: "gap1"
            Layout.fillHeight: true
        }

        RemoteButton {
            objectName: "muteKey"
            Layout.alignment: Qt.AlignRight
            Layout.preferredWidth: 46
            Layout.preferredHeight: 46
            circle: true
            glyph: Glyphs.mute
            key: body.face.mute[0]
        }

        Item {
            objectName: "gap2"
            Layout.fillHeight: true
        }

        RowLayout {
            objectName: "functionRow"
            Layout.fillWidth: true
            spacing: 8

            Repeater {
                model: body.face.functionRow

                // Equal small preferred widths: the row shares its width out evenly.
                RemoteButton {
                    required property var modelData

                    objectName: modelData.command + "Key"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    Layout.preferredHeight: 32
                    fontSize: 13
                    key: modelData
                }
            }
        }

        Item {
            objectName: "gap3"
            Layout.fillHeight: true
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 0

            RemoteButton {
                objectName: "guideKey"
                Layout.preferredWidth: 54
                Layout.preferredHeight: 54
                circle: true
                fontSize: 13
                key: body.face.upperFlank[0]
            }

            Item {
                Layout.fillWidth: true
            }

            RemoteButton {
                objectName: "infoKey"
                Layout.preferredWidth: 54
                Layout.preferredHeight: 54
                circle: true
                fontSize: 13
                key: body.face.upperFlank[1]
            }
        }

        // Fixed, so the flank keys sit close against the ring.
        Item {
            Layout.preferredHeight: 10
        }

        DPad {
            id: dpad

            objectName: "dpad"
            keys: body.face.dpad
            Layout.alignment: Qt.AlignHCenter
        }

        Item {
            Layout.preferredHeight: 10
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 0

            RemoteButton {
                objectName: "zapKey"
                Layout.preferredWidth: 54
                Layout.preferredHeight: 54
                circle: true
                fontSize: 13
                key: body.face.lowerFlank[0]
            }

            Item {
                Layout.fillWidth: true
            }

            RemoteButton {
                objectName: "menuKey"
                Layout.preferredWidth: 54
                Layout.preferredHeight: 54
                circle: true
                fontSize: 13
                key: body.face.lowerFlank[1]
            }
        }

        Item {
            objectName: "gap4"
            Layout.fillHeight: true
        }

        NumberPad {
            objectName: "numberPad"
            keys: body.face.numberPad
            Layout.alignment: Qt.AlignHCenter
        }

        Item {
            objectName: "gap5"
            Layout.fillHeight: true
        }

        Image {
            objectName: "logo"
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: 200
            // The artwork is 600 x 104: the row's height is known before the image is decoded.
            Layout.preferredHeight: 200 * 104 / 600
            source: "images/orvantide_logo.png"
            // Decoded off the GUI thread, so the window does not wait for it.
            asynchronous: true
            // With OpenGL (QSG_RHI_BACKEND=opengl): 520 px is just over half the widest texture
            // atlas Qt Quick makes for this window, so the logo gets a small texture of its own
            // instead of a 2 MiB atlas; mipmaps would cost llvmpipe most of a frame at start.
            // The software renderer filters the image itself as it draws.
            sourceSize.width: 520
            fillMode: Image.PreserveAspectFit
        }
    }
}
