// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtQuick.Controls.Basic

// One box in the picker's lists: a click or Return chooses it, its Forget button or Delete
// forgets it. Everything it shows and acts on comes from its own model row.
AbstractButton {
    id: row

    required property string label
    required property string name
    required property string ip
    property string detail
    // Said after the name and the address: what the row is beside a found box ("not answering").
    property string note: ""
    property bool forgettable: false
    property color nameColor: "#f0f0f0"
    // The list's current row while the list has the focus.
    property bool selected: false

    signal chosen()
    signal forget()

    hoverEnabled: true
    // The list holds the focus and moves its current row; a row never takes it.
    focusPolicy: Qt.NoFocus
    opacity: enabled ? 1 : 0.5
    Accessible.role: Accessible.ListItem
    Accessible.name: row.label + ", " + row.ip + (row.note !== "" ? ", " + row.note : "")
    // The click's own checks refuse a row that cannot be chosen.
    Accessible.onPressAction: row.clicked()
    onClicked: row.chosen()

    background: Rectangle {
        radius: 4
        color: row.hovered || row.selected ? "#333333" : "transparent"
        border.width: row.selected ? 1 : 0
        border.color: "#f5871f"
    }

    contentItem: Column {
        spacing: 2
        topPadding: (row.height - implicitHeight) / 2
        leftPadding: 8

        Text {
            objectName: "nameText"
            width: row.width - 16 - (forgetButton.visible ? forgetButton.width + 6 : 0)
            text: row.label
            textFormat: Text.PlainText
            elide: Text.ElideRight
            color: row.nameColor
            font.pixelSize: 13
        }

        Text {
            objectName: "detailText"
            width: row.width - 16 - (forgetButton.visible ? forgetButton.width + 6 : 0)
            text: row.detail
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
        visible: row.forgettable
        boxName: row.label + ", " + row.ip
        onForget: row.forget()
    }
}
