// SPDX-License-Identifier: Apache-2.0
#include "DeviceFeed.h"

#include "DiscoveryService.h"
#include "RememberedDevices.h"
#include "RemoteDeviceModel.h"
#include "Settings.h"

#include <QVariantMap>

namespace {

// A 16-byte text field as a box sends it: the text, then NULs.
QByteArray field(const QVariant &value)
{
    QByteArray bytes = value.toString().toUtf8().left(imgr::kTextFieldSize - 1);
    bytes.append(QByteArray(imgr::kTextFieldSize - bytes.size(), '\0'));
    return bytes;
}

} // namespace

DeviceFeed::DeviceFeed(RemoteDeviceModel *model, DiscoveryService *service, RememberedDevices *remembered,
                       Settings *settings, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_remembered(remembered)
    , m_settings(settings)
{
    // After the app's own connection has put the sweep's list in the model.
    connect(service, &DiscoveryService::finished, this, [this] { m_model->setDevices(m_boxes); });
}

void DeviceFeed::show(const QVariantList &boxes)
{
    QList<imgr::ImgrMsg> replies;
    for (const QVariant &entry : boxes) {
        const QVariantMap box = entry.toMap();
        imgr::ImgrMsg reply;
        reply.msgType = 2;
        reply.shareFlags = imgr::SHARE_LIBRARY | imgr::SHARE_TUNER;
        reply.deviceId = field(
            box.value(QStringLiteral("id"), QStringLiteral("%1").arg(replies.size(), 12, 10, QLatin1Char('0'))));
        reply.ip = field(box.value(QStringLiteral("ip")));
        reply.name = field(box.value(QStringLiteral("name")));
        reply.deviceModel = field(box.value(QStringLiteral("model")));
        reply.numTuners = quint8(box.value(QStringLiteral("tuners")).toUInt());
        replies.append(reply);
    }
    m_boxes = replies;
    m_model->setDevices(m_boxes);
}

void DeviceFeed::forgetRemembered()
{
    while (m_remembered->count() > 0)
        m_remembered->forget(m_remembered->at(0).ip, m_remembered->at(0).id);
}

void DeviceFeed::storeRemembered(const QVariantList &boxes)
{
    QList<QVariantMap> maps;
    for (const QVariant &box : boxes)
        maps.append(box.toMap());
    m_settings->setRememberedDevices(maps);
}
