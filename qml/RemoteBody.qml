// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtQuick.Layouts
import Falquin

// The handheld remote's face at a fixed 300 x 1000 design size; the window scales it.
Item {
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
                text: "On"
                fontSize: 14
                keyCommand: "ON"
                Accessible.name: qsTr("On")
            }

            RemoteButton {
                objectName: "offKey"
                Layout.preferredWidth: 56
                Layout.preferredHeight: 38
                text: "Off"
                fontSize: 14
                keyCommand: "OFF"
                Accessible.name: qsTr("Off")
            }

            RemoteButton {
                objectName: "powerKey"
                Layout.preferredWidth: 66
                Layout.preferredHeight: 38
                glyph: Glyphs.power
                keyCommand: "POWER"
                keyColor: "#c8281e"
                Accessible.name: qsTr("Power")
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
            keyCommand: "mute"
            Accessible.name: qsTr("Mute")
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
                model: [
                    { legend: "DVR", command: "dvr", name: qsTr("DVR") },
                    { legend: "Live TV", command: "live", name: qsTr("Live TV") },
                    { legend: "Record", command: "record", name: qsTr("Record") },
                    { legend: "BA", command: "ba", name: qsTr("BA") }
                ]

                // Equal small preferred widths: the row shares its width out evenly.
                RemoteButton {
                    required property var modelData

                    objectName: modelData.command + "Key"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    Layout.preferredHeight: 32
                    text: modelData.legend
                    fontSize: 13
                    keyCommand: modelData.command
                    Accessible.name: modelData.name
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
                text: "Guide"
                Accessible.name: qsTr("Guide")
                fontSize: 13
                keyCommand: "guide"
            }

            Item {
                Layout.fillWidth: true
            }

            RemoteButton {
                objectName: "infoKey"
                Layout.preferredWidth: 54
                Layout.preferredHeight: 54
                circle: true
                text: "Info"
                Accessible.name: qsTr("Info")
                fontSize: 13
                keyCommand: "info"
            }
        }

        // Fixed, so the flank keys sit close against the ring.
        Item {
            Layout.preferredHeight: 10
        }

        DPad {
            objectName: "dpad"
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
                text: "Zap"
                Accessible.name: qsTr("Zap")
                fontSize: 13
                keyCommand: "zap"
            }

            Item {
                Layout.fillWidth: true
            }

            RemoteButton {
                objectName: "menuKey"
                Layout.preferredWidth: 54
                Layout.preferredHeight: 54
                circle: true
                text: "Menu"
                Accessible.name: qsTr("Menu")
                fontSize: 13
                keyCommand: "menu"
            }
        }

        Item {
            objectName: "gap4"
            Layout.fillHeight: true
        }

        NumberPad {
            objectName: "numberPad"
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
