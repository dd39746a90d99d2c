// SPDX-License-Identifier: Apache-2.0
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts

// Chooses the box to control: one of those the sweep found, or a typed address.
Popup {
    id: picker

    // The box is sold by its tuner count, which says more than the model string.
    function tunerLabel(n) {
        switch (n) {
        case 0:
            return qsTr("Pebble")
        case 1:
            return qsTr("Harbor")
        case 2:
            return qsTr("Lantern")
        case 4:
            return qsTr("Beacon")
        default:
            return qsTr("%1 Tuners").arg(n)
        }
    }

    // The key sender's own rule, shared with the command line: a numeric address only.
    function usable(ip) {
        return keySender.isAddress(ip) // qmllint disable unqualified
    }

    // A name as it is shown and stored: control characters and runs of white space become one
    // space, and a name with nothing visible left is "", as if the box had sent none.
    function shownName(name) {
        return String(name ?? "").replace(/[\s\u0000-\u001f\u007f-\u009f]+/g, " ").trim()
    }

    // id is the box's discovery id, "" for a typed address: only a listed box can be
    // found again after it changes address. Every value is worked out before the first
    // is written, so a call that cannot succeed leaves the choice as it was.
    function selectDevice(ip, name, id = "") {
        const host = String(ip ?? "")
        const shown = shownName(name)
        const boxId = String(id ?? "")
        if (!usable(host))
            return
        // Host first: setting it clears the name, which would wipe one assigned before.
        keySender.host = host // qmllint disable unqualified
        keySender.deviceName = shown // qmllint disable unqualified
        settings.lastDeviceIp = host // qmllint disable unqualified
        settings.lastDeviceName = shown // qmllint disable unqualified
        settings.lastDeviceId = boxId // qmllint disable unqualified
        picker.close()
    }

    function connectTyped() {
        if (connectButton.enabled)
            selectDevice(ipField.text.trim(), "")
    }

    // The window hosts the picker at its top level, so its parent spans the whole overlay.
    anchors.centerIn: parent
    // Never wider than the window: at its smallest (220) the list's 260 would push
    // Refresh, Connect and Cancel out of reach. The list and the field give way first.
    width: Math.min(implicitWidth, parent ? parent.width - 12 : implicitWidth)
    modal: true
    focus: true
    padding: 16

    background: Rectangle {
        color: "#242424"
        border.color: "#3a3a3a"
        radius: 8
    }

    onOpened: {
        ipField.text = keySender.host // qmllint disable unqualified
        discoveryService.refresh() // qmllint disable unqualified
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 10

        RowLayout {
            Layout.fillWidth: true

            Text {
                Layout.fillWidth: true
                elide: Text.ElideRight
                text: qsTr("Orvantide devices")
                color: "#d0d0d0"
                font.pixelSize: 13
            }

            BusyIndicator {
                objectName: "busyIndicator"
                Layout.preferredWidth: 18
                Layout.preferredHeight: 18
                running: discoveryService.scanning // qmllint disable unqualified
                // The style draws it in the palette's dark colour, unseen on this background.
                palette.dark: "#d0d0d0"
                visible: running
            }

            Button {
                objectName: "refreshButton"
                text: qsTr("Refresh")
                enabled: !discoveryService.scanning // qmllint disable unqualified
                onClicked: discoveryService.refresh() // qmllint disable unqualified
            }
        }

        // Holds the list and the text shown over it while it has no rows.
        Item {
            Layout.preferredWidth: 260
            Layout.fillWidth: true
            // One row high when empty, growing to four rows, then the list scrolls.
            Layout.preferredHeight: Math.min(Math.max(deviceList.count, 1) * 48, 192)

            ListView {
                id: deviceList

                objectName: "deviceList"
                anchors.fill: parent
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                model: remoteDeviceModel // qmllint disable unqualified
                // Tab reaches the rows, Up/Down walk them, Return chooses one.
                activeFocusOnTab: true
                Accessible.role: Accessible.List
                Accessible.name: qsTr("Orvantide devices")

                Keys.onReturnPressed: chooseCurrent()
                Keys.onEnterPressed: chooseCurrent()
                // Down from the last row goes on to the address field below.
                Keys.onDownPressed: (event) => {
                    if (currentIndex < count - 1)
                        incrementCurrentIndex()
                    else
                        ipField.forceActiveFocus()
                }
                Keys.onUpPressed: decrementCurrentIndex()

                function chooseCurrent() {
                    const current = currentItem as AbstractButton
                    if (current)
                        current.clicked()
                }

                delegate: AbstractButton {
                    id: row

                    required property int index
                    required property string name
                    required property string ip
                    required property string deviceIdRaw
                    required property string deviceModel
                    required property int numTuners
                    readonly property bool current: ListView.isCurrentItem && ListView.view.activeFocus

                    width: ListView.view.width
                    height: 48
                    hoverEnabled: true
                    // The list holds the focus and moves its current row; a row never takes it.
                    focusPolicy: Qt.NoFocus
                    // A reply without a usable address cannot be chosen.
                    enabled: picker.usable(row.ip)
                    opacity: enabled ? 1 : 0.5
                    readonly property string label: picker.shownName(row.name) || qsTr("(unnamed)")

                    Accessible.role: Accessible.ListItem
                    Accessible.name: row.label + ", " + row.ip
                    onClicked: picker.selectDevice(row.ip, row.name, row.deviceIdRaw)
                    onHoveredChanged: {
                        if (hovered)
                            ListView.view.currentIndex = index
                    }

                    background: Rectangle {
                        radius: 4
                        color: row.hovered || row.current ? "#333333" : "transparent"
                        border.width: row.current ? 1 : 0
                        border.color: "#f5871f"
                    }

                    contentItem: Column {
                        spacing: 2
                        topPadding: 7
                        leftPadding: 8

                        Text {
                            objectName: "nameText"
                            width: row.width - 16
                            text: row.label
                            textFormat: Text.PlainText
                            elide: Text.ElideRight
                            color: "#f0f0f0"
                            font.pixelSize: 13
                        }

                        Text {
                            objectName: "detailText"
                            width: row.width - 16
                            text: row.ip + "  ·  " + picker.tunerLabel(row.numTuners)
                            textFormat: Text.PlainText
                            elide: Text.ElideRight
                            color: "#8a8a8a"
                            font.pixelSize: 11
                        }
                    }
                }
            }

            Text {
                objectName: "emptyText"
                anchors.centerIn: parent
                width: parent.width - 16
                visible: deviceList.count === 0
                // A sweep that could not work says why instead of reporting an empty network.
                text: discoveryService.scanning ? qsTr("scanning…") // qmllint disable unqualified
                                                : (discoveryService.problem !== "" ? discoveryService.problem // qmllint disable unqualified
                                                                                   : qsTr("no devices found"))
                textFormat: Text.PlainText
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                color: "#707070"
                font.pixelSize: 12
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 1
            color: "#3a3a3a"
        }

        Text {
            text: qsTr("Or enter an IP address")
            color: "#d0d0d0"
            font.pixelSize: 13
        }

        // Fills the column so the field lines up with the list above it.
        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            TextField {
                id: ipField

                objectName: "ipField"
                Layout.fillWidth: true
                // Small, so the row never widens the picker; it stretches to the list's width.
                Layout.preferredWidth: 120
                focus: true
                placeholderText: "192.168.1.50"
                placeholderTextColor: "#6a6a6a"
                color: "white"
                Accessible.name: qsTr("IP address")
                onAccepted: picker.connectTyped()
                // Up from the field reaches the list's last row, just above it.
                Keys.onUpPressed: (event) => {
                    if (deviceList.count > 0) {
                        deviceList.currentIndex = deviceList.count - 1
                        deviceList.forceActiveFocus()
                    } else
                        event.accepted = false
                }

                background: Rectangle {
                    color: "#1a1a1a"
                    radius: 4
                    border.color: ipField.activeFocus ? "#f5871f" : "#3a3a3a"
                }
            }

            Button {
                id: connectButton

                objectName: "connectButton"
                text: qsTr("Connect")
                enabled: picker.usable(ipField.text.trim())
                onClicked: picker.connectTyped()
            }
        }

        Text {
            objectName: "ipReason"
            Layout.fillWidth: true
            visible: !connectButton.enabled
            text: ipField.text.trim() === "" ? qsTr("No address typed") : qsTr("Not a numeric IP address")
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            color: "#c98a2e"
            font.pixelSize: 11
        }

        Button {
            objectName: "cancelButton"
            Layout.alignment: Qt.AlignRight
            text: qsTr("Cancel")
            onClicked: picker.close()
        }
    }
}
