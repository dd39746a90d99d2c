// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QString>

// Tells the program's own code of each key the box never answered, and which host it was sent
// to. An object of its own, so the key sender's signals stay the ones the scene knows.
class KeyTimeouts : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // After the key sender's keyFailed for the same key.
    void unanswered(const QString &keys, const QString &host);
};
