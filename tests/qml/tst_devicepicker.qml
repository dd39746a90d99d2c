// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtTest
import Falquin

// The picker against the real key sender, settings, discovery service and device model.
TestCase {
    id: testCase

    name: "DevicePicker"
    width: 420
    height: 640
    visible: true
    when: windowShown

    property DevicePicker picker

    Component {
        id: pickerComponent

        DevicePicker {}
    }

    function init() {
        keySender.host = "10.0.0.9" // qmllint disable unqualified
        keySender.deviceName = "Old" // qmllint disable unqualified
        settings.lastDeviceIp = "10.0.0.9" // qmllint disable unqualified
        settings.lastDeviceName = "Old" // qmllint disable unqualified
        deviceFeed.show([]) // qmllint disable unqualified
        // Boxes chosen by earlier tests are remembered; each test starts with none.
        deviceFeed.forgetRemembered() // qmllint disable unqualified
        picker = createTemporaryObject(pickerComponent, testCase, {
            choice: windowProperties.choice, foundDevices: windowProperties.foundDevices // qmllint disable unqualified
        })
    }

    function cleanup() {
        keySender.host = "127.0.0.1" // qmllint disable unqualified
    }

    function child(name) {
        const item = findChild(picker.contentItem, name)
        verify(item, name)
        return item
    }

    // Open and laid out, as it is by the time a user can click a row.
    function openPicker() {
        picker.open()
        tryCompare(picker, "opened", true)
        waitForRendering(picker.contentItem)
    }

    function rows() {
        const list = child("deviceList")
        const found = []
        for (let i = 0; i < list.count; ++i) {
            list.positionViewAtIndex(i, 0) // ListView.Beginning
            const row = list.itemAtIndex(i)
            found.push({ row: row, name: findChild(row, "nameText"), detail: findChild(row, "detailText") })
        }
        return found
    }

    // Stored and live choice both still as init() left them.
    function verifyUnchanged() {
        compare(keySender.host, "10.0.0.9") // qmllint disable unqualified
        compare(keySender.deviceName, "Old") // qmllint disable unqualified
        compare(settings.lastDeviceIp, "10.0.0.9") // qmllint disable unqualified
        compare(settings.lastDeviceName, "Old") // qmllint disable unqualified
    }

    function test_tunerLabels() {
        compare(picker.tunerLabel(0), "Pebble")
        compare(picker.tunerLabel(1), "Harbor")
        compare(picker.tunerLabel(2), "Lantern")
        compare(picker.tunerLabel(3), "3 Tuners")
        compare(picker.tunerLabel(4), "Beacon")
        compare(picker.tunerLabel(8), "8 Tuners")

        // And as the rows show them, sorted by name, with the exact separator.
        deviceFeed.show([ // qmllint disable unqualified
            { name: "F", ip: "10.0.0.6", tuners: 8 }, { name: "A", ip: "10.0.0.1", tuners: 0 },
            { name: "C", ip: "10.0.0.3", tuners: 2 }, { name: "B", ip: "10.0.0.2", tuners: 1 },
            { name: "E", ip: "10.0.0.5", tuners: 4 }, { name: "D", ip: "10.0.0.4", tuners: 3 }])
        openPicker()
        const shown = rows().map(r => r.name.text + "|" + r.detail.text)
        compare(shown, ["A|10.0.0.1  ·  Pebble", "B|10.0.0.2  ·  Harbor", "C|10.0.0.3  ·  Lantern",
                        "D|10.0.0.4  ·  3 Tuners", "E|10.0.0.5  ·  Beacon", "F|10.0.0.6  ·  8 Tuners"])
    }

    function test_listHeight_data() {
        return [
            { tag: "none", boxes: 0, height: 48 },
            { tag: "one", boxes: 1, height: 48 },
            { tag: "four", boxes: 4, height: 192 },
            { tag: "five", boxes: 5, height: 192 },
        ]
    }

    function test_listHeight(data) {
        const boxes = []
        for (let i = 0; i < data.boxes; ++i)
            boxes.push({ name: "Box " + i, ip: "10.0.1." + i, tuners: 2 })
        deviceFeed.show(boxes) // qmllint disable unqualified
        openPicker()
        const list = child("deviceList")
        compare(list.count, data.boxes)
        tryCompare(list, "height", data.height)
        compare(list.contentHeight > list.height, data.boxes > 4, "scrolls only past four rows")
        // The list announces its new count at its next layout.
        tryCompare(child("emptyText"), "visible", data.boxes === 0)
        // Rows arriving while open resize the list at once.
        deviceFeed.show(boxes.concat([{ name: "Late", ip: "10.0.2.1" }, { name: "Later", ip: "10.0.2.2" }])) // qmllint disable unqualified
        tryCompare(list, "height", Math.min(data.boxes + 2, 4) * 48)
    }

    // The busy state from an opening to the sweep's end, then Refresh; two full sweeps.
    function test_sweeps() {
        tryCompare(discoveryService, "scanning", false, 12000) // qmllint disable unqualified
        openPicker()
        compare(child("ipField").text, "10.0.0.9", "the field shows the current host")
        verify(discoveryService.scanning, "opening starts a sweep") // qmllint disable unqualified
        verify(!child("refreshButton").enabled)
        // Only loopback is up here: the picker says at once why nothing can be found, and
        // does not spin for a sweep that only listens.
        compare(child("emptyText").text, "no network to search")
        verify(!child("busyIndicator").running)

        // scanning reads false as soon as the sweep returns on its thread; the scene
        // follows at scanningChanged, a moment later on this one.
        tryCompare(child("refreshButton"), "enabled", true, 12000)
        verify(!discoveryService.scanning) // qmllint disable unqualified
        verify(!child("busyIndicator").visible)
        compare(discoveryService.problem, "no network to search") // qmllint disable unqualified
        compare(child("emptyText").text, "no network to search")
        tryCompare(child("deviceList"), "height", 48)

        wait(50) // the header re-lays out as the busy indicator hides
        mouseClick(child("refreshButton"))
        verify(discoveryService.scanning, "Refresh starts a sweep") // qmllint disable unqualified
        verify(!child("refreshButton").enabled)

        picker.close()
        tryCompare(picker, "visible", false)
        keySender.host = "10.0.0.11" // qmllint disable unqualified
        openPicker()
        compare(child("ipField").text, "10.0.0.11", "refilled from the host at each opening")
    }

    // A click on a row chooses its box with its name: the host first, since a new host clears
    // the name.
    function test_clickChoosesRow_data() {
        return [{ tag: "named", name: "Den", shown: "Den" }, { tag: "unnamed", name: "", shown: "(unnamed)" }]
    }

    function test_clickChoosesRow(data) {
        deviceFeed.show([{ name: data.name, ip: "10.0.0.7", tuners: 2 }]) // qmllint disable unqualified
        openPicker()
        const row = rows()[0]
        compare(row.name.text, data.shown)
        mouseClick(row.row)
        tryCompare(picker, "visible", false)
        compare([keySender.host, keySender.deviceName], ["10.0.0.7", data.name]) // qmllint disable unqualified
        compare([settings.lastDeviceIp, settings.lastDeviceName], ["10.0.0.7", data.name]) // qmllint disable unqualified
    }

    // Called as the list and the field call it, and with what a box might send as its name.
    function test_selectDevice_data() {
        return [
            { tag: "ip, name and id", args: ["10.0.0.7", "Den", "0e0b0c5151a7"], name: "Den", id: "0e0b0c5151a7" },
            { tag: "control characters", args: ["10.0.0.7", "Den\u0007\nTV "], name: "Den TV", id: "" },
            { tag: "name missing", args: ["10.0.0.7"], name: "", id: "" },
            { tag: "unusable address", args: ["tv.local", "Den", "0e0b0c5151a7"], unchanged: true },
            { tag: "address missing", args: [], unchanged: true },
        ]
    }

    function test_selectDevice(data) {
        settings.lastDeviceId = "0e0b0c5151a2" // qmllint disable unqualified
        openPicker()
        picker.selectDevice(...data.args)
        if (data.unchanged) {
            verify(picker.visible, "still open")
            verifyUnchanged()
            compare(settings.lastDeviceId, "0e0b0c5151a2") // qmllint disable unqualified
            return
        }
        tryCompare(picker, "visible", false)
        compare(keySender.host, "10.0.0.7") // qmllint disable unqualified
        compare(keySender.deviceName, data.name) // qmllint disable unqualified
        compare(settings.lastDeviceIp, "10.0.0.7") // qmllint disable unqualified
        compare(settings.lastDeviceName, data.name) // qmllint disable unqualified
        compare(settings.lastDeviceId, data.id) // qmllint disable unqualified
    }

    // A name with nothing visible in it reads "(unnamed)", like a missing one; markup is text.
    function test_rowLabels() {
        deviceFeed.show([{ name: " \t", ip: "10.0.0.1" }, { name: "\u0002\u0003", ip: "10.0.0.2" }, // qmllint disable unqualified
                         { name: "A\u0007B", ip: "10.0.0.3" }, { name: "<b>x</b>", ip: "10.0.0.5" }])
        openPicker()
        const names = rows().map(r => r.name)
        compare(names.map(n => n.text).sort(), ["(unnamed)", "(unnamed)", "<b>x</b>", "A B"])
        const markup = names.find(n => n.text === "<b>x</b>")
        // Rendered as markup it would be one bold letter; as text it is eight characters.
        verify(markup.contentWidth > 4 * markup.font.pixelSize, "width " + markup.contentWidth)
    }

    function test_typedAddress_data() {
        return [
            { tag: "Connect", how: "click", text: "  10.9.8.7 ", host: "10.9.8.7" },
            { tag: "Return", how: Qt.Key_Return, text: "  10.9.8.7 ", host: "10.9.8.7" },
            { tag: "keypad Enter", how: Qt.Key_Enter, text: "  10.9.8.7 ", host: "10.9.8.7" },
            { tag: "IPv6", how: Qt.Key_Return, text: "fe80::1", host: "fe80::1" },
        ]
    }

    function test_typedAddress(data) {
        settings.lastDeviceId = "0e0b0c5151a2" // qmllint disable unqualified
        openPicker()
        const field = child("ipField")
        tryVerify(() => field.activeFocus, 2000, "the field takes the keys when the picker opens")
        compare(field.selectedText, "10.0.0.9", "the current address is selected, so typing replaces it")
        for (const c of data.text)
            keyClick(c)
        compare(field.text, data.text)
        verify(!child("ipReason").visible)
        if (data.how === "click")
            mouseClick(child("connectButton"))
        else
            keyClick(data.how, data.how === Qt.Key_Enter ? Qt.KeypadModifier : Qt.NoModifier)
        tryCompare(picker, "visible", false)
        compare(keySender.host, data.host) // qmllint disable unqualified
        compare(keySender.deviceName, "") // qmllint disable unqualified
        compare(settings.lastDeviceIp, data.host) // qmllint disable unqualified
        compare(settings.lastDeviceName, "") // qmllint disable unqualified
        compare(settings.lastDeviceId, "", "a typed address is not the listed box any more") // qmllint disable unqualified
    }

    // Only what the key sender can send to is ever taken: the command line's rule.
    function test_unusableAddress_data() {
        const blank = "No address typed"
        const bad = "Not a numeric IP address"
        return [
            { tag: "empty", text: "", reason: blank },
            { tag: "spaces", text: "   ", reason: blank },
            { tag: "host name", text: "tv.local", reason: bad },
            { tag: "short form", text: "10.77.2", reason: "Not a whole IPv4 address: four numbers 0–255 are needed" },
            // The test's namespace has loopback's 127.0.0.1/8 only.
            { tag: "a local network's broadcast", text: "127.255.255.255",
              reason: "127.255.255.255 is the broadcast address of 127.0.0.0/8" },
            { tag: "markup", text: "<b>1</b>", reason: bad },
        ]
    }

    function test_unusableAddress(data) {
        openPicker()
        const field = child("ipField")
        tryVerify(() => field.activeFocus, 2000)
        field.text = data.text
        verify(!child("connectButton").enabled)
        // Pressed by a screen reader as it is clicked: a disabled button does nothing.
        child("connectButton").Accessible.pressAction()
        verify(!child("ipReason").visible, "no reason before the user typed or pressed Return")
        keyClick(Qt.Key_Return)
        verify(child("ipReason").visible)
        compare(child("ipReason").text, data.reason)
        compare(child("ipReason").textFormat, Text.PlainText)
        keyClick(Qt.Key_Enter, Qt.KeypadModifier)
        mouseClick(child("connectButton"))
        wait(50)
        verify(picker.visible, "still open")
        verifyUnchanged()
        field.text = "10.0.0.1"
        verify(child("connectButton").enabled)
        verify(!child("ipReason").visible)
    }

    // The reason shows as soon as the user types, and again at each opening only then.
    function test_reasonWhileTyping() {
        openPicker()
        const field = child("ipField")
        tryVerify(() => field.activeFocus, 2000)
        field.text = ""
        verify(!child("ipReason").visible, "none for an empty field nobody typed in")
        for (const c of "tv.l")
            keyClick(c)
        verify(child("ipReason").visible)
        compare(child("ipReason").text, "Not a numeric IP address")
        keyClick(Qt.Key_Escape)
        tryCompare(picker, "visible", false)
        openPicker()
        verify(!child("ipReason").visible, "a new opening starts without it")
    }

    // Neither by the mouse nor by a screen reader's press.
    function test_rowWithoutAddressCannotBeChosen() {
        deviceFeed.show([{ name: "Ghost", ip: "", tuners: 2 }]) // qmllint disable unqualified
        openPicker()
        mouseClick(rows()[0].row)
        rows()[0].row.Accessible.pressAction()
        wait(50)
        verify(picker.visible, "still open")
        verifyUnchanged()
    }

    // Tab and Up from the field reach the list, Up/Down walk it and Return chooses, passing over
    // rows that cannot be chosen (E names loopback's broadcast); the list marks its row at once.
    function test_keyboardSkipsUnusableRows() {
        deviceFeed.show([{ name: "A", ip: "", tuners: 1 }, { name: "B", ip: "10.0.0.2", tuners: 1, id: "0e0b0c5151a2" }, // qmllint disable unqualified
                         { name: "C", ip: "tv.local", tuners: 1 }, { name: "D", ip: "10.0.0.4", tuners: 1 },
                         { name: "E", ip: "127.255.255.255", tuners: 1 }])
        openPicker()
        const list = child("deviceList")
        const field = child("ipField")
        tryVerify(() => field.activeFocus, 2000)
        keyClick(Qt.Key_Up)
        verify(list.activeFocus, "Up from the field reaches the list")
        compare(list.currentIndex, 3, "on the last row that can be chosen")
        verify(list.currentItem.current, "and shows it")
        keyClick(Qt.Key_Up)
        compare(list.currentIndex, 1)
        keyClick(Qt.Key_Up)
        compare(list.currentIndex, 1, "nothing above it can be chosen")
        keyClick(Qt.Key_Down)
        compare(list.currentIndex, 3)
        keyClick(Qt.Key_Down)
        verify(field.activeFocus, "Down from the last row that can be chosen leaves the list")

        list.currentIndex = 0
        let tabs = 0
        while (!list.activeFocus && tabs++ < 8)
            keyClick(Qt.Key_Tab)
        verify(list.activeFocus, "Tab reaches the list")
        compare(list.currentIndex, 1, "its first row that can be chosen, shown before any arrow key")
        verify(list.currentItem.current)
        keyClick(Qt.Key_Return)
        tryCompare(picker, "visible", false)
        compare([keySender.host, keySender.deviceName], ["10.0.0.2", "B"]) // qmllint disable unqualified
        compare([settings.lastDeviceIp, settings.lastDeviceName, settings.lastDeviceId], // qmllint disable unqualified
                ["10.0.0.2", "B", "0e0b0c5151a2"], "the id is remembered")
    }

    // Tab goes the way the eye reads, round the picker, and shows where it is.
    function test_tabOrder_data() {
        return [
            { tag: "address typed", text: "10.0.0.1", boxes: [{ name: "Den", ip: "10.0.0.7" }],
              order: ["connectButton", "cancelButton", "refreshButton", "deviceList", "ipField"] },
            { tag: "no address", text: "", boxes: [{ name: "Den", ip: "10.0.0.7" }],
              order: ["cancelButton", "refreshButton", "deviceList", "ipField"] },
            { tag: "no row to choose", text: "10.0.0.1", boxes: [{ name: "Ghost", ip: "" }],
              order: ["connectButton", "cancelButton", "refreshButton", "ipField"] },
        ]
    }

    function test_tabOrder(data) {
        deviceFeed.show(data.boxes) // qmllint disable unqualified
        openPicker()
        const field = child("ipField")
        tryVerify(() => field.activeFocus, 2000)
        field.text = data.text
        // Refresh waits for the sweep that the opening started.
        const order = data.order.filter(name => name !== "refreshButton" || child(name).enabled)
        const reached = []
        for (let i = 0; i < order.length; ++i) {
            keyClick(Qt.Key_Tab)
            const name = order.find(n => child(n).activeFocus) || "?"
            reached.push(name)
            const control = child(order[i])
            if (name === "ipField")
                compare(String(control.background.border.color), "#f5871f", "the field shows its focus")
            else if (name === "deviceList")
                verify(control.currentItem && control.currentItem.current, "the list shows its row")
            else if (name !== "?")
                verify(control.visualFocus, name + " shows its focus")
        }
        compare(reached, order)
        // And back again from the field, round to the field.
        const back = []
        for (let i = 0; i < order.length; ++i) {
            keyClick(Qt.Key_Backtab)
            back.push(order.find(n => child(n).activeFocus) || "?")
        }
        compare(back, order.slice(0, -1).reverse().concat(["ipField"]))
    }

    function test_closeWithoutChoice_data() {
        return [{ tag: "Cancel" }, { tag: "Escape" }, { tag: "outside" }]
    }

    function test_closeWithoutChoice(data) {
        deviceFeed.show([{ name: "Den", ip: "10.0.0.7", tuners: 2 }]) // qmllint disable unqualified
        openPicker()
        child("ipField").text = "10.5.5.5"
        if (data.tag === "Cancel")
            mouseClick(child("cancelButton"))
        else if (data.tag === "Escape")
            keyClick(Qt.Key_Escape)
        else
            mouseClick(testCase, 2, 2)
        tryCompare(picker, "visible", false)
        verifyUnchanged()
    }

    // Remembered boxes that have not answered are listed after the found ones: Delete or their
    // button forgets one, a click chooses one, and the current box stays current until then.
    function test_rememberedRows() {
        const choice = picker.choice
        choice.choose("10.0.0.7", "Den", "0e0b0c5151a2")
        choice.choose("10.0.0.8", "", "")
        openPicker()
        const list = child("rememberedList")
        tryVerify(() => list.visible && list.itemAtIndex(1) !== null, 5000, "two remembered rows shown")
        const text = (at, name) => findChild(list.itemAtIndex(at), name).text
        compare([text(0, "nameText"), text(1, "nameText"), text(1, "detailText")],
                ["(unnamed)", "Den", "10.0.0.7  ·  not answering"])

        keyClick(Qt.Key_Up) // from the field to the last remembered row
        verify(list.activeFocus, "Up from the field reaches the remembered rows")
        keyClick(Qt.Key_Delete)
        tryCompare(list, "count", 1)
        compare(text(0, "nameText"), "(unnamed)")
        mouseClick(findChild(list.itemAtIndex(0), "forgetButton"))
        tryCompare(list, "count", 0)
        verify(!list.visible)
        compare(keySender.host, "10.0.0.8", "forgetting the current box leaves it current") // qmllint disable unqualified
        verify(picker.visible, "forgetting chooses nothing")

        choice.choose("10.0.0.7", "Den", "0e0b0c5151a2")
        keySender.host = "10.0.0.9" // qmllint disable unqualified
        tryVerify(() => list.visible && list.itemAtIndex(0) !== null)
        waitForRendering(list)
        mouseClick(list.itemAtIndex(0))
        tryCompare(picker, "visible", false)
        compare([keySender.host, keySender.deviceName, settings.lastDeviceId], // qmllint disable unqualified
                ["10.0.0.7", "Den", "0e0b0c5151a2"])
    }

    // Each Delete acts on the row it is on: the one that took the place of the row that went.
    function test_twoDeletesFromTheTop() {
        const names = ["Attic", "Barn", "Cove", "Den"]
        names.forEach((name, i) => picker.choice.choose("10.0.1." + (i + 1), name, ""))
        openPicker()
        const list = child("rememberedList")
        tryVerify(() => list.visible && list.count === 4, 5000)
        list.enter(0)
        // Each key a user presses comes after the list has shown the last one's change.
        for (let i = 0; i < 2; ++i) {
            keyClick(Qt.Key_Delete)
            waitForItemPolished(list)
        }
        tryCompare(list, "count", 2)
        verify(list.activeFocus, "the focus stays in the list")
        compare([0, 1].map(at => findChild(list.itemAtIndex(at), "nameText").text), ["Barn", "Attic"])
    }

    // Forget beside a found box forgets that box, also after a choice reordered the list.
    function test_forgetBesideFoundBox() {
        deviceFeed.show([{ name: "Cellar", ip: "10.0.0.5", id: "0e0b0c5151a5" }, // qmllint disable unqualified
                         { name: "Den", ip: "10.0.0.2", id: "0e0b0c5151a2" }])
        picker.choice.choose("10.0.0.5", "Cellar", "0e0b0c5151a5")
        picker.choice.choose("10.0.0.2", "Den", "0e0b0c5151a2")
        openPicker()
        mouseClick(rows()[0].row) // Cellar
        tryCompare(picker, "visible", false)
        openPicker()
        const den = rows()[1].row
        compare(rows()[1].name.text, "Den")
        mouseClick(findChild(den, "forgetButton"))
        tryCompare(picker.remembered, "count", 1)
        const kept = child("rememberedList").itemAtIndex(0)
        compare(findChild(kept, "nameText").text, "Cellar", "Den is forgotten, Cellar kept")
        verify(!findChild(rows()[1].row, "forgetButton").visible)
        verify(findChild(rows()[0].row, "forgetButton").visible)
    }
}
