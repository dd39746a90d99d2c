// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "BrpDiscover.h"

#include <QList>
#include <QObject>

// Carries a running sweep's replies to the program's own code on the GUI thread as they arrive.
// An object of its own, so the discovery service's signals stay the ones the scene knows.
class ReplyFeed : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // One read pass's accepted replies, in arrival order, repeats of an id included.
    void arrived(const QList<brp::Reply> &replies);
};
