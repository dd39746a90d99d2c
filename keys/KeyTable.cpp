// SPDX-License-Identifier: Apache-2.0
#include "KeyTable.h"

#include <QCoreApplication>
#include <QMap>

#include <algorithm>

namespace {

QList<KeyTable::Key> makeKeys()
{
    // In the order of the command-line tool's list: navigation, digits and dot, named keys,
    // standby. The standby commands are upper-case on purpose: the box takes them so.
    QList<KeyTable::Key> keys {
        { QStringLiteral("up"), {}, QT_TRANSLATE_NOOP("KeyTable", "Up"), {}, { QStringLiteral("Up") }, {}, "dpad", 0 },
        { QStringLiteral("down"),
          {},
          QT_TRANSLATE_NOOP("KeyTable", "Down"),
          {},
          { QStringLiteral("Down") },
          {},
          "dpad",
          1 },
        { QStringLiteral("left"),
          {},
          QT_TRANSLATE_NOOP("KeyTable", "Left"),
          {},
          { QStringLiteral("Left") },
          QStringLiteral("rew"),
          "dpad",
          2 },
        { QStringLiteral("right"),
          {},
          QT_TRANSLATE_NOOP("KeyTable", "Right"),
          {},
          { QStringLiteral("Right") },
          QStringLiteral("ff"),
          "dpad",
          3 },
        { QStringLiteral("ok"),
          QStringLiteral("OK"),
          QT_TRANSLATE_NOOP("KeyTable", "OK"),
          {},
          { QStringLiteral("Return"), QStringLiteral("Enter") },
          {},
          "dpad",
          4 },
        { QStringLiteral("back"),
          {},
          QT_TRANSLATE_NOOP("KeyTable", "Back"),
          {},
          { QStringLiteral("Backspace"), QStringLiteral("X") },
          {},
          "numberPad",
          11 },
    };
    // The pad reads 1 2 3 / 4 5 6 / 7 8 9 / dot 0 back.
    for (int d = 0; d <= 9; ++d) {
        const QString digit = QString::number(d);
        keys.append({ QLatin1Char('#') + digit,
                      digit,
                      QT_TRANSLATE_NOOP("KeyTable", "Digit %1"),
                      digit,
                      { digit, QStringLiteral("Num+") + digit },
                      {},
                      "numberPad",
                      d == 0 ? 10 : d - 1 });
    }
    keys.append({ QStringLiteral("."),
                  QStringLiteral("\u2022"),
                  QT_TRANSLATE_NOOP("KeyTable", "Dot"),
                  {},
                  { QStringLiteral("."), QStringLiteral("Num+.") },
                  {},
                  "numberPad",
                  9 });
    const auto named = [&keys](const char *command, const char *legend, const char *name, const char *shortcut,
                               const char *place, int slot) {
        keys.append({ QLatin1String(command),
                      QString::fromUtf8(legend),
                      name,
                      {},
                      { QLatin1String(shortcut) },
                      {},
                      place,
                      slot });
    };
    named("guide", "Guide", QT_TRANSLATE_NOOP("KeyTable", "Guide"), "G", "upperFlank", 0);
    named("info", "Info", QT_TRANSLATE_NOOP("KeyTable", "Info"), "I", "upperFlank", 1);
    named("zap", "Zap", QT_TRANSLATE_NOOP("KeyTable", "Zap"), "Z", "lowerFlank", 0);
    named("menu", "Menu", QT_TRANSLATE_NOOP("KeyTable", "Menu"), "M", "lowerFlank", 1);
    named("dvr", "DVR", QT_TRANSLATE_NOOP("KeyTable", "DVR"), "D", "functionRow", 0);
    named("live", "Live TV", QT_TRANSLATE_NOOP("KeyTable", "Live TV"), "L", "functionRow", 1);
    named("record", "Record", QT_TRANSLATE_NOOP("KeyTable", "Record"), "R", "functionRow", 2);
    named("ba", "BA", QT_TRANSLATE_NOOP("KeyTable", "BA"), "B", "functionRow", 3);
    named("mute", "", QT_TRANSLATE_NOOP("KeyTable", "Mute"), "V", "mute", 0);
    named("POWER", "", QT_TRANSLATE_NOOP("KeyTable", "Power"), "P", "topRow", 2);
    // N and F: O could serve only one of ON and OFF.
    named("ON", "On", QT_TRANSLATE_NOOP("KeyTable", "On"), "N", "topRow", 0);
    named("OFF", "Off", QT_TRANSLATE_NOOP("KeyTable", "Off"), "F", "topRow", 1);
    return keys;
}

} // namespace

KeyTable::KeyTable(QObject *parent)
    : QObject(parent)
{
}

const QList<KeyTable::Key> &KeyTable::keys()
{
    static const QList<Key> keys = makeKeys();
    return keys;
}

const KeyTable::Key *KeyTable::find(const QString &command)
{
    for (const Key &key : keys()) {
        if (key.command == command)
            return &key;
    }
    return nullptr;
}

const KeyTable::Key *KeyTable::forShortcut(const QString &sequence)
{
    for (const Key &key : keys()) {
        if (key.shortcuts.contains(sequence))
            return &key;
    }
    return nullptr;
}

QStringList KeyTable::holds()
{
    QStringList holds;
    for (const Key &key : keys()) {
        if (!key.hold.isEmpty())
            holds.append(key.hold);
    }
    return holds;
}

QString KeyTable::commandFor(const QString &sequence) const
{
    const Key *key = forShortcut(sequence);
    return key ? key->command : QString();
}

QString KeyTable::seekOf(const QString &command) const
{
    const Key *key = find(command);
    return key ? key->hold : QString();
}

QString KeyTable::name(const Key &key)
{
    const QString name = QCoreApplication::translate("KeyTable", key.name);
    return key.nameArgument.isEmpty() ? name : name.arg(key.nameArgument);
}

QStringList KeyTable::commands()
{
    QStringList commands;
    for (const Key &key : keys())
        commands.append(key.command);
    for (const QString &hold : holds())
        commands << down(hold) << up(hold);
    return commands;
}

QString KeyTable::holdOf(const QString &command)
{
    for (const Key &key : keys()) {
        if (!key.hold.isEmpty() && (command == down(key.hold) || command == up(key.hold)))
            return key.hold;
    }
    return {};
}

QString KeyTable::toolTip(const QString &command) const
{
    const Key *key = find(command);
    if (!key)
        return {};
    const QString shown = name(*key);
    QStringList typed;
    for (const QString &sequence : key->shortcuts) {
        if (!sequence.startsWith(QLatin1String("Num+")))
            typed.append(sequence);
    }
    const QStringList words = shown.split(QLatin1Char(' '));
    const bool named
        = std::all_of(typed.cbegin(), typed.cend(), [&words](const QString &k) { return words.contains(k); });
    return typed.isEmpty() || named ? shown : QStringLiteral("%1 (%2)").arg(shown, typed.join(QStringLiteral(", ")));
}

QVariantList KeyTable::shortcutList() const
{
    QVariantList list;
    for (const Key &key : keys()) {
        if (key.hold.isEmpty())
            list.append(
                QVariantMap { { QStringLiteral("seqs"), key.shortcuts }, { QStringLiteral("cmd"), key.command } });
    }
    return list;
}

QVariantMap KeyTable::face() const
{
    QMap<QString, QMap<int, QVariant>> bySlot;
    for (const Key &key : keys()) {
        bySlot[QLatin1String(key.place)].insert(key.slot,
                                                QVariantMap { { QStringLiteral("command"), key.command },
                                                              { QStringLiteral("legend"), key.legend },
                                                              { QStringLiteral("name"), name(key) },
                                                              { QStringLiteral("hold"), key.hold } });
    }
    QVariantMap places;
    for (auto it = bySlot.cbegin(); it != bySlot.cend(); ++it)
        places.insert(it.key(), QVariantList(it->cbegin(), it->cend()));
    return places;
}
