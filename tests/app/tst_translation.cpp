// SPDX-License-Identifier: Apache-2.0
// The real window in the process's locale: German texts under a German locale, the source
// English under any other. CTest runs it once under each.
#include "KeySender.h"
#include "Logic.h"
#include "Scene.h"

#include <QLocale>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void texts_data();
    void texts();
    void cleanupTestCase();

private:
    QString textOf(const QString &objectName) const;

    std::unique_ptr<Logic> m_logic;
    std::unique_ptr<QQmlApplicationEngine> m_engine;
    QQuickWindow *m_window = nullptr;
};

void TestTranslation::initTestCase()
{
    scene::setUpApplication();
    // No box: the picker opens at start and sweeps this test's own namespace.
    m_logic = std::make_unique<Logic>(QStringList { QCoreApplication::applicationFilePath() });
    m_engine = scene::load(*m_logic);
    QVERIFY(!m_engine->rootObjects().isEmpty());
    m_window = qobject_cast<QQuickWindow *>(m_engine->rootObjects().first());
    QVERIFY(m_window);
    QTRY_VERIFY(!textOf(QStringLiteral("emptyText")).isEmpty());
    // A typed name is not an address: the key fails at once, and the toast says why.
    m_logic->keySender().setHost(QStringLiteral("tv.local"));
    m_logic->keySender().sendKey(QStringLiteral("up"));
}

void TestTranslation::texts_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");
    QTest::newRow("device bar") << "deviceText"
                                << "tv.local"
                                << "tv.local";
    // Only loopback is up in the test's namespace: the picker says at once why it finds nothing.
    QTest::newRow("picker status") << "emptyText"
                                   << "no network to search"
                                   << "kein Netzwerk zum Suchen";
    QTest::newRow("refresh") << "refreshButton"
                             << "Refresh"
                             << "Aktualisieren";
    QTest::newRow("connect") << "connectButton"
                             << "Connect"
                             << "Verbinden";
    QTest::newRow("cancel") << "cancelButton"
                            << "Cancel"
                            << "Abbrechen";
    QTest::newRow("toast") << "toastText"
                           << "'up': invalid IP address 'tv.local'"
                           << "„up“: ungültige IP-Adresse „tv.local“";
}

void TestTranslation::texts()
{
    QFETCH(QString, objectName);
    QFETCH(QString, english);
    QFETCH(QString, german);
    QCOMPARE(textOf(objectName), QLocale().language() == QLocale::German ? german : english);
}

void TestTranslation::cleanupTestCase()
{
    m_engine.reset();
}

QString TestTranslation::textOf(const QString &objectName) const
{
    // Popups live in the window's overlay, outside the QObject tree of the scene's root.
    QList<QQuickItem *> items { m_window->contentItem()->parentItem() ? m_window->contentItem()->parentItem()
                                                                      : m_window->contentItem() };
    while (!items.isEmpty()) {
        QQuickItem *item = items.takeFirst();
        if (item->objectName() == objectName)
            return item->property("text").toString();
        items.append(item->childItems());
    }
    return QString();
}

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
