// SPDX-License-Identifier: Apache-2.0
import QtQuick
import QtQuick.Controls.Basic

ApplicationWindow {
    id: window

    width: 340
    height: 920
    minimumWidth: 220
    minimumHeight: 560
    visible: true
    title: "Falquin"
    color: "#0f0f0f"

    // Keeps its proportions and grows and shrinks with the window.
    RemoteBody {
        id: remote

        anchors.centerIn: parent
        scale: Math.min(parent.width / implicitWidth, parent.height / implicitHeight)
    }
}
