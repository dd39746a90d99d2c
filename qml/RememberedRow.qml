// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtQuick.Controls.Basic
import Falquin

// A remembered box that has not answered this sweep: it can still be chosen, or forgotten.
AbstractButton {
    id: entry

    required property int row
    required property string label
    required property string ip
    // The list's current row while the list has the focus.
    property bool selected: false

    signal chosen()
    signal forget()

    implicitHeight: 40
    hoverEnabled: true
    // The list holds the focus and moves its current row; a row never takes it.
    focusPolicy: Qt.NoFocus
    Accessible.role: Accessible.ListItem
    Accessible.name: entry.label + ", " + entry.ip + ", " + qsTr("not answering")
    Accessible.onPressAction: entry.clicked()
    onClicked: entry.chosen()

    background: Rectangle {
        radius: 4
        color: entry.hovered || entry.selected ? "#333333" : "transparent"
        border.width: entry.selected ? 1 : 0
        border.color: "#f5871f"
    }

    contentItem: Column {
        leftPadding: 8
        rightPadding: forgetButton.width + 12
        topPadding: 5
        spacing: 2

        Text {
            objectName: "nameText"
            width: entry.width - 20 - forgetButton.width
            text: entry.label
            textFormat: Text.PlainText
            elide: Text.ElideRight
            color: "#c0c0c0"
            font.pixelSize: 13
        }

        Text {
            objectName: "detailText"
            width: entry.width - 20 - forgetButton.width
            text: entry.ip + "  ·  " + qsTr("not answering")
            textFormat: Text.PlainText
            elide: Text.ElideRight
            color: "#8a8a8a"
            font.pixelSize: 11
        }
    }

    ForgetButton {
        id: forgetButton

        objectName: "forgetButton"
        anchors.right: parent.right
        anchors.rightMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        boxName: entry.label + ", " + entry.ip
        onForget: entry.forget()
    }
}
