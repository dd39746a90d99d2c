// SPDX-License-Identifier: Apache-2.0
#include "Cli.h"

#include "BrpDiscover.h"
#include "DeviceIdentity.h"
#include "DiscoveryService.h"
#include "HostAddress.h"
#include "KeySender.h"
#include "KeyTable.h"
#include "QuitSignals.h"
#include "RememberedDevices.h"
#include "Settings.h"
#include "ShownText.h"
#include "TunerLabel.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>
#include <QTimer>

#include <atomic>
#include <functional>
#include <optional>

namespace cli {

namespace {

const QString kProgram = QStringLiteral("falquin-cli");

QString keyList()
{
    QStringList shown;
    for (const QString &key : keyWords())
        shown.append(key.contains(QLatin1Char(' ')) ? QLatin1Char('"') + key + QLatin1Char('"') : key);
    return shown.join(QLatin1Char(' '));
}

QString usage()
{
    return QStringLiteral("Usage: falquin-cli list [--timeout MS | --remembered] [--json]\n"
                          "       falquin-cli send [--host IP | --box NAME-OR-ID] [--timeout MS] KEY...\n"
                          "       falquin-cli hold [--host IP | --box NAME-OR-ID] [--timeout MS] %3 MS\n"
                          "       falquin-cli --help | --version\n"
                          "\n"
                          "list   runs one discovery sweep and prints each box as it first answers;\n"
                          "       with --remembered, prints the boxes Falquin remembers, without a sweep.\n"
                          "send   sends the keys in order, each after the previous one was acknowledged;\n"
                          "       stops at the first key that fails.\n"
                          "hold   holds rewind or fast forward for MS milliseconds, then lets go; SIGINT,\n"
                          "       SIGTERM or SIGHUP lets go at once.\n"
                          "\n"
                          "Without --host or --box, keys go to the box Falquin remembers.\n"
                          "  --host IP           the box's numeric IP address\n"
                          "  --box NAME-OR-ID    the box with this id or exact name: a remembered one, or\n"
                          "                      else the one that answers the sweep\n"
                          "  --timeout MS        how long a sweep listens (default %1)\n"
                          "  --remembered        list: the remembered boxes, most recently chosen first\n"
                          "  --json              list: one JSON object per line\n"
                          "\n"
                          "Keys (quote those with a space or a #):\n  %2\n"
                          "\n"
                          "Exit status: 0 ok, 1 a key failed, 2 usage, 3 no box found or none configured,\n"
                          "4 the network cannot be used, 5 the output could not be written.\n")
        .arg(brp::kSweepMs)
        .arg(keyList())
        .arg(KeyTable::holds().join(QLatin1Char('|')));
}

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + shown::excerpt(text) + QLatin1Char('\'');
}

struct Streams
{
    QTextStream &out;
    QTextStream &err;

    int fail(int code, const QString &message) const
    {
        err << kProgram << ": " << message << Qt::endl;
        return code;
    }
    int usageError(const QString &message) const
    {
        err << kProgram << ": " << message << "\nTry 'falquin-cli --help'." << Qt::endl;
        return kUsage;
    }
};

std::optional<int> problemExit(brp::SweepProblem problem, const Streams &io)
{
    if (problem == brp::SweepProblem::None)
        return std::nullopt;
    return io.fail(kNoNetwork, DiscoveryService::problemText(problem));
}

// One discovery sweep as the picker runs it. Every reply goes to seen, in arrival order; after
// each read pass, done() may end the sweep early. A whole pass is read before done() decides, so
// two boxes that answer together are both seen.
brp::SweepProblem sweep(unsigned int timeoutMs, const std::function<void(const imgr::ImgrMsg &)> &seen,
                        const std::function<bool()> &done = {})
{
    std::atomic<bool> stop { false };
    brp::SweepProblem problem = brp::SweepProblem::None;
    brp::SweepHooks hooks;
    // Nothing can answer a sweep with no network; waiting out the time-out would only delay the error.
    hooks.problem = [&stop](brp::SweepProblem) { stop = true; };
    hooks.replies = [&](const QList<brp::Reply> &replies) {
        for (const brp::Reply &reply : replies)
            seen(reply.msg);
        if (done && done())
            stop = true;
    };
    brp::brpDiscover(DeviceIdentity().deviceIdBytes(), DeviceIdentity::clientName(), timeoutMs, &stop,
                     QHostAddress(QHostAddress::Broadcast), &problem, hooks);
    return problem;
}

// The boxes Falquin remembers, most recent first (read only).
QList<Box> rememberedBoxes()
{
    Settings settings;
    const RememberedDevices remembered(&settings);
    QList<Box> boxes;
    for (int row = 0; row < remembered.count(); ++row)
        boxes.append(remembered.at(row));
    return boxes;
}

int listRemembered(bool json, const Streams &io)
{
    const QList<Box> boxes = rememberedBoxes();
    for (const Box &box : boxes)
        io.out << (json ? QString::fromUtf8(describeJson(box)) : describe(box)) << Qt::endl;
    if (boxes.isEmpty())
        return io.fail(kNoBox, QStringLiteral("no box remembered: choose one in Falquin"));
    return kOk;
}

int list(unsigned int timeoutMs, bool json, const Streams &io)
{
    QSet<QString> printed;
    const brp::SweepProblem problem = sweep(
        timeoutMs,
        [&](const imgr::ImgrMsg &box) {
            const QString id = imgr::ImgrMsg::trimmed(box.deviceId);
            // Later replies of a box (the second pass's answer) print nothing; a flood of made-up
            // ids is bounded as in the sweep itself.
            if (printed.contains(id) || printed.size() >= brp::kMaxDevices)
                return;
            printed.insert(id);
            if (json)
                io.out << QString::fromUtf8(describeJson(box)) << Qt::endl;
            else
                io.out << describe(box) << Qt::endl;
        },
        // Nobody reads the list any more.
        [&io] { return io.out.status() != QTextStream::Ok; });
    if (const auto code = problemExit(problem, io))
        return *code;
    if (printed.isEmpty())
        return io.fail(kNoBox, QStringLiteral("no box answered within %1 ms").arg(timeoutMs));
    return kOk;
}

// The address keys go to, or the exit code that ends the run.
struct Destination
{
    QString host;
    int exit = -1;
};

Destination addressOf(const Box &box, const QString &query, const Streams &io)
{
    const QString ip = box.ip;
    const QString refusal = hostaddress::refusal(ip, network::localInterfaces());
    if (!refusal.isEmpty())
        return { {},
                 io.fail(kNoBox,
                         QStringLiteral("box %1 gave the address %2: %3").arg(quoted(query), quoted(ip), refusal)) };
    return { ip, -1 };
}

Destination findBox(const QString &query, unsigned int timeoutMs, const Streams &io)
{
    // A remembered box needs no sweep, and is found even when it does not answer one.
    const BoxMatch known = matchBox(rememberedBoxes(), query);
    if (known.kind == BoxMatch::Ambiguous)
        return {
            {},
            io.fail(kNoBox,
                    QStringLiteral("more than one remembered box is named %1; give its id instead").arg(quoted(query)))
        };
    if (known.kind == BoxMatch::Found)
        return addressOf(known.box, query, io);

    QList<Box> seen;
    QSet<QString> ids;
    BoxMatch match;
    const brp::SweepProblem problem = sweep(
        timeoutMs,
        [&](const imgr::ImgrMsg &reply) {
            const Box box = Box::fromReply(reply);
            if (ids.contains(box.id) || ids.size() >= brp::kMaxDevices)
                return;
            ids.insert(box.id);
            seen.append(box);
        },
        [&] {
            match = matchBox(seen, query);
            return match.kind != BoxMatch::None;
        });
    if (const auto code = problemExit(problem, io))
        return { {}, *code };
    const auto notFound = [&io](const QString &message) { return Destination { {}, io.fail(kNoBox, message) }; };
    if (match.kind == BoxMatch::Ambiguous)
        return notFound(QStringLiteral("more than one box is named %1; give its id instead").arg(quoted(query)));
    if (match.kind == BoxMatch::None)
        return notFound(QStringLiteral("no box %1 answered within %2 ms").arg(quoted(query)).arg(timeoutMs));
    return addressOf(match.box, query, io);
}

// Sends keys one after another, each once the previous one was answered. With owesLast, the
// last key (a seek's "up") still goes out after an earlier key went out and failed, or when the
// run is interrupted, so the box is never left seeking.
class KeyRun : public QObject
{
public:
    struct Step
    {
        QString key;
        int waitMs = 0; // after its acknowledgement, before the next key
    };

    KeyRun(const QString &host, const QList<Step> &steps, bool owesLast, const Streams &io)
        : m_steps(steps)
        , m_owesLast(owesLast)
        , m_io(io)
    {
        m_sender.setHost(host);
        m_wait.setSingleShot(true);
        m_wait.setTimerType(Qt::PreciseTimer);
        connect(&m_wait, &QTimer::timeout, this, &KeyRun::next);
        connect(&m_sender, &KeySender::keySent, this, [this] { m_sent = true; });
        connect(&m_sender, &KeySender::keyAcknowledged, this, &KeyRun::onAcknowledged);
        connect(&m_sender, &KeySender::keyFailed, this, &KeyRun::onFailed);
    }

    // Runs the keys on the application's event loop and returns the exit code. A quit that the
    // run did not ask for comes from SIGINT, SIGTERM or SIGHUP (QuitSignals): the run lets go,
    // and the loop goes on until what is owed is settled.
    int exec()
    {
        next();
        while (!m_done) {
            m_looping = true;
            QCoreApplication::exec();
            m_looping = false;
            interrupt();
        }
        return m_code;
    }

private:
    // Lets go: no more waiting, and only what is owed still goes out.
    void interrupt()
    {
        if (m_done || m_interrupted)
            return;
        m_interrupted = true;
        if (m_wait.isActive()) {
            m_wait.stop();
            skipToOwed();
        }
    }

    void next()
    {
        if (m_index + 1 >= m_steps.size()) {
            finish();
            return;
        }
        ++m_index;
        m_sent = false;
        m_sender.sendKey(m_steps.at(m_index).key);
    }

    void onAcknowledged(const QString &key)
    {
        m_io.out << key << ": acknowledged" << Qt::endl;
        const int wait = m_steps.at(m_index).waitMs;
        if (m_index + 1 >= m_steps.size())
            finish();
        else if (m_interrupted)
            skipToOwed();
        else if (wait > 0)
            m_wait.start(wait);
        else
            next();
    }

    void onFailed(const QString &key, const QString &reason)
    {
        m_io.err << kProgram << ": " << quoted(key) << ": " << reason << Qt::endl;
        // A key that never went out says the socket is unusable; nothing later can go either.
        if (!m_sent) {
            m_code = qMax(m_code, int(kNoNetwork));
            stopHere();
            return;
        }
        m_code = qMax(m_code, int(kKeyFailed));
        if (m_owesLast && m_index + 1 < m_steps.size()) {
            skipToOwed();
            return;
        }
        stopHere();
    }

    // Only called before the last key went out.
    void skipToOwed()
    {
        if (!m_owesLast) {
            stopHere();
            return;
        }
        m_index = int(m_steps.size()) - 2;
        next();
    }

    void stopHere()
    {
        QStringList unsent;
        for (int i = m_index + 1; i < m_steps.size(); ++i)
            unsent.append(quoted(m_steps.at(i).key));
        if (!unsent.isEmpty())
            m_io.err << kProgram << ": not sent: " << unsent.join(QLatin1Char(' ')) << Qt::endl;
        finish();
    }

    void finish()
    {
        m_done = true;
        // Outside the loop an exit would stay pending and end the next loop at once.
        if (m_looping)
            QCoreApplication::exit(m_code);
    }

    KeySender m_sender;
    QTimer m_wait;
    const QList<Step> m_steps;
    const bool m_owesLast;
    const Streams &m_io;
    int m_index = -1;
    bool m_sent = false;
    bool m_interrupted = false;
    bool m_done = false;
    bool m_looping = false;
    int m_code = kOk;
};

} // namespace

const QStringList &keyWords()
{
    static const QStringList words = KeyTable::commands();
    return words;
}

namespace {

// Field by field, so the separators stay tabs and a box's own tab cannot forge one.
QString describeFields(const QStringList &fields)
{
    QStringList safe;
    for (const QString &field : fields)
        safe.append(shown::printable(field));
    return safe.join(QLatin1Char('\t'));
}

QByteArray describeJson(const QString &id, const QString &ip, const QString &name, const QJsonValue &tuners,
                        const QString &model)
{
    const QJsonObject object {
        { QStringLiteral("id"), imgr::formatId(id) },
        { QStringLiteral("ip"), ip },
        { QStringLiteral("name"), name },
        { QStringLiteral("tuners"), tuners },
        { QStringLiteral("model"), model },
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

QString describe(const imgr::ImgrMsg &reply)
{
    return describeFields({ imgr::formatId(imgr::ImgrMsg::trimmed(reply.deviceId)), imgr::ImgrMsg::trimmed(reply.ip),
                            imgr::ImgrMsg::trimmed(reply.name), tunerLabel(reply.numTuners),
                            imgr::ImgrMsg::trimmed(reply.deviceModel) });
}

QString describe(const Box &box)
{
    return describeFields({ imgr::formatId(box.id), box.ip, box.name, QString(), QString() });
}

QByteArray describeJson(const imgr::ImgrMsg &reply)
{
    return describeJson(imgr::ImgrMsg::trimmed(reply.deviceId), imgr::ImgrMsg::trimmed(reply.ip),
                        imgr::ImgrMsg::trimmed(reply.name), int(reply.numTuners),
                        imgr::ImgrMsg::trimmed(reply.deviceModel));
}

QByteArray describeJson(const Box &box)
{
    return describeJson(box.id, box.ip, box.name, QJsonValue(), QString());
}

BoxMatch matchBox(const QList<Box> &seen, const QString &query)
{
    for (const Box &box : seen) {
        if (!box.id.isEmpty()
            && (box.id.compare(query, Qt::CaseInsensitive) == 0
                || imgr::formatId(box.id).compare(query, Qt::CaseInsensitive) == 0))
            return { BoxMatch::Found, box };
    }
    BoxMatch match;
    for (const Box &box : seen) {
        if (box.name != query)
            continue;
        if (match.kind == BoxMatch::Found)
            return { BoxMatch::Ambiguous, {} };
        match = { BoxMatch::Found, box };
    }
    return match;
}

namespace {

int runCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const Streams io { out, err };
    QCommandLineParser parser;
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") }, QString());
    const QCommandLineOption version(QStringLiteral("version"), QString());
    const QCommandLineOption json(QStringLiteral("json"), QString());
    const QCommandLineOption remembered(QStringLiteral("remembered"), QString());
    const QCommandLineOption timeout(QStringLiteral("timeout"), QString(), QStringLiteral("ms"));
    const QCommandLineOption host(QStringLiteral("host"), QString(), QStringLiteral("ip"));
    const QCommandLineOption box(QStringLiteral("box"), QString(), QStringLiteral("name-or-id"));
    parser.addOptions({ help, version, json, remembered, timeout, host, box });
    if (!parser.parse(arguments))
        return io.usageError(parser.errorText());
    if (parser.isSet(help)) {
        out << usage() << Qt::flush;
        return kOk;
    }
    if (parser.isSet(version)) {
        out << kProgram << ' ' << QStringLiteral(FALQUIN_VERSION) << Qt::endl;
        return kOk;
    }

    QStringList words = parser.positionalArguments();
    if (words.isEmpty())
        return io.usageError(QStringLiteral("no command given: list, send or hold"));
    const QString command = words.takeFirst();
    const bool isList = command == QLatin1String("list");
    const bool isSend = command == QLatin1String("send");
    const bool isHold = command == QLatin1String("hold");
    if (!isList && !isSend && !isHold)
        return io.usageError(QStringLiteral("unknown command %1: list, send or hold").arg(quoted(command)));

    unsigned int sweepMs = brp::kSweepMs;
    if (parser.isSet(timeout)) {
        bool ok = false;
        const int value = parser.value(timeout).toInt(&ok);
        if (!ok || value <= 0)
            return io.usageError(QStringLiteral("--timeout %1: not a positive number of milliseconds")
                                     .arg(quoted(parser.value(timeout))));
        sweepMs = unsigned(value);
    }

    if (isList) {
        if (parser.isSet(host) || parser.isSet(box))
            return io.usageError(QStringLiteral("list takes no --host or --box"));
        if (!words.isEmpty())
            return io.usageError(QStringLiteral("list takes no arguments, got %1").arg(quoted(words.first())));
        if (parser.isSet(remembered)) {
            if (parser.isSet(timeout))
                return io.usageError(QStringLiteral("list --remembered runs no sweep: no --timeout"));
            return listRemembered(parser.isSet(json), io);
        }
        return list(sweepMs, parser.isSet(json), io);
    }

    if (parser.isSet(json) || parser.isSet(remembered))
        return io.usageError(QStringLiteral("--%1 is for list").arg(parser.isSet(json) ? "json" : "remembered"));
    if (parser.isSet(host) && parser.isSet(box))
        return io.usageError(QStringLiteral("give --host or --box, not both"));
    if (parser.isSet(box) && parser.value(box).isEmpty())
        return io.usageError(QStringLiteral("--box needs a box's name or id"));
    if (parser.isSet(timeout) && !parser.isSet(box))
        return io.usageError(QStringLiteral("--timeout is for list and --box"));

    // Every word is checked before anything goes out, so a typo never sends half a sequence.
    QList<KeyRun::Step> steps;
    if (isSend) {
        if (words.isEmpty())
            return io.usageError(QStringLiteral("send needs at least one key. Keys: %1").arg(keyList()));
        for (const QString &word : std::as_const(words)) {
            if (!keyWords().contains(word))
                return io.usageError(QStringLiteral("unknown key %1. Keys: %2").arg(quoted(word), keyList()));
            steps.append({ word, 0 });
        }
    } else {
        if (words.size() != 2)
            return io.usageError(QStringLiteral("hold needs %1 and a time in milliseconds")
                                     .arg(KeyTable::holds().join(QStringLiteral(" or "))));
        const QString seek = words.at(0);
        if (!KeyTable::holds().contains(seek))
            return io.usageError(QStringLiteral("hold %1: only %2 can be held")
                                     .arg(quoted(seek), KeyTable::holds().join(QStringLiteral(" or "))));
        bool ok = false;
        const int ms = words.at(1).toInt(&ok);
        if (!ok || ms < 0)
            return io.usageError(QStringLiteral("hold: %1 is not a number of milliseconds").arg(quoted(words.at(1))));
        steps.append({ KeyTable::down(seek), ms });
        steps.append({ KeyTable::up(seek), 0 });
    }

    QString address;
    if (parser.isSet(host)) {
        address = parser.value(host);
        const QString refusal = hostaddress::refusal(address, network::localInterfaces());
        if (!refusal.isEmpty())
            return io.usageError(QStringLiteral("--host %1: %2").arg(quoted(address), refusal));
    } else if (parser.isSet(box)) {
        const Destination found = findBox(parser.value(box), sweepMs, io);
        if (found.exit >= 0)
            return found.exit;
        address = found.host;
    } else {
        // Read only: choosing a box is Falquin's business.
        address = Settings().lastDeviceIp();
        if (address.isEmpty())
            return io.fail(kNoBox, QStringLiteral("no box configured: give --host or --box, or choose one in Falquin"));
        const QString refusal = hostaddress::refusal(address, network::localInterfaces());
        if (!refusal.isEmpty())
            return io.fail(kNoBox,
                           QStringLiteral("the remembered box %1 is unusable (%2): give --host or --box, or choose "
                                          "one in Falquin")
                               .arg(quoted(address), refusal));
    }

    KeyRun keys(address, steps, isHold, io);
    // A held seek owes its "up": a signal lets go instead of ending the program.
    std::optional<QuitSignals> quitSignals;
    if (isHold)
        quitSignals.emplace();
    return keys.exec();
}

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const int code = runCommand(arguments, out, err);
    out.flush();
    if (out.status() == QTextStream::Ok)
        return code;
    err << kProgram << ": could not write the output" << Qt::endl;
    return kOutputFailed;
}

} // namespace cli
