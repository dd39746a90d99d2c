// SPDX-License-Identifier: Apache-2.0
pragma Singleton
import QtQml

// Characters of the "Material Symbols Rounded" icon font, by the font's own code points.
QtObject {
    readonly property string power: "\ue8ac"
    readonly property string mute: "\ue04f"
    readonly property string back: "\ue166"
    readonly property string arrowUp: "\ue316"
    readonly property string arrowDown: "\ue313"
    readonly property string arrowLeft: "\ue314"
    readonly property string arrowRight: "\ue315"
    readonly property string play: "\ue037"
    readonly property string pause: "\ue034"
    readonly property string settings: "\ue8b8"
}
