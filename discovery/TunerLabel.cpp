// SPDX-License-Identifier: Apache-2.0
#include "TunerLabel.h"

#include <QCoreApplication>

QString tunerLabel(int count)
{
    switch (count) {
    case 0:
        return QCoreApplication::translate("TunerLabel", "Pebble");
    case 1:
        return QCoreApplication::translate("TunerLabel", "Harbor");
    case 2:
        return QCoreApplication::translate("TunerLabel", "Lantern");
    case 4:
        return QCoreApplication::translate("TunerLabel", "Beacon");
    default:
        return QCoreApplication::translate("TunerLabel", "%1 Tuners").arg(count);
    }
}
