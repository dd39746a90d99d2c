// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtTest
import Falquin

// The tap/hold gesture and the lighting of a key, with real timers, on the D-pad.
TestCase {
    id: testCase

    name: "RemoteKey"
    width: 300
    height: 300
    visible: true
    when: windowShown

    property DPad dpad
    property RemoteButton leftKey
    property RemoteButton rightKey
    property RemoteButton upKey

    Component {
        id: dpadComponent

        DPad {
            keys: windowProperties.keyTable.face.dpad // qmllint disable unqualified
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

    SignalSpy {
        id: canceled

        signalName: "canceled"
    }

    function init() {
        dpad = createTemporaryObject(dpadComponent, testCase)
        leftKey = findChild(dpad, "leftKey")
        rightKey = findChild(dpad, "rightKey")
        upKey = findChild(dpad, "upKey")
        verify(leftKey && rightKey && upKey)
        // Settle any light leftKey from the previous case, then start a clean log.
        wait(0)
        sends.clear()
        failures.clear()
    }

    function cleanup() {
        changes.unwatch()
        keySender.host = "127.0.0.1" // qmllint disable unqualified
    }

    function outside(key) {
        return { x: -key.width, y: -key.height }
    }

    function test_tap() {
        mousePress(leftKey)
        wait(200)
        compare(sends.commands(), [], "nothing goes out while a tap is still down")
        mouseRelease(leftKey)
        compare(sends.commands(), ["left"])
        wait(500)
        compare(sends.commands(), ["left"], "a released tap leaves no hold timer behind")
    }

    function test_hold() {
        mousePress(leftKey)
        wait(200)
        compare(sends.commands(), [], "half the threshold is still no hold")
        tryVerify(() => sends.commands().length > 0, 2000)
        compare(sends.commands(), ["rew down"])
        verify(leftKey.holding)
        verify(leftKey.externalHold, "the seek lights the key")
        wait(500)
        compare(sends.commands(), ["rew down"], "one down per hold")
        mouseRelease(leftKey)
        compare(sends.commands(), ["rew down", "rew up"])
        verify(!leftKey.holding)
        verify(!leftKey.externalHold)
    }

    // What a screen reader's press sends: a tap, also right after a mouse hold, and during one.
    function test_pressActionIsATap() {
        mousePress(leftKey)
        tryVerify(() => sends.commands().length > 0, 1000)
        mouseRelease(leftKey)
        leftKey.Accessible.pressAction()
        compare(sends.commands(), ["rew down", "rew up", "left"])
        mousePress(leftKey)
        tryVerify(() => sends.commands().length > 3, 1000)
        leftKey.Accessible.pressAction()
        mouseRelease(leftKey)
        compare(sends.commands(), ["rew down", "rew up", "left", "rew down", "left", "rew up"],
                "the hold still ends with its up, and no tap of its own")
    }

    function test_holdDraggedOffIsCancelled() {
        canceled.target = leftKey
        canceled.clear()
        mousePress(leftKey)
        tryVerify(() => sends.commands().length > 0, 1000)
        const away = outside(leftKey)
        mouseMove(leftKey, away.x, away.y, -1, Qt.LeftButton)
        mouseRelease(leftKey, away.x, away.y)
        compare(canceled.count, 1, "the release outside went the cancel path")
        compare(sends.commands(), ["rew down", "rew up"])
        verify(!leftKey.externalHold)
    }

    function test_dragOffBeforeThresholdSendsNothing() {
        mousePress(leftKey)
        wait(150)
        const away = outside(leftKey)
        mouseMove(leftKey, away.x, away.y, -1, Qt.LeftButton)
        wait(100)
        mouseRelease(leftKey, away.x, away.y)
        wait(500)
        compare(sends.commands(), [])
    }

    function test_destroyedMidHoldStillSendsUp() {
        mousePress(leftKey)
        tryVerify(() => sends.commands().length > 0, 1000)
        dpad.destroy()
        tryVerify(() => sends.commands().length > 1, 1000)
        wait(50)
        compare(sends.commands(), ["rew down", "rew up"])
        mouseRelease(testCase)
    }

    function test_autoRepeat() {
        mousePress(upKey)
        wait(100)
        compare(sends.commands(), [], "the press itself sends nothing")
        tryVerify(() => sends.commands().length >= 2, 3000, "repeats while held")
        const held = sends.commands().length
        mouseRelease(upKey)
        compare(sends.commands().length, held + 1, "one more at the release")
        verify(sends.commands().every(keys => keys === "up"), "only taps of up: " + sends.commands())
    }

    function test_pulseFromElsewhere() {
        keySender.sendKey("right") // qmllint disable unqualified
        verify(rightKey.pulsing, "lit at once: the send comes back synchronously")
        verify(rightKey.showPressed)
        verify(!leftKey.pulsing && !upKey.pulsing, "only the matching key lights")
        tryVerify(() => !rightKey.pulsing, 1000)
    }

    function test_externalHold() {
        keySender.sendKey("ff down") // qmllint disable unqualified
        verify(rightKey.externalHold)
        verify(!rightKey.pulsing, "a seek is no tap")
        wait(300)
        verify(rightKey.showPressed, "stays lit past any pulse")
        keySender.sendKey("ff up") // qmllint disable unqualified
        verify(!rightKey.externalHold)
        verify(!rightKey.showPressed)
        verify(!leftKey.externalHold, "rew is the left key's seek, not ff")
    }

    function test_repeatedSendsExtendThePulse() {
        changes.watch(rightKey, "pulsing")
        keySender.sendKey("right") // qmllint disable unqualified
        wait(100)
        const secondAt = Date.now()
        keySender.sendKey("right") // qmllint disable unqualified
        tryVerify(() => !rightKey.pulsing, 1000)
        compare(changes.entries.map(e => e.value), ["true", "false"], "no dark gap between the sends")
        const afterSecond = changes.entries[1].at - secondAt
        verify(afterSecond >= 100, "lit until " + afterSecond + " ms after the second send")
    }

    // A key that fails to go out lights nothing; a seek's up that fails still ends its light.
    function test_failuresLightNothing() {
        keySender.sendKey("ff down") // qmllint disable unqualified
        verify(rightKey.externalHold)
        keySender.host = "" // qmllint disable unqualified
        keySender.sendKey("ff up") // qmllint disable unqualified
        verify(!rightKey.externalHold)
        mousePress(rightKey)
        verify(rightKey.showPressed, "pressed look while down")
        mouseRelease(rightKey)
        compare(failures.count, 2)
        compare(sends.commands(), ["ff down"])
        verify(!rightKey.pulsing)
        tryVerify(() => !rightKey.showPressed)
    }
}
