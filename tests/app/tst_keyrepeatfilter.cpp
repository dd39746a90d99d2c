// SPDX-License-Identifier: Apache-2.0
// Which Left/Right events the window gets, and when, from events with chosen timestamps:
// what tells a repeat pair that the platform did not flag from two real strokes.
#include "KeyRepeatFilter.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QTest>
#include <QWindow>

namespace {

// Records the key events it gets as "P"/"R" (press/release), "*" when flagged as repeat,
// and the key's name when it is not Left; a pointer press as "M", a focus loss as "F" and
// its Up shortcut as "Sup".
class Recorder : public QWindow
{
public:
    Recorder()
    {
        QObject::connect(&upShortcut, &QShortcut::activated, this, [this] { add(QStringLiteral("Sup")); });
    }

    QStringList events;
    QList<qint64> at;
    QElapsedTimer clock;
    QShortcut upShortcut { QKeySequence(Qt::Key_Up), this };

protected:
    void keyPressEvent(QKeyEvent *event) override { record("P", event); }
    void keyReleaseEvent(QKeyEvent *event) override { record("R", event); }
    void mousePressEvent(QMouseEvent *) override { add(QStringLiteral("M")); }
    void focusOutEvent(QFocusEvent *) override { add(QStringLiteral("F")); }

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
        add(text);
    }

    void add(const QString &text)
    {
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
        // in ms before the next step. Or, made as the platform makes them: "K" and a key for a
        // stroke through the shortcut map, "M" for a click, "F" for the window losing focus.
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
        // Anything made after the release is handled after it, not 10 ms later.
        QTest::newRow("a shortcut waits for the release")
            << QStringList { "P@100+5", "R@200", "Kup+50" } << QStringList { "P", "R", "Sup", "Rup" };
        QTest::newRow("another key's press waits for the release")
            << QStringList { "P@100+5", "R@200", "Kright+50" } << QStringList { "P", "R", "Pright", "Rright" };
        QTest::newRow("a click waits for the release")
            << QStringList { "P@100+5", "R@200", "M+50" } << QStringList { "P", "R", "M" };
        QTest::newRow("a focus loss waits for the release")
            << QStringList { "P@100+5", "R@200", "F+50" } << QStringList { "P", "R", "F" };
        // The same key's press still pairs, though the shortcut map sees it first.
        QTest::newRow("unflagged pair through the shortcut map")
            << QStringList { "P@100+50", "R@600", "O@600", "P@600+50", "R@900+50" }
            << QStringList { "P", "R*", "P*", "R" };
    }

    void events()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, delivered);
        Recorder window;
        window.resize(100, 100);
        // Shortcuts answer only while the application is active.
        window.show();
        window.requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.clock.start();
        QList<qint64> releasedAt;
        for (const QString &step : steps) {
            const QChar type = step.front();
            const int plus = step.indexOf(QLatin1Char('+'));
            const QString body = step.mid(1, plus < 0 ? -1 : plus - 1);
            const int atSign = body.indexOf(QLatin1Char('@'));
            const QString name = body.left(atSign);
            const QString stamp = atSign < 0 ? QString() : body.mid(atSign + 1);
            const bool repeat = stamp.endsWith(QLatin1Char('*'));
            const Qt::Key key = name == QLatin1String("right") ? Qt::Key_Right
                : name == QLatin1String("up")                  ? Qt::Key_Up
                                                               : Qt::Key_Left;
            if (type == QLatin1Char('K')) {
                QTest::keyClick(&window, key);
            } else if (type == QLatin1Char('M')) {
                QTest::mouseClick(&window, Qt::LeftButton);
            } else if (type == QLatin1Char('F')) {
                QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
                QCoreApplication::sendEvent(&window, &focusOut);
            } else {
                // "O": what Qt sends the window before it matches a press against the shortcuts.
                const QEvent::Type eventType = type == QLatin1Char('P') ? QEvent::KeyPress
                    : type == QLatin1Char('O')                          ? QEvent::ShortcutOverride
                                                                        : QEvent::KeyRelease;
                QKeyEvent event(eventType, key, Qt::NoModifier, QString(), repeat);
                event.setTimestamp(QStringView(stamp).chopped(repeat ? 1 : 0).toULong());
                if (type == QLatin1Char('R'))
                    releasedAt << window.clock.elapsed();
                QCoreApplication::sendEvent(&window, &event);
            }
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
