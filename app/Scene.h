// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QVariantMap>

#include <memory>

class Logic;
class QQmlApplicationEngine;
class QQmlEngine;

// The one way the window is set up, whoever shows it: the app, the screenshot tool, the QML tests.
namespace scene {

// The application's identity, renderer, icon font and translation. Call right after
// the QGuiApplication exists and before any window: the settings store is named by the identity.
// The icon font is registered on a worker thread.
void setUpApplication();
// Returns once the icon font is registered (or has failed to be); load() calls it before it
// makes the window, and whoever makes one of the module's items without load() does so too.
void waitForIconFont();

// Makes the module importable and sets the four context properties on the engine's root context:
// settings, keySender, discoveryService and remoteDeviceModel. logic must outlive the engine.
void prepareEngine(QQmlEngine &engine, const Logic &logic);

// The rest of the logic that the scene reaches, as the main window's required properties:
// "choice" (the box the keys go to, and the remembered boxes), "foundDevices" (the picker's view
// of the device list), "follower" (says when the box is looked for, or found elsewhere) and
// "keyTable" (every key: its command, legend, name and shortcuts). The window hands the picker
// and the drawn face what they need of them.
QVariantMap windowProperties(const Logic &logic);

// A new engine with the main window loaded; the event loop exits with 1 if the window fails.
// The window icon follows the first frame, when the start-up's freed heap is also returned.
std::unique_ptr<QQmlApplicationEngine> load(const Logic &logic);

} // namespace scene
