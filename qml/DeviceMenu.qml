// SPDX-License-Identifier: Apache-2.0
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import QtQml.Models

// The device bar's menu: the remembered boxes with their shortcuts, the current one checked, and
// the way to the picker. The window makes it when it opens, from the list as stored then.
Menu {
    id: menu

    required property var remembered

    // After the menu has closed: the choice reorders the rows, and an item goes with its row.
    signal chosen(string ip, string name, string id)
    signal chooseAnother()

    objectName: "deviceMenu"

    Instantiator {
        model: menu.remembered
        onObjectAdded: (index, object) => menu.insertItem(index, object as MenuItem)
        onObjectRemoved: (index, object) => menu.removeItem(object as MenuItem)

        delegate: MenuItem {
            id: entry

            required property string label
            required property string name
            required property string ip
            required property string deviceId
            required property string shortcut
            required property bool current

            checkable: true
            checked: entry.current
            text: entry.label
            // The shortcut is named beside the box; the bus hears both.
            Accessible.name: entry.label + ", " + entry.shortcut
            Accessible.onPressAction: entry.triggered()
            // A checked item unchecks itself when triggered; the box stays the current one.
            onTriggered: {
                checked = Qt.binding(() => entry.current)
                choosing.box = [entry.ip, entry.name, entry.deviceId]
                choosing.restart()
            }

            contentItem: RowLayout {
                spacing: 12

                Text {
                    Layout.fillWidth: true
                    leftPadding: entry.indicator ? entry.indicator.width + entry.spacing : 0
                    text: entry.label
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    color: entry.highlighted ? "#ffffff" : "#303030"
                }

                Text {
                    text: entry.shortcut
                    color: entry.highlighted ? "#ffffff" : "#707070"
                }
            }
        }
    }

    // Chooses once the item's own handling of the click is over.
    Timer {
        id: choosing

        property var box: []

        interval: 0
        onTriggered: menu.chosen(box[0], box[1], box[2])
    }

    MenuSeparator {}

    // Off, Falquin leaves the session bus, and the media keys go to other players.
    MenuItem {
        id: mediaKeysEntry

        objectName: "mediaKeys"
        text: qsTr("Media keys control this box")
        checkable: true
        checked: settings.mediaKeys // qmllint disable unqualified
        Accessible.onPressAction: triggered()
        // From the store, as a press through the bus does not toggle the item.
        onTriggered: {
            settings.mediaKeys = !settings.mediaKeys // qmllint disable unqualified
            checked = Qt.binding(() => settings.mediaKeys) // qmllint disable unqualified
        }

        // Wraps where the menu is too narrow for it, as in German, instead of being cut.
        contentItem: Text {
            leftPadding: mediaKeysEntry.indicator ? mediaKeysEntry.indicator.width + mediaKeysEntry.spacing : 0
            text: mediaKeysEntry.text
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            verticalAlignment: Text.AlignVCenter
            color: mediaKeysEntry.highlighted ? "#ffffff" : "#303030"
        }
    }

    MenuItem {
        objectName: "chooseAnother"
        text: qsTr("Choose another device…")
        Accessible.onPressAction: triggered()
        onTriggered: menu.chooseAnother()
    }
}
