// SPDX-License-Identifier: Apache-2.0
import QtQuick

// Records each change of one property of one object, with its time, so tests can
// tell exactly when a light went on or off rather than polling for it.
Item {
    property var entries: []
    property var connection: []

    function watch(object, name) {
        unwatch()
        entries = []
        const signal = object[name + "Changed"]
        const record = () => entries.push({ value: String(object[name]), at: Date.now() })
        signal.connect(record)
        connection = [signal, record]
    }

    function unwatch() {
        if (connection.length === 2)
            connection[0].disconnect(connection[1])
        connection = []
    }

    Component.onDestruction: unwatch()
}
