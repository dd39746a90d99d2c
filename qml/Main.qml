// SPDX-License-Identifier: Apache-2.0
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import QtQml.Models
import QtQuick.Templates as T
import Falquin

ApplicationWindow {
    id: window

    // The logic beyond the four context objects, handed over by whoever loads the window (the
    // scene's loader; in the tests, the test): the box the keys go to and the remembered boxes,
    // the picker's view of the found boxes, and the follower that finds a box that moved.
    required property var choice
    required property var foundDevices
    required property var follower

    // Every key's command, name and shortcuts, for the shortcuts, the tool tips and the face.
    required property var keyTable

    // Left and Right are missing on purpose: seekKeys needs their release edge.
    readonly property var keyShortcuts: keyTable.shortcuts
    readonly property string leftCommand: keyTable.commandFor("Left")
    readonly property string rightCommand: keyTable.commandFor("Right")

    width: 340
    height: 920
    minimumWidth: 220
    minimumHeight: 560
    visible: true
    title: "Falquin"
    color: "#0f0f0f"

    // The one tool tip of the drawn keys and the gear, after the usual delay: the key table's for
    // a drawn key, or the text given. Made on the first hover: the window does not make 35 tool
    // tips while it starts.
    function hoverKey(control, hovered, text = "") {
        if (!hovered) {
            if (keyToolTip && keyToolTip.parent === control)
                keyToolTip.close()
            return
        }
        if (text === "")
            text = keyTable.toolTip(control.keyCommand)
        if (!keyToolTip)
            keyToolTip = toolTipComponent.createObject(window.contentItem) as ToolTip
        keyToolTip.parent = control
        keyToolTip.text = text
        keyToolTip.open()
    }

    property ToolTip keyToolTip: null

    Component {
        id: toolTipComponent

        // Qt Widgets' tooltip wake-up delay. A tool tip is a popup that never takes focus.
        ToolTip {
            delay: 700
        }
    }

    function showToast(text, failure) {
        toastText.text = text
        toast.failure = failure
        console.info(toastLog, text)
        // A screen reader speaks a notification when it shows: one still showing shows again,
        // hidden and shown within this call, so no frame is drawn without it.
        if (toast.visible) {
            toast.reshowing = true
            toast.reshowing = false
        }
        toast.opacity = 0.95
        toastTimer.restart()
    }

    // A key-up after Alt-Tab goes elsewhere: end the seek now, or the box keeps scanning.
    onActiveChanged: {
        if (!active)
            seekKeys.abort()
    }
    // The key-up will never come once the window is gone.
    onClosing: seekKeys.abort()

    // The picker is made on first use: with a box chosen, most starts never open it.
    // Typed by what the window asks of them, so that their documents load only at first use.
    readonly property T.Popup devicePopup: pickerLoader.item as T.Popup
    readonly property bool pickerVisible: devicePopup !== null && devicePopup.visible
    // While a popup is up the keyboard is its own: no shortcut fires and no seek starts.
    readonly property bool popupOpen: pickerVisible || (deviceMenu !== null && deviceMenu.visible)

    // A box chosen from the list that stops answering may just have a new address; the
    // follower looks for it and says when it has moved.
    readonly property bool searching: follower.searching

    // Every box the user has chosen, most recent first: the device bar's menu and Ctrl+1 … Ctrl+8.
    readonly property var remembered: choice.remembered

    // Says where the keys go now, or why they still go where they went (the choice changed nothing).
    function showSwitch(refusal) {
        if (refusal === "")
            showToast(qsTr("Keys now go to %1").arg(deviceButton.shownName), false)
        else
            showToast(refusal, true)
    }

    // Sends the keys to the remembered box at position (0 for Ctrl+1), at once and without a search.
    function switchTo(position) {
        showSwitch(choice.switchTo(position))
    }

    function openPicker() {
        if (!pickerLoader.item)
            pickerLoader.setSource("DevicePicker.qml", { choice: window.choice, foundDevices: window.foundDevices })
        devicePopup.open()
    }

    // With no box stored the picker opens by itself, right after the window's first frame:
    // the window does not wait for the picker to be made.
    Connections {
        id: firstFrame

        target: window

        function onFrameSwapped() {
            firstFrame.enabled = false
            if (keySender.host === "") // qmllint disable unqualified
                window.openPicker()
        }
    }

    RowLayout {
        id: deviceBar

        objectName: "deviceBar"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 8
        height: 24
        spacing: 6

        // The box's name opens the menu of remembered boxes. Never takes focus, as the gear.
        AbstractButton {
            id: deviceButton

            objectName: "deviceButton"
            readonly property string shownName: keySender.deviceName !== "" ? keySender.deviceName : keySender.host // qmllint disable unqualified

            Layout.fillWidth: true
            Layout.fillHeight: true
            focusPolicy: Qt.NoFocus
            hoverEnabled: true
            // Bound to the sender, not the settings, so it follows the live choice.
            text: keySender.host === "" ? qsTr("no device configured") // qmllint disable unqualified
                                        : (window.searching ? qsTr("looking for %1…").arg(shownName) : shownName)
            onClicked: window.openDeviceMenu()
            // The bus hears the box in the text within; this names what the press opens.
            Accessible.name: qsTr("Remembered devices")
            Accessible.onPressAction: clicked()
            Accessible.focusable: false

            contentItem: Text {
                objectName: "deviceText"
                text: deviceButton.text
                textFormat: Text.PlainText
                color: keySender.host === "" ? "#c98a2e" : "#8a8a8a" // qmllint disable unqualified
                font.pixelSize: 12
                elide: Text.ElideRight
                verticalAlignment: Text.AlignVCenter
                // For a screen reader's review of the window: where the keys go.
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                // Qt offers every static text a SetFocus action; focus left here would stop Left/Right.
                onActiveFocusChanged: {
                    if (activeFocus)
                        seekKeys.forceActiveFocus()
                }
            }
        }

        // Never takes focus: focus parked here would stop the Left/Right gesture.
        AbstractButton {
            id: gearButton

            objectName: "gearButton"
            Accessible.name: qsTr("Choose device")
            implicitWidth: 24
            implicitHeight: 24
            focusPolicy: Qt.NoFocus
            hoverEnabled: true
            // The keyboard's way to the picker is its shortcut, named here.
            onHoveredChanged: window.hoverKey(gearButton, hovered, Accessible.name + " (" + pickerShortcut.nativeText + ")")
            onClicked: window.openPicker()
            // Pressed through the bus as clicked, and no SetFocus offered there, as for the keys.
            Accessible.onPressAction: clicked()
            Accessible.focusable: false

            contentItem: Text {
                text: Glyphs.settings
                font.family: "Material Symbols Rounded"
                font.pixelSize: 18
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                color: gearButton.hovered ? "#d0d0d0" : "#8a8a8a"
            }
        }
    }

    // Left/Right: tap to navigate, hold to seek. Only key handlers see the release
    // edge, so a tap is sent on release and a hold sends "down" then "up".
    Item {
        id: seekKeys

        objectName: "seekKeys"
        property string heldKey: ""
        property bool seeking: false

        function seekCmd(key) {
            return window.keyTable.seekOf(key)
        }

        function press(key) {
            if (heldKey !== "")
                return
            heldKey = key
            seeking = false
            seekTimer.restart()
        }

        function release(key) {
            if (heldKey !== key)
                return
            seekTimer.stop()
            const cmd = seeking ? seekCmd(key) + " up" : key
            heldKey = ""
            seeking = false
            keySender.sendKey(cmd) // qmllint disable unqualified
        }

        function abort() {
            seekTimer.stop()
            const owed = seeking ? seekCmd(heldKey) + " up" : ""
            heldKey = ""
            seeking = false
            if (owed !== "")
                keySender.sendKey(owed) // qmllint disable unqualified
        }

        anchors.top: deviceBar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 6
        focus: true
        // It holds the focus, so a screen reader says it when the window or the picker hands
        // the focus back: the box the keys go to.
        Accessible.role: Accessible.Pane
        Accessible.name: keySender.host === "" ? qsTr("Remote, no device configured") // qmllint disable unqualified
                                               : qsTr("Remote for %1").arg(deviceButton.shownName)
        Accessible.focusable: true
        Accessible.focused: activeFocus

        Keys.onPressed: (event) => {
            if (window.popupOpen || event.isAutoRepeat)
                return
            if (event.key === Qt.Key_Left) {
                press(window.leftCommand)
                event.accepted = true
            } else if (event.key === Qt.Key_Right) {
                press(window.rightCommand)
                event.accepted = true
            }
        }

        // Not gated on the picker, so a running seek can always be ended.
        Keys.onReleased: (event) => {
            if (event.isAutoRepeat)
                return
            if (event.key === Qt.Key_Left) {
                release(window.leftCommand)
                event.accepted = true
            } else if (event.key === Qt.Key_Right) {
                release(window.rightCommand)
                event.accepted = true
            }
        }

        // A switch to another box sends the "up" of a running seek to the box that got the
        // "down"; the key's own release then has nothing more to send.
        Connections {
            target: keySender // qmllint disable unqualified

            function onKeySent(keys: string) {
                if (seekKeys.seeking && keys === seekKeys.seekCmd(seekKeys.heldKey) + " up") {
                    seekKeys.heldKey = ""
                    seekKeys.seeking = false
                }
            }
        }

        // The same threshold as a held drawn key, so mouse and keyboard feel alike.
        Timer {
            id: seekTimer

            interval: remote.holdThresholdMs
            onTriggered: {
                seekKeys.seeking = true
                keySender.sendKey(seekKeys.seekCmd(seekKeys.heldKey) + " down") // qmllint disable unqualified
            }
        }

        RemoteBody {
            id: remote

            objectName: "remote"
            keys: window.keyTable
            anchors.centerIn: parent
            scale: Math.min(seekKeys.width / implicitWidth, seekKeys.height / implicitHeight)
            // The software renderer draws rounded corners smooth only at scale 1: it is given
            // the remote at its design size in a layer and scales that, filtered. OpenGL draws
            // the corners smooth at any scale by itself.
            layer.enabled: GraphicsInfo.api === GraphicsInfo.Software
            layer.smooth: true
        }
    }

    // Quits from anywhere, the picker included; an owed seek "up" still goes out on the way.
    Shortcut {
        sequence: "Ctrl+Q"
        context: Qt.ApplicationShortcut
        onActivated: Qt.quit()
    }

    // The keyboard's way to the picker, as browsers' Ctrl+L goes to their address bar. The
    // gear stays out of the Tab chain instead: focus parked on it would stop Left/Right.
    Shortcut {
        id: pickerShortcut

        sequence: "Ctrl+L"
        context: Qt.ApplicationShortcut
        enabled: !window.popupOpen
        onActivated: window.openPicker()
    }

    // Ctrl+1 is the current box, Ctrl+2 the one before it: pressed twice, it goes back, as Alt+Tab does.
    Instantiator {
        model: window.remembered.max

        delegate: Shortcut {
            required property int index

            sequence: "Ctrl+" + (index + 1)
            context: Qt.ApplicationShortcut
            // Also past this window's list: another window may have remembered more since.
            enabled: !window.popupOpen
            onActivated: window.switchTo(index)
        }
    }

    function openDeviceMenu() {
        // Another window may have chosen, or forgotten, a box since.
        remembered.reload()
        if (remembered.count === 0) {
            openPicker()
            return
        }
        // A popup made by a Loader has no parent of its own; it opens below the box's name.
        menuUnloader.stop()
        if (!deviceMenu)
            menuLoader.setSource("DeviceMenu.qml", { remembered: remembered, parent: contentItem })
        deviceMenu.popup(deviceButton, 0, deviceButton.height)
    }

    // Made when it opens, so that it shows the list as stored then, and gone once it has closed.
    Loader {
        id: menuLoader
    }

    readonly property T.Menu deviceMenu: menuLoader.item as T.Menu

    Timer {
        id: menuUnloader

        interval: 0
        onTriggered: menuLoader.source = ""
    }

    Connections {
        target: window.deviceMenu

        // Also ends a keyboard seek: its key-up goes to the menu now.
        function onAboutToShow() {
            seekKeys.abort()
        }

        function onClosed() {
            seekKeys.forceActiveFocus()
            menuUnloader.restart()
        }

        function onChosen(ip, name, id) {
            window.showSwitch(window.choice.choose(ip, name, id))
        }

        function onChooseAnother() {
            window.openPicker()
        }
    }

    Connections {
        target: Qt.application

        function onAboutToQuit() {
            seekKeys.abort()
        }
    }

    Instantiator {
        model: window.keyShortcuts

        delegate: Shortcut {
            required property var modelData

            sequences: modelData.seqs
            context: Qt.ApplicationShortcut
            // Typing an address in the picker, or walking the menu, must not fire keys.
            enabled: !window.popupOpen
            onActivated: keySender.sendKey(modelData.cmd) // qmllint disable unqualified
        }
    }

    Rectangle {
        id: toast

        objectName: "toast"
        property bool failure: true
        property bool reshowing: false

        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 18
        width: toastText.width + 24
        height: toastText.height + 12
        radius: height / 2
        color: failure ? "#b3271e" : "#2f6f3e"
        opacity: 0
        visible: opacity > 0 && !reshowing
        // Orca speaks an item that shows inside the window only as a notification, not as an alert.
        Accessible.role: Accessible.Notification
        Accessible.name: toastText.text

        Behavior on opacity {
            NumberAnimation {
                duration: 150
            }
        }

        Text {
            id: toastText

            objectName: "toastText"
            anchors.centerIn: parent
            // A long reason wraps inside the window instead of running off its edges.
            width: Math.min(implicitWidth, window.width - 48)
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
            textFormat: Text.PlainText
            color: "white"
            font.pixelSize: 12
        }

        Timer {
            id: toastTimer

            objectName: "toastTimer"
            interval: 2500
            onTriggered: toast.opacity = 0
        }
    }

    // Off unless enabled (QT_LOGGING_RULES="falquin.toast.info=true"): says what the toast showed.
    LoggingCategory {
        id: toastLog

        name: "falquin.toast"
        defaultLogLevel: LoggingCategory.Warning
    }

    Connections {
        target: keySender // qmllint disable unqualified

        function onKeyFailed(keys, reason) {
            window.showToast(qsTr("'%1': %2").arg(keys).arg(reason), true)
        }
    }

    Connections {
        target: window.follower

        function onMoved(message) {
            window.showToast(message, false)
        }
    }

    // The choice still holds for this run; only the next start will not know it.
    Connections {
        target: settings // qmllint disable unqualified

        function onWriteFailed(reason) {
            window.showToast(qsTr("could not save the chosen box: %1").arg(reason), true)
        }
    }

    Loader {
        id: pickerLoader

        // Where it would sit if declared in the window, so it centres on the whole window.
        onLoaded: {
            window.devicePopup.parent = window.contentItem
        }
    }

    Connections {
        target: window.devicePopup

        // Also ends a keyboard seek: its key-up can no longer reach seekKeys.
        function onVisibleChanged() {
            if (window.devicePopup.visible)
                seekKeys.abort()
        }

        // Whatever the picker had focused is gone once it closes.
        function onClosed() {
            seekKeys.forceActiveFocus()
        }
    }
}
