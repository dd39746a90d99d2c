// SPDX-License-Identifier: Apache-2.0
import QtQuick

// The remote's little window dot: a short green or red flash per outcome.
Rectangle {
    id: led

    // The last key's outcome in words, for a screen reader: the flash says it only in colour.
    property string outcome: ""

    function flash(ok: bool) {
        color = ok ? "#3ec46d" : "#e5484d"
        offTimer.restart()
    }

    implicitWidth: 8
    implicitHeight: 8
    radius: 4
    color: "#303030"
    border.width: 1
    border.color: "#141414"
    // An image, not a static text: Qt lets a screen reader move the focus onto static texts.
    Accessible.role: Accessible.Graphic
    Accessible.name: qsTr("Status light: %1").arg(outcome !== "" ? outcome : qsTr("no key sent yet"))

    Timer {
        id: offTimer

        interval: 300
        onTriggered: led.color = "#303030"
    }
}
