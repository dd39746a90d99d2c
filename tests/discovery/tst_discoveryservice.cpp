// SPDX-License-Identifier: Apache-2.0
// The service runs real sweeps (8 s each) inside this test's own network namespace, where only
// loopback is up; the replies are injected on 127.0.0.1 while the sweep listens.
#include "DeviceIdentity.h"
#include "DiscoveryService.h"
#include "RemoteDeviceModel.h"
#include "SweepHelpers.h"

#include <QElapsedTimer>
#include <QSet>
#include <QtTest>

#include <memory>

using namespace sweeptest;

class TestDiscoveryService : public QObject
{
    Q_OBJECT

private:
    // Waits (off the GUI thread's event loop) for the sweep to bind, then injects.
    static void injectWhenListening(const QList<QByteArray> &datagrams)
    {
        QVERIFY(waitForDiscoveryPort());
        inject(datagrams);
    }

private slots:
    void idleServiceIsNotScanningAndDiesAtOnce()
    {
        DeviceIdentity identity;
        auto service = std::make_unique<DiscoveryService>(&identity);
        QCOMPARE(service->isScanning(), false);
        QCOMPARE(service->property("scanning").toBool(), false);
        QElapsedTimer clock;
        clock.start();
        service.reset();
        QVERIFY(clock.elapsed() < 50);
    }

    void sweepsReportInOrderAndReplaceTheList()
    {
        DeviceIdentity identity;
        DiscoveryService service(&identity);
        RemoteDeviceModel model;
        connect(&service, &DiscoveryService::finished, &model, &RemoteDeviceModel::setDevices);
        QStringList events;
        QList<int> countAtScanningChanged;
        connect(&service, &DiscoveryService::scanningChanged, this, [&] {
            events << (service.isScanning() ? "scanning" : "idle");
            countAtScanningChanged << model.count();
        });
        QList<imgr::ImgrMsg> lastList;
        connect(&service, &DiscoveryService::finished, this, [&](const QList<imgr::ImgrMsg> &devices) {
            events << "finished";
            lastList = devices;
        });

        service.refresh();
        service.refresh(); // ignored while sweeping
        QCOMPARE(events, QStringList { "scanning" });
        injectWhenListening({ reply("A", "alpha"), reply("B", "beta", 2) });
        QTRY_COMPARE_WITH_TIMEOUT(events.size(), 3, 12000);
        QCOMPARE(events, QStringList({ "scanning", "finished", "idle" }));
        QCOMPARE(namesById(lastList), (QMap<QString, QString> { { "A", "alpha" }, { "B", "beta" } }));
        // The model was reset before the end of scanning was announced.
        QCOMPARE(countAtScanningChanged.last(), 2);

        events.clear();
        service.refresh();
        QVERIFY(service.isScanning());
        injectWhenListening({ reply("C", "gamma") });
        QTRY_COMPARE_WITH_TIMEOUT(events.size(), 3, 12000);
        QCOMPARE(events, QStringList({ "scanning", "finished", "idle" }));
        QCOMPARE(namesById(lastList), (QMap<QString, QString> { { "C", "gamma" } }));
        QCOMPARE(model.count(), 1);
        QCOMPARE(service.isScanning(), false);
    }

    // As the app wires it: rows while the sweep runs, settled by its list without a reset.
    void aBurstIsListedWhileTheSweepRuns()
    {
        DeviceIdentity identity;
        DiscoveryService service(&identity);
        RemoteDeviceModel model;
        connect(&service, &DiscoveryService::finished, &model, &RemoteDeviceModel::setDevices);
        int batches = 0;
        qint64 longestNs = 0;
        connect(service.feed(), &ReplyFeed::arrived, &model, [&](const QList<brp::Reply> &replies) {
            QElapsedTimer pass;
            pass.start();
            model.addReplies(replies);
            longestNs = qMax(longestNs, pass.nsecsElapsed());
            ++batches;
        });
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QList<QByteArray> burst;
        for (int i = 0; i < 256; ++i)
            burst << reply(QByteArray::number(1000 + i), "box " + QByteArray::number(i));
        service.refresh();
        injectWhenListening(burst);
        QTRY_COMPARE_WITH_TIMEOUT(model.count(), 256, 3000);
        QVERIFY2(service.isScanning(), "the rows came only with the sweep's end");
        qInfo("256 replies in %d batch(es); the longest took the GUI thread %.2f ms", batches, double(longestNs) / 1e6);
        QTRY_VERIFY_WITH_TIMEOUT(!service.isScanning(), 12000);
        QCOMPARE(model.count(), 256);
        QCOMPARE(resets.size(), 0);
        QCOMPARE(removed.size(), 0);
    }

    // A refresh() after the sweep's thread is done but before its end is handled here must not
    // start another sweep over the first one's end: short sweeps, many times, each in that gap.
    void everySweepAnnouncesItsEndOnce()
    {
        const sweeptest::WarningLog quiet; // each sweep finds no network to broadcast on
        DeviceIdentity identity;
        DiscoveryService service(&identity);
        service.setListenMs(1);
        QStringList events;
        connect(&service, &DiscoveryService::scanningChanged, this,
                [&] { events << (service.isScanning() ? "start" : "end"); });
        connect(&service, &DiscoveryService::finished, this, [&] { events << "finished"; });

        const int sweeps = 20;
        for (int i = 0; i < sweeps; ++i) {
            service.refresh();
            QVERIFY(QThreadPool::globalInstance()->waitForDone(5000));
            service.refresh();
            QTRY_VERIFY(!service.isScanning());
        }
        QStringList expected;
        for (int i = 0; i < sweeps; ++i)
            expected += QStringList { "start", "finished", "end" };
        QVERIFY2(events == expected, qPrintable("events of 20 sweeps: " + events.join(QLatin1Char(' ')).left(400)));
    }

    // Three lists' worth of made-up ids: what the sweep hands on stops at a full list, before
    // anything keeps the rest; the box looked for still gets through, and updates of listed
    // boxes still count.
    void aFloodStopsAtAFullList()
    {
        DeviceIdentity identity;
        DiscoveryService service(&identity);
        service.setListenMs(1500);
        service.setWantedId(QStringLiteral("wanted"));
        qsizetype handedOn = 0;
        QSet<QString> ids;
        connect(service.feed(), &ReplyFeed::arrived, this, [&](const QList<brp::Reply> &replies) {
            handedOn += replies.size();
            for (const brp::Reply &reply : replies)
                ids.insert(imgr::ImgrMsg::trimmed(reply.msg.deviceId));
        });
        QList<imgr::ImgrMsg> list;
        connect(&service, &DiscoveryService::finished, this,
                [&](const QList<imgr::ImgrMsg> &devices) { list = devices; });

        service.refresh();
        QVERIFY(waitForDiscoveryPort());
        // In slices the socket's buffer holds: what counts is what the sweep keeps, not what
        // the kernel drops.
        const int flood = 3 * brp::kMaxDevices;
        for (int i = 0; i < flood; i += 256) {
            QList<QByteArray> slice;
            for (int j = i; j < i + 256; ++j)
                slice << reply("id" + QByteArray::number(j), "box");
            inject(slice);
            QThread::msleep(5);
        }
        inject({ reply("id0", "renamed"), reply("wanted", "Den") });
        // The sweep ends about 1.7 s after refresh().
        QTRY_VERIFY_WITH_TIMEOUT(!service.isScanning(), 10000);

        QCOMPARE(list.size(), qsizetype(brp::kMaxDevices));
        QVERIFY2(ids.size() == brp::kMaxDevices + 1 && ids.contains(QStringLiteral("wanted")),
                 qPrintable(QStringLiteral("%1 ids handed on").arg(ids.size())));
        QCOMPARE(handedOn, qsizetype(brp::kMaxDevices + 2)); // the update of id0 included
    }

    void destructionStopsTheSweepSilently()
    {
        DeviceIdentity identity;
        auto service = std::make_unique<DiscoveryService>(&identity);
        QSignalSpy changed(service.get(), &DiscoveryService::scanningChanged);
        QSignalSpy finished(service.get(), &DiscoveryService::finished);
        service->refresh();
        QCOMPARE(changed.size(), 1);
        injectWhenListening({ reply("A", "alpha") });
        QThread::msleep(300); // well into listening

        QElapsedTimer clock;
        clock.start();
        service.reset();
        const qint64 blocked = clock.elapsed();
        QVERIFY2(blocked <= kStopBoundMs, QByteArray::number(blocked));
        // The sweep has returned: its socket is gone and the pool is idle.
        QVERIFY(!discoveryPortBound());
        QVERIFY(QThreadPool::globalInstance()->waitForDone(1000));
        QTest::qWait(100);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(finished.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDiscoveryService)
#include "tst_discoveryservice.moc"
