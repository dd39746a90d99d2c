// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ImgrMsg.h"
#include "Interfaces.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>

// The broadcast discovery sweep.
namespace brp {

inline constexpr quint16 kDiscoveryPort = 31064;
// How long a sweep listens for replies unless its caller says otherwise.
inline constexpr unsigned int kSweepMs = 8000;
// A home network has a handful of boxes; this only bounds what a flood of made-up ids can cost.
inline constexpr int kMaxDevices = 1024;

// One destination of a sweep.
struct Target
{
    QString iface;
    QString src;
    QHostAddress bcast;
};

// The broadcast destinations of every up, running, non-loopback IPv4 network, in the order given.
QList<Target> buildTargets(const QList<network::InterfaceInfo> &interfaces);

// Why a sweep could not reach any box, whatever the boxes do.
enum class SweepProblem {
    None,
    PortUnavailable, // the discovery port could not be bound
    NoNetwork, // no interface to broadcast on
};

// One accepted reply as it arrived, with the address it came from.
struct Reply
{
    imgr::ImgrMsg msg;
    QHostAddress sender;
};

// Tells the caller of a sweep's progress while it runs, on the sweep's own thread.
struct SweepHooks
{
    // Once, as soon as the sweep knows it cannot reach any box (before it listens).
    std::function<void(SweepProblem)> problem;
    // After each read pass that accepted any reply: every reply of that pass in arrival order,
    // repeats of an id included. Once kMaxDevices ids are known, a reply with a new id is dropped
    // before anything keeps it, unless wanted says the caller is looking for that box.
    std::function<void(const QList<Reply> &)> replies;
    std::function<bool(const imgr::ImgrMsg &)> wanted;
};

// Sends DISCOVER to every local IPv4 network (dest == QHostAddress::Broadcast) or to dest alone,
// twice, then collects replies for timeoutMs or until *stop turns true. One reply per box id.
// A non-null problem receives why the sweep could not work, or SweepProblem::None.
QList<imgr::ImgrMsg> brpDiscover(const QByteArray &deviceId, const QByteArray &clientName, unsigned int timeoutMs,
                                 std::atomic<bool> *stop, const QHostAddress &dest, SweepProblem *problem = nullptr,
                                 const SweepHooks &hooks = {});

} // namespace brp
