// SPDX-License-Identifier: Apache-2.0
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts

// Chooses the box to control: one of those the sweep found, or a typed address. A Dialog
// rather than a bare Popup for its title, which screen readers announce.
Dialog {
    id: picker

    // The box the keys go to and the remembered boxes (choose, forget, the address rule), and
    // the found boxes as the list shows them, each row with all it needs to act on its box.
    required property var choice
    required property var foundDevices

    // The reason under the field waits until the user has typed or pressed Return.
    property bool addressTried: false

    // One wording for the picker and the command-line tool, kept with the model.
    function tunerLabel(n) {
        return remoteDeviceModel.tunerLabel(n) // qmllint disable unqualified
    }

    // Why text cannot be a box's address, in the key sender's own rule (shared with the
    // command line, and applied again at each key); "" when it can.
    function addressProblem(text) {
        return choice.addressProblem(text)
    }

    // id is the box's discovery id, "" for a typed address: only a listed box can be found
    // again after it changes address. Choosing is the logic's one operation, the same as at
    // start-up and for a moved box: it changes nothing unless the address can be used.
    function selectDevice(ip, name, id = "") {
        if (choice.choose(String(ip ?? ""), String(name ?? ""), String(id ?? "")) === "")
            picker.close()
    }

    // The boxes the user has chosen before; those that do not answer this sweep are listed
    // after the found ones, and can still be chosen.
    readonly property var remembered: choice.remembered

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
        // Another window may have chosen, or forgotten, a box since.
        remembered.reload()
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
                model: picker.foundDevices
                // Tab reaches the rows while one can be chosen, Up/Down walk those, Return
                // chooses one. Rows without a usable address are passed over.
                activeFocusOnTab: picker.foundDevices.anyChoosable
                Accessible.role: Accessible.List
                Accessible.name: qsTr("Orvantide devices")

                function moveTo(row) {
                    currentIndex = row
                    positionViewAtIndex(row, ListView.Contain)
                }

                // Enters the list on its last row that can be chosen; false when there is none.
                function enterFromBelow() {
                    const last = picker.foundDevices.nextChoosable(count, -1)
                    if (last < 0)
                        return false
                    moveTo(last)
                    forceActiveFocus()
                    return true
                }

                // Focus shows at once: on a row that can be chosen, the first unless one already is.
                onActiveFocusChanged: {
                    if (activeFocus && !(currentItem && currentItem.enabled)) {
                        const first = picker.foundDevices.nextChoosable(-1, 1)
                        if (first >= 0)
                            moveTo(first)
                    }
                }

                Keys.onReturnPressed: if (currentItem) (currentItem as DeviceRow).clicked()
                Keys.onEnterPressed: if (currentItem) (currentItem as DeviceRow).clicked()
                Keys.onDeletePressed: if (currentItem) (currentItem as DeviceRow).forget()
                // Down from the last row that can be chosen goes on to the rows below.
                Keys.onDownPressed: (event) => {
                    const next = picker.foundDevices.nextChoosable(currentIndex, 1)
                    if (next >= 0)
                        moveTo(next)
                    else if (rememberedList.visible)
                        rememberedList.enter(0)
                    else
                        ipField.forceActiveFocus()
                }
                Keys.onUpPressed: (event) => {
                    const previous = picker.foundDevices.nextChoosable(currentIndex, -1)
                    if (previous >= 0)
                        moveTo(previous)
                }

                delegate: DeviceRow {
                    id: found

                    required property int index
                    required property string deviceIdRaw
                    required property int numTuners
                    required property bool choosable
                    required property bool remembered
                    readonly property bool current: ListView.isCurrentItem && ListView.view.activeFocus

                    width: ListView.view.width
                    height: 48
                    // A reply without a usable address cannot be chosen.
                    enabled: found.choosable
                    selected: found.current
                    detail: found.ip + "  ·  " + picker.tunerLabel(found.numTuners)
                    // A found box the user chose before can be forgotten here too.
                    forgettable: found.remembered
                    onChosen: picker.selectDevice(found.ip, found.name, found.deviceIdRaw)
                    onForget: picker.remembered.forget(found.ip, found.deviceIdRaw)
                    onHoveredChanged: {
                        if (hovered)
                            ListView.view.currentIndex = index
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
            Keys.onReturnPressed: if (currentItem) (currentItem as DeviceRow).clicked()
            Keys.onEnterPressed: if (currentItem) (currentItem as DeviceRow).clicked()
            Keys.onDeletePressed: if (currentItem) (currentItem as DeviceRow).forget()
            Keys.onDownPressed: {
                if (currentIndex + 1 < count)
                    enter(currentIndex + 1)
                else
                    ipField.forceActiveFocus()
            }
            Keys.onUpPressed: {
                if (currentIndex > 0)
                    enter(currentIndex - 1)
                else
                    deviceList.enterFromBelow()
            }

            // A remembered box that has not answered this sweep: it can still be chosen, or forgotten.
            delegate: DeviceRow {
                id: entry

                required property string deviceId
                required property bool choosable

                width: ListView.view.width
                height: 40
                // One that this machine's networks have made a broadcast address cannot be chosen.
                enabled: entry.choosable
                selected: ListView.isCurrentItem && ListView.view.activeFocus
                nameColor: "#c0c0c0"
                note: qsTr("not answering")
                detail: entry.ip + "  ·  " + qsTr("not answering")
                forgettable: true
                onChosen: picker.selectDevice(entry.ip, entry.name, entry.deviceId)
                onForget: picker.remembered.forget(entry.ip, entry.deviceId)
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
                    if (rememberedList.visible)
                        rememberedList.enter(picker.remembered.notAnsweringCount - 1)
                    else if (!deviceList.enterFromBelow())
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
                enabled: picker.addressProblem(ipField.text.trim()) === ""
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
