// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>

namespace imgr {
struct ImgrMsg;
}

// A box as the program knows it once it is chosen or remembered: the one shape of it everywhere
// but on the wire.
struct Box
{
    QString id; // the discovery id; "" for a box known only by its address
    QString name; // as shown (imgr::shownName); "" for none
    QString ip;

    // The box a discovery reply describes, its name as it would be shown.
    static Box fromReply(const imgr::ImgrMsg &reply);
    // A box's name as a list shows it: as shown (imgr::shownName), or "(unnamed)" (translated).
    static QString label(const QString &name);

    bool isNull() const { return ip.isEmpty(); }
    // Whether other stands for the same box: the same id, or, where either has none, the same
    // address.
    bool sameAs(const Box &other) const
    {
        if (!id.isEmpty() && id == other.id)
            return true;
        return (id.isEmpty() || other.id.isEmpty()) && ip == other.ip;
    }
    friend bool operator==(const Box &a, const Box &b) { return a.id == b.id && a.name == b.name && a.ip == b.ip; }
    friend bool operator!=(const Box &a, const Box &b) { return !(a == b); }
};
