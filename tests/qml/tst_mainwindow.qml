// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtQuick.Controls.Basic
import QtTest
import Falquin

// The whole window with real key events (keyInput) and real timers: the Left/Right
// seek gesture, the shortcut table, focus after the picker and the keys, the toast
// and the device bar. The simulator on 127.0.0.1 acknowledges every key.
TestCase {
    id: testCase

    name: "MainWindow"
    width: 100
    height: 100
    visible: true
    when: windowShown

    property var win
    property var picker
    property Item seekKeys

    Component {
        id: mainComponent

        Main {}
    }

    Component {
        id: otherWindow

        Window {
            width: 50
            height: 50
            visible: true
        }
    }

    SendLog {
        id: sends
    }

    ChangeLog {
        id: changes
    }

    SignalSpy {
        id: failures

        target: keySender // qmllint disable unqualified
        signalName: "keyFailed"
    }

    function createWindow(focusOnRemote = true) {
        // No parent: as a transient of the test's window it would count as active whenever that is.
        win = createTemporaryObject(mainComponent, null, windowProperties) // qmllint disable unqualified
        verify(win)
        // Made on first use, so it may not exist yet.
        picker = win.devicePopup
        seekKeys = findChild(win.contentItem, "seekKeys")
        verify(seekKeys)
        win.requestActivate()
        tryVerify(() => win.active, 3000)
        if (focusOnRemote)
            tryVerify(() => seekKeys.activeFocus, 3000, "the window starts with focus on the remote")
    }

    function init() {
        deviceFeed.forgetRemembered() // qmllint disable unqualified
        keySender.host = "127.0.0.1" // qmllint disable unqualified
        createWindow()
        sends.clear()
        failures.clear()
    }

    function cleanup() {
        changes.unwatch()
        keySender.host = "127.0.0.1" // qmllint disable unqualified
    }

    function item(name) {
        const found = findChild(win.contentItem, name)
        verify(found, name)
        return found
    }

    function press(key) {
        keyInput.press(win, key) // qmllint disable unqualified
    }

    // A release of Left or Right counts only once no repeat press followed it (10 ms): wait five
    // times that.
    function release(key) {
        keyInput.release(win, key) // qmllint disable unqualified
        wait(50)
    }

    // Another window of the app comes up and takes activation, as after Alt-Tab.
    function deactivate() {
        createTemporaryObject(otherWindow, null).requestActivate()
        tryVerify(() => !win.active, 3000)
    }

    function openPickerWithGear() {
        mouseClick(item("gearButton"))
        picker = win.devicePopup
        verify(picker, "the gear made the picker")
        tryCompare(picker, "opened", true)
    }

    // ---- Left/Right: tap to navigate, hold to seek ----

    function test_tap_data() {
        return [{ tag: "left", key: Qt.Key_Left }, { tag: "right", key: Qt.Key_Right }]
    }

    function test_tap(data) {
        press(data.key)
        wait(200)
        compare(sends.commands(), [], "nothing at the press")
        release(data.key)
        // The release waits a few ms for the press of a repeat pair before it counts.
        tryVerify(() => sends.commands().length > 0, 1000)
        compare(sends.commands(), [data.tag])
        wait(600)
        compare(sends.commands(), [data.tag], "the tap left no timer running")
    }

    // Auto-repeat as Qt marks it, and as Qt's X11 backend sometimes delivers it: an
    // unmarked release and press that arrive together.
    function test_hold_data() {
        return [
            { tag: "left, marked", key: Qt.Key_Left, cmd: "rew", marked: true },
            { tag: "right, marked", key: Qt.Key_Right, cmd: "ff", marked: true },
            { tag: "left, unmarked", key: Qt.Key_Left, cmd: "rew", marked: false },
            { tag: "right, unmarked", key: Qt.Key_Right, cmd: "ff", marked: false },
        ]
    }

    function test_hold(data) {
        const repeat = (times) => {
            for (let i = 0; i < times; ++i) {
                keyInput.autoRepeat(win, data.key, data.marked) // qmllint disable unqualified
                wait(30)
            }
        }
        press(data.key)
        repeat(4)
        compare(sends.commands(), [], "repeats before the threshold send nothing")
        tryVerify(() => sends.commands().length > 0, 2000)
        compare(sends.commands(), [data.cmd + " down"])
        repeat(10)
        compare(sends.commands(), [data.cmd + " down"], "auto-repeat events send nothing")
        release(data.key)
        tryVerify(() => sends.commands().length > 1, 1000)
        compare(sends.commands(), [data.cmd + " down", data.cmd + " up"])
    }

    function test_keyOrder_data() {
        return [
            { tag: "shortcut", key: Qt.Key_Up, sent: ["left", "up"] },
            { tag: "digit", key: Qt.Key_5, sent: ["left", "#5"] },
            { tag: "other arrow", key: Qt.Key_Right, sent: ["left", "right"] },
            { tag: "click on a drawn key", click: "guideKey", sent: ["left", "guide"] },
            { tag: "picker shortcut", key: Qt.Key_L, mod: Qt.ControlModifier, sent: ["left"], picker: true },
        ]
    }

    function test_keyOrder(data) {
        press(Qt.Key_Left)
        wait(50)
        keyInput.release(win, Qt.Key_Left) // qmllint disable unqualified
        if (data.click)
            mouseClick(item(data.click))
        else
            keyInput.click(win, data.key, data.mod || Qt.NoModifier) // qmllint disable unqualified
        wait(50)
        compare(sends.commands(), data.sent)
        compare(win.pickerVisible, !!data.picker)
    }

    // The gesture's other paths, as steps: "press L", "release R", "repeat L" (a marked
    // auto-repeat), "hold" (until the seek's down went out), "wait N", "deactivate",
    // "activate", "gear" (the picker opens), then what the box got.
    function test_seekPaths_data() {
        return [
            { tag: "the other arrow is ignored while one times and seeks",
              steps: ["press L", "press R", "release R", "hold", "press R", "wait 500", "release R", "release L"],
              sent: ["rew down", "rew up"] },
            { tag: "a release of an arrow not pressed", steps: ["release L", "release R", "wait 500", "press R", "release R"],
              sent: ["right"] },
            { tag: "deactivated before the threshold", steps: ["press L", "wait 100", "deactivate", "wait 600", "release L"],
              sent: [] },
            { tag: "deactivated while seeking: the owed up at once, the late key-up sends nothing",
              steps: ["press L", "hold", "deactivate", "activate", "repeat L", "repeat L", "release L"],
              sent: ["rew down", "rew up"] },
            { tag: "the picker opened mid-seek", steps: ["press R", "hold", "gear", "release R"], sent: ["ff down", "ff up"] },
            { tag: "the picker opened mid-tap, and arrows while it shows",
              steps: ["press R", "wait 100", "gear", "wait 500", "release R", "press L", "wait 500", "release L"], sent: [] },
        ]
    }

    function test_seekPaths(data) {
        const keys = { L: Qt.Key_Left, R: Qt.Key_Right }
        for (const step of data.steps) {
            const [what, arg] = step.split(" ")
            if (what === "press")
                press(keys[arg])
            else if (what === "release")
                release(keys[arg])
            else if (what === "repeat")
                keyInput.autoRepeat(win, keys[arg]) // qmllint disable unqualified
            else if (what === "hold")
                tryVerify(() => sends.commands().length > 0, 2000)
            else if (what === "wait")
                wait(Number(arg))
            else if (what === "deactivate")
                deactivate()
            else if (what === "activate") {
                win.requestActivate()
                tryVerify(() => win.active)
            } else if (what === "gear")
                openPickerWithGear()
        }
        wait(100)
        compare(sends.commands(), data.sent)
    }

    // ---- Shortcuts ----

    // Every keyboard key of the key table sends its key's command, whatever has the focus.
    function test_shortcuts_data() {
        const rows = []
        for (const entry of windowProperties.keyTable.shortcuts) // qmllint disable unqualified
            for (const seq of entry.seqs)
                rows.push({ tag: seq, seq: seq, cmd: entry.cmd })
        return rows
    }

    function test_shortcuts(data) {
        verify(keyInput.sequence(win, data.seq), "Qt reads the sequence") // qmllint disable unqualified
        compare(sends.commands(), [data.cmd])
    }

    function test_noShortcutWhilePickerOpen() {
        openPickerWithGear()
        const field = findChild(picker.contentItem, "ipField")
        tryVerify(() => field.activeFocus, 2000)
        field.text = ""
        keyInput.type(win, "10.1.2.3gixzpnfv") // qmllint disable unqualified
        for (const key of [Qt.Key_Up, Qt.Key_Down, Qt.Key_Backspace, Qt.Key_Left, Qt.Key_Right])
            keyInput.click(win, key) // qmllint disable unqualified
        compare(sends.commands(), [], "typing an address sends nothing")
        compare(field.text, "10.1.2.3gixzpnf", "the keys went to the field")
        verify(picker.visible)
    }

    function test_keysWorkAfterPickerCloses_data() {
        return [{ tag: "Cancel" }, { tag: "Escape" }, { tag: "outside" }, { tag: "Connect" }, { tag: "Return" }]
    }

    function test_keysWorkAfterPickerCloses(data) {
        // Whatever held focus before the picker opened, the remote gets it afterwards.
        const other = createTemporaryQmlObject("import QtQuick; Item { focus: true }", win.contentItem)
        other.forceActiveFocus()
        openPickerWithGear()
        const field = findChild(picker.contentItem, "ipField")
        tryVerify(() => field.activeFocus, 2000)
        if (data.tag === "Cancel")
            mouseClick(findChild(picker.contentItem, "cancelButton"))
        else if (data.tag === "Escape")
            keyInput.click(win, Qt.Key_Escape) // qmllint disable unqualified
        else if (data.tag === "outside")
            mouseClick(win.contentItem, 4, win.height - 4)
        else if (data.tag === "Connect")
            mouseClick(findChild(picker.contentItem, "connectButton"))
        else
            keyInput.click(win, Qt.Key_Return) // qmllint disable unqualified
        tryCompare(picker, "visible", false)
        // The remote takes the focus back once the picker has finished closing.
        tryVerify(() => seekKeys.activeFocus, 2000, "the remote has the focus again")
        compare(keySender.host, "127.0.0.1") // qmllint disable unqualified
        compare(sends.commands(), [])
        keyInput.click(win, Qt.Key_G) // qmllint disable unqualified
        press(Qt.Key_Left)
        release(Qt.Key_Left)
        compare(sends.commands(), ["guide", "left"], "shortcuts and arrows work at once")
    }

    function test_keysWorkAfterClickOnDrawnKey() {
        mouseClick(findChild(item("remote"), "upKey"))
        compare(sends.commands(), ["up"])
        verify(seekKeys.activeFocus, "the click left focus on the remote")
        keyInput.click(win, Qt.Key_M) // qmllint disable unqualified
        press(Qt.Key_Right)
        release(Qt.Key_Right)
        compare(sends.commands(), ["up", "menu", "right"])
    }

    // ---- The failure toast ----

    // A failure shows, fades in and out, and a later one replaces the text and restarts the 2.5 s.
    function test_toast() {
        keySender.host = "" // qmllint disable unqualified
        const toast = item("toast")
        verify(!toast.visible)
        const firstAt = Date.now()
        keyInput.click(win, Qt.Key_G) // qmllint disable unqualified
        compare(item("toastText").text, "'guide': no device configured")
        tryCompare(toast, "opacity", 0.95, 1000)
        wait(1500 - (Date.now() - firstAt))
        keyInput.click(win, Qt.Key_Z) // qmllint disable unqualified
        compare(item("toastText").text, "'zap': no device configured")
        changes.watch(toast, "opacity")
        // Past the first failure's 2.5 s, well within the second's.
        wait(2800 - (Date.now() - firstAt))
        verify(toast.visible && toast.opacity > 0.9, "still shown for the second failure")
        tryVerify(() => !toast.visible, 3000)
        const values = changes.entries.map(e => Number(e.value))
        verify(values.some(v => v > 0.05 && v < 0.9), "it fades: " + values)
    }

    function test_toastShowsMarkupAsText() {
        keySender.host = "<b>x</b>" // qmllint disable unqualified
        keyInput.click(win, Qt.Key_I) // qmllint disable unqualified
        const text = item("toastText")
        compare(text.text, "'info': invalid IP address '<b>x</b>'")
        compare(text.textFormat, Text.PlainText)
        compare(failures.count, 1)
        // The toast stays inside even the narrowest window.
        win.width = 220
        tryVerify(() => item("toast").width <= 220 - 24)
    }

    // ---- Device bar, scale, start ----

    function test_deviceBar() {
        const text = item("deviceText")
        keySender.host = "" // qmllint disable unqualified
        compare(text.text, "no device configured")
        compare(String(text.color), "#c98a2e")
        keySender.host = "10.1.1.1" // qmllint disable unqualified
        compare(text.text, "10.1.1.1")
        compare(String(text.color), "#8a8a8a")
        keySender.deviceName = "<b>Den</b>" // qmllint disable unqualified
        compare(text.text, "<b>Den</b>")
        compare(text.textFormat, Text.PlainText)
        compare(String(text.color), "#8a8a8a")
        // A new host clears the name: the bar falls back to the address.
        keySender.host = "10.1.1.2" // qmllint disable unqualified
        compare(text.text, "10.1.1.2")
    }

    // A key the remembered box never answers: the bar says the box is being looked for, until
    // the user chooses another.
    function test_deviceBarWhileLookingForTheBox() {
        const text = item("deviceText")
        win.choice.choose("127.0.0.2", "Den", "0e0b0c5151a2") // nothing answers there
        keySender.sendKey("menu") // qmllint disable unqualified
        tryCompare(text, "text", "looking for Den…", 5000)
        win.choice.choose("127.0.0.1", "", "")
        compare(text.text, "127.0.0.1")
    }

    // ---- Several boxes: every key goes to the box meant ----

    // A mouse seek held while the picker chooses another box ends on the box it started on;
    // its release sends nothing to the new one.
    function test_holdAcrossPickerChoice() {
        const key = item("rightKey")
        mousePress(key)
        tryVerify(() => sends.commands().length > 0, 1000)
        keyInput.click(win, Qt.Key_L, Qt.ControlModifier) // qmllint disable unqualified
        picker = win.devicePopup
        tryCompare(picker, "opened", true)
        const field = findChild(picker.contentItem, "ipField")
        tryVerify(() => field.activeFocus, 2000)
        field.text = "127.0.0.2"
        keyInput.click(win, Qt.Key_Return) // qmllint disable unqualified
        tryCompare(picker, "visible", false)
        mouseRelease(key)
        wait(50)
        compare(sends.sent(), ["ff down to 127.0.0.1", "ff up to 127.0.0.1"])
        compare(keySender.host, "127.0.0.2") // qmllint disable unqualified
    }

    // A key that goes unanswered after a switch names the box it went to.
    function test_failureNamesTheBoxTheKeyWentTo() {
        win.choice.choose("127.0.0.1", "Den", "")
        win.choice.choose("127.0.0.2", "Far", "") // nothing answers there
        keyInput.click(win, Qt.Key_M) // qmllint disable unqualified
        keyInput.click(win, Qt.Key_2, Qt.ControlModifier) // qmllint disable unqualified
        compare(keySender.host, "127.0.0.1") // qmllint disable unqualified
        tryCompare(item("toastText"), "text", "'menu': no response from Far", 3500)
    }

    // The device bar's menu after a box above another went: each entry names its own shortcut
    // and switches to its own box.
    function test_menuAfterAForget() {
        const choice = win.choice
        choice.choose("127.0.0.1", "Den", "")
        choice.choose("127.0.0.3", "Cellar", "")
        choice.choose("127.0.0.4", "Attic", "")
        choice.remembered.forget("127.0.0.3", "")
        mouseClick(item("deviceButton"))
        const menu = win.deviceMenu
        tryCompare(menu, "opened", true)
        const entries = [0, 1].map(i => menu.itemAt(i).Accessible.name)
        compare(entries, ["Attic, Ctrl+1", "Den, Ctrl+2"])
        menu.itemAt(1).triggered()
        tryCompare(keySender, "host", "127.0.0.1") // qmllint disable unqualified
        tryVerify(() => !win.popupOpen)
        verify(seekKeys.activeFocus, "the remote has the keys again")
    }

    // A remembered box that this machine's networks have made a broadcast address is not switched
    // to, and the toast says why; another window stored it, so the window reads the list first.
    function test_refusedSwitchSaysWhy() {
        deviceFeed.storeRemembered([{ ip: "127.0.0.1", name: "Den" }, { ip: "127.255.255.255", name: "Edge" }]) // qmllint disable unqualified
        keyInput.click(win, Qt.Key_2, Qt.ControlModifier) // qmllint disable unqualified
        compare(item("toastText").text, "127.255.255.255 is the broadcast address of 127.0.0.0/8")
        compare(keySender.host, "127.0.0.1") // qmllint disable unqualified
        compare(sends.commands(), [])
        // The picker lists it, dimmed: it cannot be chosen there either.
        openPickerWithGear()
        const list = findChild(picker.contentItem, "rememberedList")
        tryVerify(() => list.count === 2 && list.itemAtIndex(1) !== null, 3000)
        compare([list.itemAtIndex(0).enabled, list.itemAtIndex(1).enabled], [true, false])
    }

    // A hovered key names itself and its shortcut after the usual delay, and the tooltip
    // takes no focus: the arrows still seek.
    function test_toolTips_data() {
        return [
            { tag: "guide", key: "guideKey", text: "Guide (G)" },
            { tag: "two keys", key: "backKey", text: "Back (Backspace, X)" },
            // The shortcut is left out where the name already says it.
            { tag: "digit", key: "digit7Key", text: "Digit 7" },
            { tag: "seek key", key: "leftKey", text: "Left" },
            { tag: "gear", key: "gearButton", text: "Choose device (Ctrl+L)" },
        ]
    }

    function test_toolTips(data) {
        const key = item(data.key)
        mouseMove(key, key.width / 2, key.height / 2)
        wait(300)
        verify(!win.keyToolTip || !win.keyToolTip.visible, "not at once")
        tryVerify(() => win.keyToolTip && win.keyToolTip.visible, 2000)
        const tip = win.keyToolTip
        compare(tip.text, data.text)
        compare(tip.parent, key, "shown at the key")
        verify(seekKeys.activeFocus, "the tooltip leaves the focus where it was")
        press(Qt.Key_Right)
        release(Qt.Key_Right)
        compare(sends.commands(), ["right"])
        mouseMove(win.contentItem, 2, win.height - 2)
        tryVerify(() => !tip.visible, 2000)
    }

    // The keyboard's way to the picker; the remote has the keys again once it closes.
    function test_pickerShortcut() {
        keyInput.click(win, Qt.Key_L, Qt.ControlModifier) // qmllint disable unqualified
        picker = win.devicePopup
        verify(picker, "Ctrl+L made the picker")
        tryCompare(picker, "opened", true)
        const field = findChild(picker.contentItem, "ipField")
        tryVerify(() => field.activeFocus, 2000, "the address field takes the keys")
        compare(field.selectedText, "127.0.0.1", "typing replaces the current address")
        keyInput.click(win, Qt.Key_L, Qt.ControlModifier) // qmllint disable unqualified
        verify(picker.visible)
        verify(field.activeFocus)
        keyInput.click(win, Qt.Key_Escape) // qmllint disable unqualified
        tryCompare(picker, "visible", false)
        verify(seekKeys.activeFocus)
        compare(sends.commands(), [])
    }

    function test_gearNeverTakesFocus() {
        compare(item("gearButton").Accessible.name, "Choose device")
        verify(item("gearButton").focusPolicy === Qt.NoFocus)
        openPickerWithGear()
        keyInput.click(win, Qt.Key_Escape) // qmllint disable unqualified
        tryCompare(picker, "visible", false)
        verify(seekKeys.activeFocus)
    }

    function test_scaleToFit_data() {
        return [
            { tag: "initial", w: 340, h: 920, scale: 0.876 },
            { tag: "smallest", w: 220, h: 560, scale: 0.516 },
            { tag: "wide", w: 900, h: 700, scale: (700 - 8 - 24 - 6 - 6) / 1000 },
        ]
    }

    function test_scaleToFit(data) {
        win.width = data.w
        win.height = data.h
        tryVerify(() => Math.abs(item("remote").scale - data.scale) < 0.0015, 1000,
                  "scale " + item("remote").scale)
        const remote = item("remote")
        const centre = remote.mapToItem(win.contentItem, remote.width / 2, remote.height / 2)
        fuzzyCompare(centre.x, data.w / 2, 1)

        // Scaled, a key's rounded end must still be drawn smooth: each edge pixel is compared
        // with the area its outside, border ring and face cover in a 4 x 4 supersampled model.
        waitForRendering(win.contentItem)
        const key = item("digit1Key")
        const image = grabImage(win.contentItem)
        const topLeft = key.mapToItem(win.contentItem, 0, 0)
        const s = remote.scale
        const r = key.background.radius * s
        const ringWidth = key.background.border.width * s
        const cx = topLeft.x + r, cy = topLeft.y + r
        const outside = image.pixel(Math.floor(topLeft.x) - 3, Math.floor(cy))
        const face = image.pixel(Math.floor(cx), Math.floor(cy + r / 2))
        const ring = key.background.border.color
        let worst = 0
        for (let y = Math.floor(cy - r) - 1; y <= Math.ceil(cy + r); ++y) {
            for (let x = Math.floor(topLeft.x) - 1; x < Math.floor(cx); ++x) {
                const d = Math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if (Math.abs(d - r) > 1.5)
                    continue
                let red = 0
                for (let i = 0; i < 16; ++i) {
                    const e = Math.hypot(x + (i % 4 + 0.5) / 4 - cx, y + (Math.floor(i / 4) + 0.5) / 4 - cy)
                    red += (e > r ? outside : e > r - ringWidth ? ring : face).r / 16
                }
                worst = Math.max(worst, Math.abs(image.pixel(x, y).r - red))
            }
        }
        verify(worst < 0.05, "a pixel of the scaled key's rounded end is off by " + Math.round(worst * 255)
               + " levels: the corners are drawn blocky")
    }

    function test_pickerFitsSmallestWindow() {
        win.width = 220
        win.height = 560
        tryCompare(win.contentItem, "width", 220)
        openPickerWithGear()
        const outside = () => ["refreshButton", "connectButton", "cancelButton", "ipField", "deviceList"].filter(name => {
            const part = findChild(picker.contentItem, name)
            const box = part.mapToItem(win.contentItem, 0, 0, part.width, part.height)
            return box.x < 0 || box.x + box.width > 220 || part.width < 20
        })
        tryVerify(() => outside().length === 0, 2000, "cut off: " + outside())
    }

    function test_startsWithPickerOnlyWithoutHost_data() {
        return [{ tag: "no host", host: "", open: true }, { tag: "host", host: "10.3.3.3", open: false }]
    }

    function test_startsWithPickerOnlyWithoutHost(data) {
        keySender.host = data.host // qmllint disable unqualified
        createWindow(false)
        // It opens once the window has drawn itself; with a box given, it is not even made.
        if (data.open)
            tryVerify(() => win.pickerVisible, 3000, "the picker opens by itself")
        else
            wait(300)
        picker = win.devicePopup
        compare(!!picker, data.open)
        compare(!!picker && picker.visible, data.open)
        compare(seekKeys.activeFocus, !data.open)
    }
}
