// SPDX-License-Identifier: Apache-2.0
// The device list model: sort order, roles and their types, edges.
#include "DiscoveryService.h"
#include "RemoteDeviceModel.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QSignalSpy>
#include <QtTest>

namespace {

imgr::ImgrMsg box(const QByteArray &name, const QByteArray &id)
{
    imgr::ImgrMsg msg;
    msg.msgType = 2;
    msg.name = name;
    msg.deviceId = id;
    return msg;
}

// What a sweep hands over: raw 16-byte fields, as unpack leaves them.
imgr::ImgrMsg received(const imgr::ImgrMsg &msg)
{
    imgr::ImgrMsg out;
    if (!imgr::ImgrMsg::unpack(msg.pack(), out))
        qFatal("unpack failed");
    return out;
}

// "name/id" or "name/id/ip", as a sweep hands a reply over.
brp::Reply reply(const QString &row)
{
    const QStringList fields = row.split(QLatin1Char('/'));
    imgr::ImgrMsg msg = box(fields.value(0).toLatin1(), fields.value(1).toLatin1());
    msg.ip = fields.value(2, QStringLiteral("10.0.0.1")).toLatin1();
    return { received(msg), QHostAddress(QString::fromLatin1(msg.ip)) };
}

QStringList rows(const RemoteDeviceModel &model, int role)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.data(model.index(row), role).toString();
    return out;
}

} // namespace

class TestRemoteDeviceModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Collation follows the default locale; the C locale of a bare CI machine would compare code units.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY2(QString::localeAwareCompare(QStringLiteral("alpha"), QStringLiteral("Beta")) < 0,
                 "no locale collation available");
    }

    void sortOrder()
    {
        RemoteDeviceModel model;
        QSignalSpy counts(&model, &RemoteDeviceModel::countChanged);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        model.setDevices({ received(box("Beta", "b0")), received(box("alpha", "a9")), received(box("Same", "b2")),
                           received(box("Same", "a1")), received(box("Case", "a1")), received(box("Case", "B1")),
                           received(box("", "z")), received(box("", "m")) });
        QCOMPARE(rows(model, RemoteDeviceModel::NameRole),
                 QStringList({ "", "", "alpha", "Beta", "Case", "Case", "Same", "Same" }));
        QCOMPARE(rows(model, RemoteDeviceModel::DeviceIdRawRole),
                 QStringList({ "m", "z", "a9", "b0", "B1", "a1", "a1", "b2" }));
        QCOMPARE(model.count(), 8);
        QCOMPARE(counts.size(), 1);
        QCOMPARE(resets.size(), 1);
    }

    void namesCollatingEqualStillSortConsistently()
    {
        // A control byte is ignorable to the collator, so "Box" and "Box\x01" collate equal while
        // differing; the rows must still come out grouped and in id order (and std::sort must not be
        // handed an inconsistent comparison).
        QList<imgr::ImgrMsg> devices;
        for (int i = 0; i < 40; ++i)
            devices << received(
                box(i % 2 ? QByteArray("Box\x01") : QByteArray("Box"), QByteArray::number(1000 + (i * 37) % 40)));
        RemoteDeviceModel model;
        model.setDevices(devices);
        QCOMPARE(model.rowCount(), 40);
        const QStringList names = rows(model, RemoteDeviceModel::NameRole);
        const QStringList ids = rows(model, RemoteDeviceModel::DeviceIdRawRole);
        for (int row = 1; row < 40; ++row) {
            if (names[row] == names[row - 1])
                QVERIFY2(ids[row - 1] < ids[row], qPrintable(ids[row - 1] + " " + ids[row]));
        }
        QCOMPARE(names.count(QStringLiteral("Box")), 20);
        QCOMPARE(names.indexOf(QString::fromLatin1("Box\x01")), 20); // one group after the other
    }

    void rolesAndTypes()
    {
        imgr::ImgrMsg msg = box("Lounge", "0123456789abcdef");
        msg.ip = "192.168.1.40";
        msg.deviceModel = "OTX-4";
        msg.numTuners = 255;
        msg.shareFlags = 0x03 | 0x80;
        msg.subscription = 2;
        imgr::ImgrMsg other = box("Study", "726d74636c69");
        other.shareFlags = 0x02;
        RemoteDeviceModel model;
        model.setDevices({ received(msg), received(other) });

        const QModelIndex first = model.index(0);
        const QHash<int, QByteArray> names = model.roleNames();
        QCOMPARE(names.size(), 9);
        const QList<QPair<QByteArray, QVariant>> expected = {
            { "name", QStringLiteral("Lounge") },
            { "deviceId", QStringLiteral("0123-4567-89ab") },
            { "deviceIdRaw", QStringLiteral("0123456789abcdef") },
            { "ip", QStringLiteral("192.168.1.40") },
            { "deviceModel", QStringLiteral("OTX-4") },
            { "numTuners", 255 },
            { "hasLibrary", true },
            { "hasTuner", true },
            { "subscription", true },
        };
        const QVariantMap map = model.deviceAt(0);
        QCOMPARE(map.size(), 9);
        for (int i = 0; i < expected.size(); ++i) {
            const int role = Qt::UserRole + 1 + i;
            QCOMPARE(names.value(role), expected[i].first);
            const QVariant value = model.data(first, role);
            QCOMPARE(value.metaType(), expected[i].second.metaType());
            QCOMPARE(value, expected[i].second);
            QCOMPARE(map.value(QString::fromLatin1(expected[i].first)), expected[i].second);
        }

        const QVariantMap second = model.deviceAt(1);
        QCOMPARE(second.value("hasLibrary"), QVariant(false));
        QCOMPARE(second.value("hasTuner"), QVariant(true));
        QCOMPARE(second.value("subscription"), QVariant(false));
        QCOMPARE(second.value("numTuners"), QVariant(0));
        QCOMPARE(second.value("deviceIdRaw"), QVariant(QStringLiteral("726d74636c69"))); // stops at the NUL fill
        QCOMPARE(second.value("deviceId"), QVariant(QStringLiteral("726d-7463-6c69")));
    }

    void outOfRangeGivesNothing()
    {
        RemoteDeviceModel model;
        QCOMPARE(model.count(), 0);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(model.deviceAt(0).isEmpty());
        model.setDevices({ received(box("One", "1")) });
        for (int role : { int(Qt::DisplayRole), int(Qt::DecorationRole), int(Qt::ToolTipRole), int(Qt::EditRole),
                          int(Qt::UserRole), int(Qt::UserRole) + 10 })
            QVERIFY2(!model.data(model.index(0), role).isValid(), qPrintable(QString::number(role)));
        QVERIFY(!model.data(model.index(1), Qt::UserRole + 1).isValid());
        QVERIFY(!model.data(QModelIndex(), Qt::UserRole + 1).isValid());
        QCOMPARE(model.rowCount(model.index(0)), 0); // a flat list
        QVERIFY(model.deviceAt(-1).isEmpty());
        QVERIFY(model.deviceAt(model.count()).isEmpty());
    }

    void setIsNeverAReset()
    {
        RemoteDeviceModel model;
        QSignalSpy counts(&model, &RemoteDeviceModel::countChanged);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        const QList<imgr::ImgrMsg> list = { received(box("One", "1")), received(box("Two", "2")) };
        model.setDevices(list);
        model.setDevices(list);
        QCOMPARE(counts.size(), 2);
        QCOMPARE(resets.size(), 0);
        QCOMPARE(model.count(), 2);
        model.setDevices({});
        QCOMPARE(counts.size(), 3);
        QCOMPARE(model.count(), 0);
    }

    // Replies as a running sweep hands them over, batch by batch, then the sweep's whole list.
    void incrementalRows_data()
    {
        QTest::addColumn<QList<QStringList>>("batches");
        QTest::addColumn<QStringList>("shown"); // "name/ip" per row after the batches
        QTest::addColumn<QStringList>("final"); // the sweep's list; empty: the batches' boxes
        QTest::addColumn<QStringList>("settled"); // rows after it
        QTest::addColumn<int>("rowSignals"); // inserts, removes, moves and changes the final list causes

        QTest::newRow("sorted insertion")
            << QList<QStringList> { { "Gamma/g", "alpha/a" }, { "Beta/b" }, { "Delta/d", "Zeta/z" } }
            << QStringList { "alpha/10.0.0.1", "Beta/10.0.0.1", "Delta/10.0.0.1", "Gamma/10.0.0.1", "Zeta/10.0.0.1" }
            << QStringList() << QStringList() << 0;
        QTest::newRow("a replacing reply")
            << QList<QStringList> { { "Den/d/10.0.0.1", "Attic/a" }, { "Den/d/10.0.0.7" }, { "Den/d/10.0.0.7" } }
            << QStringList { "Attic/10.0.0.1", "Den/10.0.0.7" } << QStringList() << QStringList() << 0;
        QTest::newRow("a renamed box moves")
            << QList<QStringList> { { "A/1", "B/2", "C/3" }, { "Z/1" } }
            << QStringList { "B/10.0.0.1", "C/10.0.0.1", "Z/10.0.0.1" } << QStringList() << QStringList() << 0;
        QTest::newRow("a late box") << QList<QStringList> { { "Den/d" }, {}, { "Attic/a" } }
                                    << QStringList { "Attic/10.0.0.1", "Den/10.0.0.1" } << QStringList()
                                    << QStringList() << 0;
        QTest::newRow("the list settles what was missed")
            << QList<QStringList> { { "Old/o", "Den/d/10.0.0.1" } } << QStringList { "Den/10.0.0.1", "Old/10.0.0.1" }
            << QStringList { "New/n", "Den/d/10.0.0.2" } << QStringList { "Den/10.0.0.2", "New/10.0.0.1" } << 3;
    }

    void incrementalRows()
    {
        QFETCH(QList<QStringList>, batches);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, final);
        QFETCH(QStringList, settled);
        QFETCH(int, rowSignals);

        RemoteDeviceModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QMap<QString, imgr::ImgrMsg> lastById;
        QPersistentModelIndex firstShown;
        for (const QStringList &batch : std::as_const(batches)) {
            QList<brp::Reply> replies;
            for (const QString &row : batch) {
                replies << reply(row);
                lastById.insert(row.section(QLatin1Char('/'), 1, 1), replies.last().msg);
            }
            model.addReplies(replies);
            if (!firstShown.isValid() && model.count() > 0)
                firstShown = model.index(0);
        }
        const QString firstId = firstShown.data(RemoteDeviceModel::DeviceIdRawRole).toString();
        auto nameAndIp = [&] {
            QStringList out;
            for (int row = 0; row < model.count(); ++row)
                out << model.data(model.index(row), RemoteDeviceModel::NameRole).toString() + QLatin1Char('/')
                        + model.data(model.index(row), RemoteDeviceModel::IpRole).toString();
            return out;
        };
        QCOMPARE(nameAndIp(), shown);
        QCOMPARE(resets.size(), 0);

        QList<imgr::ImgrMsg> list = lastById.values();
        if (!final.isEmpty()) {
            list.clear();
            for (const QString &row : final)
                list << reply(row).msg;
        }
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setDevices(list);
        QCOMPARE(nameAndIp(), final.isEmpty() ? shown : settled);
        QCOMPARE(resets.size(), 0);
        QVERIFY2(inserted.size() + removed.size() + moved.size() + changed.size() == rowSignals,
                 qPrintable(QStringLiteral("%1 inserted, %2 removed, %3 moved, %4 changed")
                                .arg(inserted.size())
                                .arg(removed.size())
                                .arg(moved.size())
                                .arg(changed.size())));
        // The row first shown still stands for the same box, wherever the others went.
        if (firstShown.isValid())
            QCOMPARE(firstShown.data(RemoteDeviceModel::DeviceIdRawRole).toString(), firstId);
    }

    void rowsStopAtTheLimitUntilTheList()
    {
        RemoteDeviceModel model;
        QList<brp::Reply> flood;
        for (int i = 0; i < brp::kMaxDevices + 10; ++i)
            flood << reply(QStringLiteral("Fake/f%1").arg(i, 5, 10, QLatin1Char('0')));
        model.addReplies(flood);
        QCOMPARE(model.count(), brp::kMaxDevices);
    }

    // The method order the scene and other callers may rely on; added members come after.
    void publishedOrder_data()
    {
        QTest::addColumn<const QMetaObject *>("mo");
        QTest::addColumn<QStringList>("methods");
        QTest::addColumn<QStringList>("properties");
        QTest::newRow("model") << &RemoteDeviceModel::staticMetaObject
                               << QStringList { "countChanged()", "setDevices(QList<imgr::ImgrMsg>)", "deviceAt(int)" }
                               << QStringList { "count" };
        QTest::newRow("service") << &DiscoveryService::staticMetaObject
                                 << QStringList { "scanningChanged()", "finished(QList<imgr::ImgrMsg>)",
                                                  "onWatcherFinished()", "refresh()" }
                                 << QStringList { "scanning", "problem" };
    }

    void publishedOrder()
    {
        QFETCH(const QMetaObject *, mo);
        QFETCH(QStringList, methods);
        QFETCH(QStringList, properties);
        QStringList got;
        for (int i = mo->methodOffset(); i < mo->methodCount(); ++i)
            got << QString::fromLatin1(mo->method(i).methodSignature());
        QCOMPARE(got.mid(0, methods.size()), methods);
        QStringList props;
        for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
            props << QString::fromLatin1(mo->property(i).name());
        QCOMPARE(props, properties);
    }

    void formatId()
    {
        QCOMPARE(RemoteDeviceModel::formatId(QString()), QString());
        QCOMPARE(RemoteDeviceModel::formatId(QStringLiteral("0123456789a")), QStringLiteral("0123456789a"));
        QCOMPARE(RemoteDeviceModel::formatId(QStringLiteral("726d74636c69")), QStringLiteral("726d-7463-6c69"));
        QCOMPARE(RemoteDeviceModel::formatId(QStringLiteral("ABCDEFGHIJKLMNOP")), QStringLiteral("ABCD-EFGH-IJKL"));
        QCOMPARE(RemoteDeviceModel::staticMetaObject.indexOfMethod("formatId(QString)"), -1);
    }

    void tunerLabel_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("label");
        QTest::newRow("none") << 0 << QStringLiteral("Pebble");
        QTest::newRow("one") << 1 << QStringLiteral("Harbor");
        QTest::newRow("two") << 2 << QStringLiteral("Lantern");
        QTest::newRow("three, unnamed") << 3 << QStringLiteral("3 Tuners");
        QTest::newRow("four") << 4 << QStringLiteral("Beacon");
        QTest::newRow("eight, unnamed") << 8 << QStringLiteral("8 Tuners");
    }

    void tunerLabel()
    {
        QFETCH(int, count);
        QFETCH(QString, label);
        RemoteDeviceModel model;
        QString invoked;
        QVERIFY2(QMetaObject::invokeMethod(&model, "tunerLabel", Q_RETURN_ARG(QString, invoked), Q_ARG(int, count)),
                 "the picker cannot call tunerLabel");
        QCOMPARE(invoked, label);
    }
};

QTEST_GUILESS_MAIN(TestRemoteDeviceModel)
#include "tst_remotedevicemodel.moc"
