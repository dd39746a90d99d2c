// SPDX-License-Identifier: Apache-2.0
import QtQuick

// The remote's little window dot: a short green or red flash per outcome.
Rectangle {
    id: led

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

    Timer {
        id: offTimer

        interval: 300
        onTriggered: led.color = "#303030"
    }
}
