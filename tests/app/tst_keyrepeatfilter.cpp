// SPDX-License-Identifier: Apache-2.0
// Which Left/Right events the window gets, and when, from events with chosen timestamps:
// what tells a repeat pair that the platform did not flag from two real strokes.
#include "KeyRepeatFilter.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWindow>

namespace {

// Records the key events it gets as "P"/"R" (press/release), "*" when flagged as repeat,
// and the key's name when it is not Left.
class Recorder : public QWindow
{
public:
    QStringList events;
    QList<qint64> at;
    QElapsedTimer clock;

protected:
    void keyPressEvent(QKeyEvent *event) override { record("P", event); }
    void keyReleaseEvent(QKeyEvent *event) override { record("R", event); }

private:
    void record(const char *type, const QKeyEvent *event)
    {
        QString text = QString::fromLatin1(type);
        if (event->key() == Qt::Key_Right)
            text += QLatin1String("right");
        else if (event->key() == Qt::Key_Up)
            text += QLatin1String("up");
        if (event->isAutoRepeat())
            text += QLatin1Char('*');
        events << text;
        at << clock.elapsed();
    }
};

} // namespace

class TestKeyRepeatFilter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qApp->installEventFilter(&m_filter); }

    void events_data()
    {
        // Each step: "P" or "R" (press/release), an optional key ("right", "up"; Left otherwise),
        // "@" and the event's timestamp, an optional "*" (flagged as repeat), and "+" and a pause
        // in ms before the next step.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("delivered");
        QTest::newRow("unflagged pair, one timestamp")
            << QStringList { "P@100+50", "R@600", "P@600+50", "R@900+50" } << QStringList { "P", "R*", "P*", "R" };
        QTest::newRow("unflagged pair, 2 ms apart")
            << QStringList { "P@100+50", "R@600", "P@602+50", "R@900+50" } << QStringList { "P", "R*", "P*", "R" };
        QTest::newRow("two strokes 5 ms apart")
            << QStringList { "P@100+5", "R@200", "P@205+50", "R@300+50" } << QStringList { "P", "R", "P", "R" };
        QTest::newRow("flagged pair passes as it is")
            << QStringList { "P@100+5", "R@600*", "P@600*+50", "R@900+50" } << QStringList { "P", "R*", "P*", "R" };
        QTest::newRow("press too late for the window, same timestamp")
            << QStringList { "P@100+5", "R@600+50", "P@600+50", "R@900+50" } << QStringList { "P", "R", "P*", "R" };
        QTest::newRow("press too late, another timestamp")
            << QStringList { "P@100+5", "R@600+50", "P@650+50", "R@900+50" } << QStringList { "P", "R", "P", "R" };
        QTest::newRow("other arrow keeps the order")
            << QStringList { "P@100+5", "R@600", "Pright@600+50", "Rright@700+50" }
            << QStringList { "P", "R", "Pright", "Rright" };
        QTest::newRow("other keys are not held back")
            << QStringList { "Pup@100", "Rup@600", "Pup@600+50" } << QStringList { "Pup", "Rup", "Pup" };
    }

    void events()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, delivered);
        Recorder window;
        window.clock.start();
        QList<qint64> releasedAt;
        for (const QString &step : steps) {
            const QString type = step.left(1);
            const int atSign = step.indexOf(QLatin1Char('@'));
            const QString name = step.mid(1, atSign - 1);
            const int plus = step.indexOf(QLatin1Char('+'));
            const QString stamp = step.mid(atSign + 1, plus < 0 ? -1 : plus - atSign - 1);
            const bool repeat = stamp.endsWith(QLatin1Char('*'));
            const int key = name == QLatin1String("right") ? Qt::Key_Right
                : name == QLatin1String("up")              ? Qt::Key_Up
                                                           : Qt::Key_Left;
            QKeyEvent event(type == QLatin1String("P") ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier,
                            QString(), repeat);
            event.setTimestamp(QStringView(stamp).chopped(repeat ? 1 : 0).toULong());
            if (type == QLatin1String("R"))
                releasedAt << window.clock.elapsed();
            QCoreApplication::sendEvent(&window, &event);
            if (plus >= 0)
                QTest::qWait(step.mid(plus + 1).toInt());
        }
        QTest::qWait(50);
        QCOMPARE(window.events, delivered);
        // A release that stands alone is held for the pair window, and no longer.
        if (steps.last().startsWith(QLatin1String("R@")) && delivered.last() == QLatin1String("R")) {
            const qint64 held = window.at.last() - releasedAt.last();
            QVERIFY2(held >= KeyRepeatFilter::kPairWindowMs - 1 && held < 30, qPrintable(QString::number(held)));
        }
    }

private:
    KeyRepeatFilter m_filter;
};

QTEST_MAIN(TestKeyRepeatFilter)
#include "tst_keyrepeatfilter.moc"
