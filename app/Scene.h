// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <memory>

class DiscoveryService;
class KeySender;
class QQmlApplicationEngine;
class QQmlEngine;
class RemoteDeviceModel;
class Settings;

// The one way the window is set up, whoever shows it: the app, the screenshot tool, the QML tests.
namespace scene {

// The logic objects the scene reaches, each under its own context property. The caller owns
// them and keeps them alive until the engine is gone.
struct Objects
{
    Settings *settings = nullptr;
    KeySender *keySender = nullptr;
    DiscoveryService *discoveryService = nullptr;
    RemoteDeviceModel *remoteDeviceModel = nullptr;
};

// The application's identity, renderer, icon font and translation. Call right after
// the QGuiApplication exists and before any window: the settings store is named by the identity.
void setUpApplication();

// Makes the module importable and sets the four context properties on the engine's root context.
void prepareEngine(QQmlEngine &engine, const Objects &objects);

// A new engine with the main window loaded; the event loop exits with 1 if the window fails.
// The window icon follows the first frame, when the start-up's freed heap is also returned.
std::unique_ptr<QQmlApplicationEngine> load(const Objects &objects);

} // namespace scene
