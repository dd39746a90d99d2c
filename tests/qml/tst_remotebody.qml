// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtTest
import Falquin

// The drawn face: every key, its layout at design scale, and the light.
TestCase {
    id: testCase

    name: "RemoteBody"
    width: 300
    height: 1000
    visible: true
    when: windowShown

    property RemoteBody body
    property Item content

    Component {
        id: bodyComponent

        RemoteBody {}
    }

    // Holds keyboard focus the way the window's remote area will; no key may take it.
    Item {
        id: focusHolder

        focus: true
    }

    SendLog {
        id: sends
    }

    ChangeLog {
        id: changes
    }

    SignalSpy {
        id: acks

        target: keySender // qmllint disable unqualified
        signalName: "keyAcknowledged"
    }

    SignalSpy {
        id: received

        target: boxSim // qmllint disable unqualified
        signalName: "keyReceived"
    }

    function init() {
        body = createTemporaryObject(bodyComponent, testCase)
        content = findChild(body, "content")
        verify(body && content)
        focusHolder.forceActiveFocus()
        sends.clear()
        acks.clear()
        received.clear()
    }

    function cleanup() {
        changes.unwatch()
        keySender.host = "127.0.0.1" // qmllint disable unqualified
    }

    function key(name) {
        const found = findChild(body, name)
        verify(found, name + " exists")
        return found
    }

    // Geometry of an item in the content area's coordinates.
    function box(item) {
        const p = item.mapToItem(content, 0, 0)
        return { x: p.x, y: p.y, w: item.width, h: item.height, right: p.x + item.width, bottom: p.y + item.height }
    }

    function allKeys(item, found) {
        for (let i = 0; i < item.children.length; ++i) {
            const child = item.children[i]
            if (child.keyCommand !== undefined)
                found.push(child)
            allKeys(child, found)
        }
        return found
    }

    // The face, key by key: legend, command, shape, size and spoken name.
    function test_face_data() {
        return [
            { tag: "On", key: "onKey", cmd: "ON", text: "On", w: 56, h: 38, size: 14, say: "On" },
            { tag: "Off", key: "offKey", cmd: "OFF", text: "Off", w: 56, h: 38, size: 14, say: "Off" },
            { tag: "POWER", key: "powerKey", cmd: "POWER", glyph: "\ue8ac", w: 66, h: 38, size: 22, say: "Power", colour: "#c8281e" },
            { tag: "mute", key: "muteKey", cmd: "mute", glyph: "\ue04f", w: 46, h: 46, circle: true, size: 22, say: "Mute" },
            { tag: "DVR", key: "dvrKey", cmd: "dvr", text: "DVR", w: 56, h: 32, size: 13, say: "DVR" },
            { tag: "Live TV", key: "liveKey", cmd: "live", text: "Live TV", w: 56, h: 32, size: 13, say: "Live TV" },
            { tag: "Record", key: "recordKey", cmd: "record", text: "Record", w: 56, h: 32, size: 13, say: "Record" },
            { tag: "BA", key: "baKey", cmd: "ba", text: "BA", w: 56, h: 32, size: 13, say: "BA" },
            { tag: "Guide", key: "guideKey", cmd: "guide", text: "Guide", w: 54, h: 54, circle: true, size: 13, say: "Guide" },
            { tag: "Info", key: "infoKey", cmd: "info", text: "Info", w: 54, h: 54, circle: true, size: 13, say: "Info" },
            { tag: "up", key: "upKey", cmd: "up", glyph: "\ue316", w: 56, h: 56, circle: true, flat: true, size: 30, say: "Up" },
            { tag: "down", key: "downKey", cmd: "down", glyph: "\ue313", w: 56, h: 56, circle: true, flat: true, size: 30, say: "Down" },
            { tag: "left", key: "leftKey", cmd: "left", glyph: "\ue314", w: 56, h: 56, circle: true, flat: true, size: 30, say: "Left", hold: "rew" },
            { tag: "right", key: "rightKey", cmd: "right", glyph: "\ue315", w: 56, h: 56, circle: true, flat: true, size: 30, say: "Right", hold: "ff" },
            { tag: "ok", key: "okKey", cmd: "ok", w: 88, h: 88, circle: true, say: "OK", colour: "#1c1c1c" },
            { tag: "Zap", key: "zapKey", cmd: "zap", text: "Zap", w: 54, h: 54, circle: true, size: 13, say: "Zap" },
            { tag: "Menu", key: "menuKey", cmd: "menu", text: "Menu", w: 54, h: 54, circle: true, size: 13, say: "Menu" },
            { tag: "1", key: "digit1Key", cmd: "#1", text: "1", w: 74, h: 38, size: 18, say: "Digit 1" },
            { tag: "2", key: "digit2Key", cmd: "#2", text: "2", w: 74, h: 38, size: 18, say: "Digit 2" },
            { tag: "3", key: "digit3Key", cmd: "#3", text: "3", w: 74, h: 38, size: 18, say: "Digit 3" },
            { tag: "4", key: "digit4Key", cmd: "#4", text: "4", w: 74, h: 38, size: 18, say: "Digit 4" },
            { tag: "5", key: "digit5Key", cmd: "#5", text: "5", w: 74, h: 38, size: 18, say: "Digit 5" },
            { tag: "6", key: "digit6Key", cmd: "#6", text: "6", w: 74, h: 38, size: 18, say: "Digit 6" },
            { tag: "7", key: "digit7Key", cmd: "#7", text: "7", w: 74, h: 38, size: 18, say: "Digit 7" },
            { tag: "8", key: "digit8Key", cmd: "#8", text: "8", w: 74, h: 38, size: 18, say: "Digit 8" },
            { tag: "9", key: "digit9Key", cmd: "#9", text: "9", w: 74, h: 38, size: 18, say: "Digit 9" },
            { tag: "dot", key: "dotKey", cmd: ".", text: "\u2022", w: 74, h: 38, size: 18, say: "Dot" },
            { tag: "0", key: "digit0Key", cmd: "#0", text: "0", w: 74, h: 38, size: 18, say: "Digit 0" },
            { tag: "back", key: "backKey", cmd: "back", glyph: "\ue166", w: 74, h: 38, size: 20, say: "Back" }
        ]
    }

    function test_face(row) {
        const k = key(row.key)
        compare(k.keyCommand, row.cmd)
        compare(k.width, row.w)
        compare(k.height, row.h)
        compare(k.circle, row.circle === true)
        compare(k.flat, row.flat === true)
        compare(k.holdCommand, row.hold || "")
        compare(k.autoRepeat, row.cmd === "up" || row.cmd === "down")
        compare(String(k.keyColor), row.colour || "#2a2a2a")
        compare(k.Accessible.name, row.say)
        compare(k.focusPolicy, Qt.NoFocus)
        if (row.glyph !== undefined) {
            compare(k.glyph, row.glyph)
            compare(k.glyphSize, row.size)
            compare(k.contentItem.font.family, "Material Symbols Rounded")
        } else if (row.text !== undefined) {
            compare(k.glyph, "")
            compare(k.text, row.text)
            compare(k.fontSize, row.size)
            compare(k.contentItem.text, row.text)
        }

        mouseClick(k)
        compare(sends.commands(), [row.cmd], "a click sends the key's own command")
        verify(!k.activeFocus)
        verify(focusHolder.activeFocus, "the click left keyboard focus where it was")
    }

    function test_faceHasExactlyTheTableKeys() {
        const keys = allKeys(body, [])
        compare(keys.length, 29)
        const commands = keys.map(k => k.keyCommand).sort()
        const expected = test_face_data().map(r => r.cmd).sort()
        compare(commands, expected)
        compare(keys.filter(k => String(k.keyColor) === "#c8281e").map(k => k.keyCommand), ["POWER"],
                "POWER is the only red key")
    }

    function test_layoutAtDesignScale() {
        compare(body.width, 300)
        compare(body.height, 1000)
        compare(box(content).w, 248)
        compare(content.height, 948)
        compare(content.mapToItem(body, 0, 0).x, 26)

        const power = box(key("powerKey"))
        compare(power.right, 248, "POWER flush with the content's right edge")
        compare(box(findChild(body, "topFiller")).w, 22)
        const led = box(findChild(body, "led"))
        compare(led.w, 8)
        compare(led.y + led.h / 2, power.y + power.h / 2, "the light centred in the row")

        compare(box(key("muteKey")).right, 248)
        for (const name of ["dvrKey", "liveKey", "recordKey", "baKey"])
            compare(key(name).width, 56, name)
        compare(box(key("dvrKey")).x, 0)
        compare(box(key("baKey")).right, 248)

        compare(box(key("guideKey")).x, 0)
        compare(box(key("infoKey")).right, 248)
        compare(box(key("zapKey")).x, 0)
        compare(box(key("menuKey")).right, 248)

        const dpad = findChild(body, "dpad")
        const ring = box(dpad)
        compare(ring.w, 216)
        compare(ring.h, 216)
        compare(ring.x + ring.w / 2, 124, "the D-pad centred")
        compare(ring.y - box(key("guideKey")).bottom, 10)
        compare(box(key("zapKey")).y - ring.bottom, 10)
        const upKey = key("upKey"), downKey = key("downKey"), leftKey = key("leftKey"), rightKey = key("rightKey")
        compare(upKey.y, 6)
        compare(upKey.x + 28, 108)
        compare(downKey.y + downKey.height, 210)
        compare(leftKey.x, 6)
        compare(leftKey.y + 28, 108)
        compare(rightKey.x + rightKey.width, 210)
        const ok = key("okKey")
        compare(ok.x + 44, 108)
        compare(ok.y + 44, 108)
        const legend = findChild(ok, "okLegend")
        const legendTop = legend.mapToItem(ok, 0, 0)
        fuzzyCompare(legendTop.y + legend.height / 2, 44, 0.5, "the OK legend centred vertically")
        fuzzyCompare(legendTop.x + legend.width / 2, 44, 0.5, "and horizontally")
        verify(legend.height > 24, "the play/pause row sits below OK")

        const pad = box(findChild(body, "numberPad"))
        compare(pad.w, 246)
        compare(pad.h, 182)
        compare(pad.x, 1, "the number pad centred")
        compare(box(key("dotKey")).y, box(key("digit0Key")).y)
        verify(box(key("digit0Key")).x > box(key("dotKey")).x && box(key("backKey")).x > box(key("digit0Key")).x)

        // Decoded off the GUI thread; the row is sized before it arrives.
        tryCompare(findChild(body, "logo"), "status", Image.Ready)
        const logo = box(findChild(body, "logo"))
        compare(logo.w, 200)
        fuzzyCompare(logo.h, 200 * 104 / 600, 0.1)
        compare(logo.x, 24)
        fuzzyCompare(logo.bottom, 948, 0.5, "the logo is the last row")

        const gaps = [1, 2, 3, 4, 5].map(i => findChild(body, "gap" + i).height)
        const fixed = 38 + 46 + 32 + 54 + 10 + 216 + 10 + 54 + 182 + 200 * 104 / 600
        for (const gap of gaps)
            fuzzyCompare(gap, (948 - fixed) / 5, 1, "five equal flexible gaps: " + gaps)
    }

    function test_lightFollowsOutcomes() {
        const led = findChild(body, "led")
        changes.watch(led, "color")
        mouseClick(key("digit5Key"))
        acks.wait(2000)
        compare(changes.entries.length > 0 ? changes.entries[0].value : "", "#3ec46d", "green on the box's ack")
        tryVerify(() => String(led.color) === "#303030", 1000)

        keySender.host = "" // qmllint disable unqualified
        mouseClick(key("digit5Key"))
        compare(String(led.color), "#e5484d", "red on a failure")
    }

    // A click on a drawn key lands at the box simulator as the right datagram.
    function test_clickReachesTheBox() {
        const led = findChild(body, "led")
        changes.watch(led, "color")
        mouseClick(key("digit5Key"))
        received.wait(2000)
        compare(received.count, 1)
        compare(received.signalArguments[0][1], "#5")
        const bytes = new Uint8Array(received.signalArguments[0][2])
        compare(bytes.length, 328)
        compare(String.fromCharCode(bytes[0], bytes[1], bytes[2], bytes[3]), "Trox")
        compare([bytes[8], bytes[9], bytes[10]], ["#".charCodeAt(0), "5".charCodeAt(0), 0])
        tryVerify(() => changes.entries.length > 0, 2000)
        compare(changes.entries[0].value, "#3ec46d")
    }
}
