// SPDX-License-Identifier: Apache-2.0
// A switch between remembered boxes by shortcut: from the Ctrl+2 press to the next key's datagram
// leaving for the new box, through the real window (offscreen) and its shortcuts, against two
// simulated boxes on loopback. Run with bench/run.sh: the boxes' fixed port needs a network
// namespace of its own.
#include "DeviceChoice.h"
#include "DiscoveryService.h"
#include "KeySender.h"
#include "KeyService.h"
#include "Logic.h"
#include "Scene.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    scene::setUpApplication();
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 500;

    const QHostAddress den(QStringLiteral("127.0.0.1"));
    const QHostAddress far(QStringLiteral("127.0.0.2"));
    KeyService denBox;
    KeyService farBox;
    if (!denBox.listen(den, 31063) || !farBox.listen(far, 31063))
        qFatal("cannot listen on port 31063 of 127.0.0.1 and .2: run in a network namespace");

    const Logic logic({ QCoreApplication::applicationFilePath() });
    logic.choice().choose(far.toString(), QStringLiteral("Far"));
    logic.choice().choose(den.toString(), QStringLiteral("Den"));
    const auto engine = scene::load(logic);
    auto *window = qobject_cast<QQuickWindow *>(engine->rootObjects().value(0));
    if (!window || !QTest::qWaitForWindowExposed(window))
        qFatal("the window did not show");
    QTest::qWait(200);

    QSignalSpy sweeps(&logic.discoveryService(), &DiscoveryService::scanningChanged);
    QElapsedTimer clock;
    clock.start();
    qint64 sentAt = -1;
    QString sentTo;
    QObject::connect(&logic.keySender(), &KeySender::keySent, [&] {
        sentAt = clock.nsecsElapsed();
        sentTo = logic.keySender().host();
    });
    int arrived = 0;
    for (KeyService *box : { &denBox, &farBox })
        QObject::connect(box, &KeyService::keyReceived, [&arrived] { ++arrived; });

    std::vector<double> micros;
    int misdirected = 0;
    for (int round = 0; round < rounds; ++round) {
        const QString expected = (round % 2 == 0 ? far : den).toString();
        sentAt = -1;
        const qint64 pressedAt = clock.nsecsElapsed();
        QTest::keyClick(window, Qt::Key_2, Qt::ControlModifier);
        QTest::keyClick(window, Qt::Key_M);
        if (sentAt < 0 || sentTo != expected)
            ++misdirected;
        else
            micros.push_back(double(sentAt - pressedAt) / 1000.0);
        // Each key answered before the next round, as a user's would be.
        if (!QTest::qWaitFor([&] { return arrived > round; }, 2000))
            qFatal("round %d: no box received the key", round);
        QTest::qWait(1);
    }

    std::sort(micros.begin(), micros.end());
    const auto at
        = [&micros](double q) { return micros.empty() ? 0.0 : micros[size_t(q * double(micros.size() - 1))]; };
    std::printf("switch by Ctrl+2 to the next key's datagram, %d rounds: median %.3f ms, p90 %.3f ms, "
                "p99 %.3f ms, max %.3f ms\n",
                rounds, at(0.5) / 1000, at(0.9) / 1000, at(0.99) / 1000, micros.empty() ? 0.0 : micros.back() / 1000);
    std::printf("keys to the wrong box or not sent: %d; sweeps started: %lld\n", misdirected,
                static_cast<long long>(sweeps.count()));
    return misdirected == 0 && sweeps.isEmpty() ? 0 : 1;
}
