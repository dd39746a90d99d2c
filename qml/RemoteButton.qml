// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtQuick.Controls.Basic

// One drawn key: sends its command on a tap, or a "down"/"up" pair around a
// press held past the threshold, and lights up whenever its command goes out.
AbstractButton {
    id: control

    // The key table's entry for the key this one draws: its command, legend, name and seek.
    property var key: null
    property string keyCommand: key ? key.command : ""
    property string glyph: ""
    property bool circle: false
    property bool flat: false
    property color keyColor: "#2a2a2a"
    property int fontSize: 16
    property int glyphSize: 22
    property string holdCommand: key ? key.hold : ""
    property int holdThresholdMs: 400
    property bool holding: false
    // Separate from holding, which is already cleared when the closing click arrives.
    property bool holdConsumed: false
    property bool pulsing: false
    property bool externalHold: false
    readonly property bool showPressed: down || pulsing || externalHold

    function send(keys: string) {
        keySender.sendKey(keys) // qmllint disable unqualified
    }

    function endHold() {
        holdTimer.stop()
        if (holding) {
            holding = false
            holdConsumed = true
            send(holdCommand + " up")
        }
    }

    implicitWidth: circle ? 52 : 64
    implicitHeight: circle ? 52 : 34
    padding: 0
    // Focus on a key would steal the window's arrow keys.
    focusPolicy: Qt.NoFocus
    scale: showPressed ? 0.94 : 1.0
    text: key ? key.legend : ""
    Accessible.role: Accessible.Button
    Accessible.name: key ? key.name : text
    // Nor through the bus: a screen reader's SetFocus would take the arrow keys' focus all the same.
    Accessible.focusable: false
    // Screen readers, switch access and voice control press through here; Qt does not
    // click for them. Always a tap, even on a key whose last mouse press was a hold.
    Accessible.onPressAction: {
        holdConsumed = false
        clicked()
    }
    // The tooltip needs hover even where the platform does not ask for hover effects.
    hoverEnabled: true
    // Inside the main window, its one tool tip shows the key's name and shortcut.
    onHoveredChanged: {
        const window = ApplicationWindow.window
        if (window && typeof window["hoverKey"] === "function")
            window["hoverKey"](control, hovered)
    }

    Behavior on scale {
        NumberAnimation {
            duration: 60
        }
    }

    onPressed: {
        holdConsumed = false
        if (holdCommand !== "")
            holdTimer.restart()
    }
    onReleased: endHold()
    onCanceled: endHold()
    onClicked: {
        if (!holdConsumed)
            send(keyCommand)
    }
    // A key torn down mid-hold still owes the box its "up". That covers a closed window
    // and a quitting application too: the scene is destroyed before the key sender.
    Component.onDestruction: endHold()

    Timer {
        id: holdTimer

        interval: control.holdThresholdMs
        onTriggered: {
            control.holding = true
            control.send(control.holdCommand + " down")
        }
    }

    Timer {
        id: pulseTimer

        interval: 120
        onTriggered: control.pulsing = false
    }

    Connections {
        target: keySender // qmllint disable unqualified

        function onKeySent(keys: string) {
            if (keys === control.keyCommand) {
                control.pulsing = true
                pulseTimer.restart()
            } else if (control.holdCommand !== "") {
                if (keys === control.holdCommand + " down") {
                    control.externalHold = true
                } else if (keys === control.holdCommand + " up") {
                    control.externalHold = false
                    // Ended for it (the keys went to another box): its release sends nothing more.
                    if (control.holding) {
                        control.holding = false
                        control.holdConsumed = true
                    }
                }
            }
        }

        // An "up" that never went out still ends the seek on our side; otherwise
        // the key would stay lit until some later seek.
        function onKeyFailed(keys: string) {
            if (control.holdCommand !== "" && keys === control.holdCommand + " up")
                control.externalHold = false
        }
    }

    background: Rectangle {
        radius: control.circle ? width / 2 : height / 2
        color: control.showPressed ? Qt.lighter(control.keyColor, 1.5)
                                   : control.flat ? "transparent"
                                                  : control.hovered ? Qt.lighter(control.keyColor, 1.2)
                                                                    : control.keyColor
        border.width: 1
        border.color: control.flat && !control.showPressed ? "transparent" : Qt.lighter(control.keyColor, 1.35)

        Behavior on color {
            ColorAnimation {
                duration: 80
            }
        }
    }

    contentItem: Text {
        text: control.glyph !== "" ? control.glyph : control.text
        textFormat: Text.PlainText
        font.family: control.glyph !== "" ? "Material Symbols Rounded" : control.font.family
        font.pixelSize: control.glyph !== "" ? control.glyphSize : control.fontSize
        font.weight: Font.DemiBold
        color: "#f2f2f2"
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
}
