// SPDX-License-Identifier: Apache-2.0
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts

// Chooses the box to control: one of those the sweep found, or a typed address. A Dialog
// rather than a bare Popup for its title, which screen readers announce.
Dialog {
    id: picker

    // The reason under the field waits until the user has typed or pressed Return.
    property bool addressTried: false

    // One wording for the picker and the command-line tool, kept with the model.
    function tunerLabel(n) {
        return remoteDeviceModel.tunerLabel(n) // qmllint disable unqualified
    }

    // Why text cannot be a box's address, in the key sender's own rule (shared with the
    // command line, and applied again at each key); "" when it can.
    function addressProblem(text) {
        return keySender.addressProblem(text) // qmllint disable unqualified
    }

    function usable(ip) {
        return addressProblem(ip) === ""
    }

    // A name as it is shown and stored, by the model's one rule.
    function shownName(name) {
        return remoteDeviceModel.shownName(String(name ?? "")) // qmllint disable unqualified
    }

    // id is the box's discovery id, "" for a typed address: only a listed box can be found
    // again after it changes address. Choosing is the logic's one operation, the same as at
    // start-up and for a moved box: it changes nothing unless the address can be used.
    function selectDevice(ip, name, id = "") {
        if (keySender.choice.choose(String(ip ?? ""), String(name ?? ""), String(id ?? ""))) // qmllint disable unqualified
            picker.close()
    }

    // The boxes the user has chosen before; those that do not answer this sweep are listed
    // after the found ones, and can still be chosen.
    readonly property var remembered: keySender.choice.remembered // qmllint disable unqualified

    function switchTo(row) {
        if (keySender.choice.switchTo(row)) // qmllint disable unqualified
            picker.close()
    }

    function connectTyped() {
        // Return on text that is no address says why, even before anything was typed.
        addressTried = true
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
    // Only the title names the popup on the accessibility bus (a Popup is no Item, so it takes
    // no Accessible). It is not drawn: the picker has no header or footer.
    title: qsTr("Choose a device")
    header: null
    footer: null

    background: Rectangle {
        color: "#242424"
        border.color: "#3a3a3a"
        radius: 8
    }

    // A box found at a new address while the picker is open: the field shows where it is now.
    Connections {
        target: keySender // qmllint disable unqualified
        enabled: picker.visible

        function onHostChanged() {
            ipField.text = keySender.host // qmllint disable unqualified
        }
    }

    onOpened: {
        ipField.text = keySender.host // qmllint disable unqualified
        // As in a browser's address bar: what is typed replaces the current address.
        ipField.selectAll()
        addressTried = false
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

            // Carries the spinner's name on the bus: Qt 6.4 gives the indicator itself a role
            // that screen readers know only as "unknown", whatever the scene sets.
            Item {
                Layout.preferredWidth: 18
                Layout.preferredHeight: 18
                visible: busyIndicator.running
                Accessible.role: Accessible.Animation
                Accessible.name: busyIndicator.running ? qsTr("Searching for devices") : qsTr("Not searching")

                BusyIndicator {
                    id: busyIndicator

                    objectName: "busyIndicator"
                    anchors.fill: parent
                    // A sweep that cannot work only listens for unasked replies: nothing to wait for.
                    running: discoveryService.scanning && discoveryService.problem === "" // qmllint disable unqualified
                    // The style draws it in the palette's dark colour, unseen on this background.
                    palette.dark: "#d0d0d0"
                    visible: running
                    Accessible.ignored: true
                }
            }

            Button {
                objectName: "refreshButton"
                // Reached by Tab only: a click leaves the focus, and the visible mark, where it was.
                focusPolicy: Qt.TabFocus
                text: qsTr("Refresh")
                enabled: !discoveryService.scanning // qmllint disable unqualified
                onClicked: discoveryService.refresh() // qmllint disable unqualified
                // Qt's press action does not click by itself.
                Accessible.onPressAction: clicked()
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
                // Tab reaches the rows while one can be chosen, Up/Down walk those, Return
                // chooses one. Rows without a usable address are passed over.
                activeFocusOnTab: anyChoosable
                Accessible.role: Accessible.List
                Accessible.name: qsTr("Orvantide devices")

                property bool anyChoosable: false

                function choosable(row) {
                    const box = remoteDeviceModel.deviceAt(row) // qmllint disable unqualified
                    return box.ip !== undefined && picker.usable(box.ip)
                }

                // The next row from `from` in direction step (+1 or -1) that can be chosen, or -1.
                function nextChoosable(from, step) {
                    for (let row = from + step; row >= 0 && row < count; row += step) {
                        if (choosable(row))
                            return row
                    }
                    return -1
                }

                function moveTo(row) {
                    currentIndex = row
                    positionViewAtIndex(row, ListView.Contain)
                }

                function chooseCurrent() {
                    if (currentIndex < 0 || !choosable(currentIndex))
                        return
                    const box = remoteDeviceModel.deviceAt(currentIndex) // qmllint disable unqualified
                    picker.selectDevice(box.ip, box.name, box.deviceIdRaw)
                }

                // The model says countChanged after every new list, even one of the same length.
                Connections {
                    target: remoteDeviceModel // qmllint disable unqualified

                    function onCountChanged() {
                        deviceList.anyChoosable = deviceList.nextChoosable(-1, 1) >= 0
                    }
                }
                Component.onCompleted: anyChoosable = nextChoosable(-1, 1) >= 0

                // Focus shows at once: on a row that can be chosen, the first unless one already is.
                onActiveFocusChanged: {
                    if (activeFocus && !(currentIndex >= 0 && currentIndex < count && choosable(currentIndex))) {
                        const first = nextChoosable(-1, 1)
                        if (first >= 0)
                            moveTo(first)
                    }
                }

                Keys.onReturnPressed: chooseCurrent()
                Keys.onEnterPressed: chooseCurrent()
                Keys.onDeletePressed: {
                    const box = remoteDeviceModel.deviceAt(currentIndex) // qmllint disable unqualified
                    if (box.ip !== undefined)
                        picker.remembered.forget(picker.remembered.rowOf(box.ip, box.deviceIdRaw))
                }
                // Down from the last row that can be chosen goes on to the address field below.
                Keys.onDownPressed: (event) => {
                    const next = nextChoosable(currentIndex, 1)
                    if (next >= 0)
                        moveTo(next)
                    else if (rememberedList.visible)
                        rememberedList.enter(0)
                    else
                        ipField.forceActiveFocus()
                }
                Keys.onUpPressed: (event) => {
                    const previous = nextChoosable(currentIndex, -1)
                    if (previous >= 0)
                        moveTo(previous)
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
                    // The click's own checks refuse a row that cannot be chosen.
                    Accessible.onPressAction: row.clicked()
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
                            width: row.width - 16 - (forgetFound.visible ? forgetFound.width : 0)
                            text: row.ip + "  ·  " + picker.tunerLabel(row.numTuners)
                            textFormat: Text.PlainText
                            elide: Text.ElideRight
                            color: "#8a8a8a"
                            font.pixelSize: 11
                        }
                    }

                    // A found box the user chose before can be forgotten here too.
                    ForgetButton {
                        id: forgetFound

                        // Asked again whenever the list changes.
                        readonly property int entry: picker.remembered.count >= 0 ? picker.remembered.rowOf(row.ip, row.deviceIdRaw) : -1

                        anchors.right: parent.right
                        anchors.rightMargin: 6
                        anchors.verticalCenter: parent.verticalCenter
                        visible: entry >= 0
                        boxName: row.label + ", " + row.ip
                        onForget: picker.remembered.forget(entry)
                    }
                }
            }

            Text {
                objectName: "emptyText"
                anchors.centerIn: parent
                width: parent.width - 16
                visible: deviceList.count === 0
                // A sweep that cannot work says why at once instead of reporting an empty network.
                text: discoveryService.problem !== "" ? discoveryService.problem // qmllint disable unqualified
                                                      : (discoveryService.scanning ? qsTr("scanning…") // qmllint disable unqualified
                                                                                   : qsTr("no devices found"))
                textFormat: Text.PlainText
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                color: "#707070"
                font.pixelSize: 12
                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }
        }

        ListView {
            id: rememberedList

            objectName: "rememberedList"
            Layout.fillWidth: true
            // The model's own count: the view would count its rows only once shown.
            Layout.preferredHeight: Math.min(picker.remembered.notAnsweringCount, 3) * 40
            visible: picker.remembered.notAnsweringCount > 0
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            model: picker.remembered.notAnswering
            activeFocusOnTab: visible
            Accessible.role: Accessible.List
            Accessible.name: qsTr("Remembered devices, not answering")

            function enter(at) {
                currentIndex = at
                positionViewAtIndex(at, ListView.Contain)
                forceActiveFocus()
            }

            onActiveFocusChanged: {
                if (activeFocus && (currentIndex < 0 || currentIndex >= count))
                    currentIndex = 0
            }
            Keys.onReturnPressed: picker.switchTo(currentItem ? (currentItem as RememberedRow).row : -1)
            Keys.onEnterPressed: picker.switchTo(currentItem ? (currentItem as RememberedRow).row : -1)
            Keys.onDeletePressed: {
                if (currentItem)
                    picker.remembered.forget((currentItem as RememberedRow).row)
            }
            Keys.onDownPressed: {
                if (currentIndex + 1 < count)
                    enter(currentIndex + 1)
                else
                    ipField.forceActiveFocus()
            }
            Keys.onUpPressed: {
                if (currentIndex > 0) {
                    enter(currentIndex - 1)
                    return
                }
                const last = deviceList.nextChoosable(deviceList.count, -1)
                if (last >= 0) {
                    deviceList.moveTo(last)
                    deviceList.forceActiveFocus()
                }
            }

            delegate: RememberedRow {
                width: ListView.view.width
                selected: ListView.isCurrentItem && ListView.view.activeFocus
                onChosen: picker.switchTo(row)
                onForget: picker.remembered.forget(row)
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
                // Said with the field: why Connect is refused, or the example while it is empty
                // (Qt's own description, the example, would be read out over a typed address too).
                Accessible.description: ipReason.visible ? ipReason.text : (text === "" ? placeholderText : "")
                onAccepted: picker.connectTyped()
                onTextEdited: picker.addressTried = true
                // Up from the field reaches the list's last row that can be chosen, just above it.
                Keys.onUpPressed: (event) => {
                    if (rememberedList.visible) {
                        rememberedList.enter(picker.remembered.notAnsweringCount - 1)
                        return
                    }
                    const last = deviceList.nextChoosable(deviceList.count, -1)
                    if (last >= 0) {
                        deviceList.moveTo(last)
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
                focusPolicy: Qt.TabFocus
                text: qsTr("Connect")
                enabled: picker.usable(ipField.text.trim())
                onClicked: picker.connectTyped()
                // Disabled, it takes no click, and so no press: that would bring up the reason.
                Accessible.onPressAction: if (enabled) clicked()
            }
        }

        Text {
            id: ipReason

            objectName: "ipReason"
            Layout.fillWidth: true
            visible: picker.addressTried && !connectButton.enabled
            text: picker.addressProblem(ipField.text.trim())
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            color: "#c98a2e"
            font.pixelSize: 11
        }

        Button {
            objectName: "cancelButton"
            Layout.alignment: Qt.AlignRight
            focusPolicy: Qt.TabFocus
            text: qsTr("Cancel")
            onClicked: picker.close()
            Accessible.onPressAction: clicked()
        }
    }
}
