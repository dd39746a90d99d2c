// SPDX-License-Identifier: Apache-2.0
import QtQuick

// Every command that went out, with the time it went out.
Item {
    id: log

    property var entries: []

    function clear() {
        entries = []
    }

    function commands() {
        return entries.map(e => e.keys)
    }

    // Each command with the host it went to: "ff up to 127.0.0.1".
    function sent() {
        return entries.map(e => e.keys + " to " + e.host)
    }

    function timeOf(keys) {
        const hit = entries.find(e => e.keys === keys)
        return hit ? hit.at : -1
    }

    Connections {
        target: keySender // qmllint disable unqualified

        function onKeySent(keys: string) {
            log.entries.push({ keys: keys, at: Date.now(), host: keySender.host }) // qmllint disable unqualified
        }
    }
}
