// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtTest
import Falquin

TestCase {
    id: testCase

    name: "StatusLed"
    when: windowShown

    Component {
        id: ledComponent

        StatusLed {}
    }

    ChangeLog {
        id: changes
    }

    function cleanup() {
        changes.unwatch()
    }

    function test_greenFor300ms() {
        const led = createTemporaryObject(ledComponent, testCase)
        led.flash(true)
        compare(String(led.color), "#3ec46d")
        wait(100)
        compare(String(led.color), "#3ec46d", "still lit a third of the way")
        tryVerify(() => String(led.color) === "#303030", 1000)
    }

    function test_secondFlashReplacesAndRestarts() {
        const led = createTemporaryObject(ledComponent, testCase)
        changes.watch(led, "color")
        led.flash(true)
        wait(100)
        const redAt = Date.now()
        led.flash(false)
        compare(String(led.color), "#e5484d")
        tryVerify(() => String(led.color) === "#303030", 1000)
        compare(changes.entries.map(e => e.value), ["#3ec46d", "#e5484d", "#303030"])
        const lit = changes.entries[2].at - redAt
        verify(lit >= 280, "red for " + lit + " ms after the failure, not 300 after the ack")
    }
}
