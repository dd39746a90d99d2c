// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtQuick.Controls.Basic

// Forgets a remembered box; the row it sits in does not change the choice.
AbstractButton {
    id: control

    required property string boxName

    signal forget()

    implicitWidth: implicitContentWidth + 12
    implicitHeight: 22
    // The list holds the focus; Delete on its row does the same.
    focusPolicy: Qt.NoFocus
    hoverEnabled: true
    Accessible.role: Accessible.Button
    Accessible.name: qsTr("Forget %1").arg(control.boxName)
    Accessible.onPressAction: control.clicked()
    onClicked: control.forget()

    background: Rectangle {
        radius: 4
        color: control.hovered ? "#4a4a4a" : "transparent"
        border.color: "#4a4a4a"
    }

    contentItem: Text {
        text: qsTr("Forget")
        color: "#b0b0b0"
        font.pixelSize: 11
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
}
