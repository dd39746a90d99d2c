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

        RemoteBody {
            keys: windowProperties.keyTable // qmllint disable unqualified
        }
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

    // The face, key by key: its look and place. What it sends, shows and is called comes from the
    // key table; every key draws its legend, says its name and sends its own command.
    function test_face_data() {
        const pill = (tag, key, w, h, size) => ({ tag: tag, key: key, w: w, h: h, size: size })
        const round = (tag, key, d, size) => ({ tag: tag, key: key, w: d, h: d, size: size, circle: true })
        const arrow = (tag, key, glyph) => ({ tag: tag, key: key, w: 56, h: 56, size: 30, circle: true, flat: true,
                                              glyph: glyph })
        const rows = [
            pill("On", "onKey", 56, 38, 14), pill("Off", "offKey", 56, 38, 14),
            { tag: "Power", key: "powerKey", w: 66, h: 38, size: 22, glyph: "\ue8ac", colour: "#c8281e" },
            { tag: "Mute", key: "muteKey", w: 46, h: 46, size: 22, circle: true, glyph: "\ue04f" },
            pill("DVR", "dvrKey", 56, 32, 13), pill("Live TV", "liveKey", 56, 32, 13),
            pill("Record", "recordKey", 56, 32, 13), pill("BA", "baKey", 56, 32, 13),
            round("Guide", "guideKey", 54, 13), round("Info", "infoKey", 54, 13),
            arrow("Up", "upKey", "\ue316"), arrow("Down", "downKey", "\ue313"),
            arrow("Left", "leftKey", "\ue314"), arrow("Right", "rightKey", "\ue315"),
            { tag: "OK", key: "okKey", w: 88, h: 88, circle: true, colour: "#1c1c1c" },
            round("Zap", "zapKey", 54, 13), round("Menu", "menuKey", 54, 13),
            pill("Dot", "dotKey", 74, 38, 18),
            { tag: "Back", key: "backKey", w: 74, h: 38, size: 20, glyph: "\ue166" },
        ]
        for (let d = 0; d <= 9; ++d)
            rows.push(pill("Digit " + d, "digit" + d + "Key", 74, 38, 18))
        return rows
    }

    function test_face(row) {
        const k = key(row.key)
        compare(k.Accessible.name, row.tag, "the key the face puts here")
        compare(k.width, row.w)
        compare(k.height, row.h)
        compare(k.circle, row.circle === true)
        compare(k.flat, row.flat === true)
        compare(String(k.keyColor), row.colour || "#2a2a2a")
        compare(k.focusPolicy, Qt.NoFocus)
        verify(k.keyCommand !== "")
        if (row.glyph !== undefined) {
            compare(k.glyph, row.glyph)
            compare(k.glyphSize, row.size)
            compare(k.contentItem.font.family, "Material Symbols Rounded")
        } else if (row.size !== undefined) {
            compare(k.glyph, "")
            verify(k.text !== "", "a text legend")
            compare(k.contentItem.text, k.text)
            compare(k.fontSize, row.size)
        }

        mouseClick(k)
        compare(sends.commands(), [k.keyCommand], "a click sends the key's own command")
        verify(!k.activeFocus)
        verify(focusHolder.activeFocus, "the click left keyboard focus where it was")
    }

    // Every command but the seeks' holds is drawn once; only the seek keys hold, only the
    // arrows up and down repeat, and POWER is the only red key.
    function test_faceHasExactlyTheTableKeys() {
        const keys = allKeys(body, [])
        const table = windowProperties.keyTable // qmllint disable unqualified
        const holds = keys.filter(k => k.holdCommand !== "")
        const commands = keys.map(k => k.keyCommand)
        compare(commands.slice().sort(),
                table.commands.filter(c => !holds.some(k => c.startsWith(k.holdCommand + " "))).sort())
        compare(holds.map(k => k.objectName).sort(), ["leftKey", "rightKey"])
        compare(keys.filter(k => k.autoRepeat).map(k => k.objectName).sort(), ["downKey", "upKey"])
        compare(keys.filter(k => String(k.keyColor) === "#c8281e").map(k => k.objectName), ["powerKey"])
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

    // A click on a drawn key lands at the box simulator as the right datagram, and the light
    // flashes green at its answer, red at a failure.
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
        compare(changes.entries[0].value, "#3ec46d", "green on the box's ack")
        tryVerify(() => String(led.color) === "#303030", 1000)

        keySender.host = "" // qmllint disable unqualified
        mouseClick(key("digit5Key"))
        compare(String(led.color), "#e5484d", "red on a failure")
    }
}
