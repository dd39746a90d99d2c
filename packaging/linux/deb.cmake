# SPDX-License-Identifier: Apache-2.0
# cpack -G DEB: falquin_<version>_<arch>.deb with the app and falquin-cli, falquin-boxsim_... with the simulator.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${FALQUIN_MAINTAINER}")

set(CPACK_DEBIAN_FALQUIN_PACKAGE_NAME falquin)
set(CPACK_DEBIAN_FALQUIN_PACKAGE_SECTION video)
set(CPACK_COMPONENT_FALQUIN_DESCRIPTION "remote control for Orvantide network TV boxes
Falquin draws the handheld remote of the Orvantide tuner and recording boxes
in a window. Clicking a key, or pressing its keyboard shortcut, sends the
key's command to the chosen box on the local network as one UDP datagram; the
box's acknowledgement flashes a status light, and a failure shows why.
.
Boxes are found by a broadcast discovery sweep or given by address, and the
chosen box is remembered between runs.
.
falquin-cli lists the boxes and sends them keys from shell scripts, cron
jobs and home-automation rules.")
# dpkg-shlibdeps finds the libraries; the QML modules the scene imports (and the ones
# those import) and the platform plugins are loaded at run time, so they are listed here.
set(CPACK_DEBIAN_FALQUIN_PACKAGE_DEPENDS
    "qml6-module-qtqml, qml6-module-qtqml-models, qml6-module-qtqml-workerscript, \
qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-templates, \
qml6-module-qtquick-layouts, qt6-qpa-plugins")
# Without it a Wayland session runs the app through XWayland.
set(CPACK_DEBIAN_FALQUIN_PACKAGE_RECOMMENDS qt6-wayland)

set(CPACK_DEBIAN_BOXSIM_PACKAGE_NAME falquin-boxsim)
set(CPACK_DEBIAN_BOXSIM_PACKAGE_SECTION net)
set(CPACK_COMPONENT_BOXSIM_DESCRIPTION "simulated Orvantide TV box for trying and testing Falquin
falquin-boxsim plays one Orvantide box: it acknowledges the key datagrams that
Falquin sends, printing each key, and can refuse, ignore or delay chosen keys.
It can also answer Falquin's discovery sweep, announcing one or more boxes.")
