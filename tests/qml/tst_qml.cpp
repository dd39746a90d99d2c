// SPDX-License-Identifier: Apache-2.0
#include "QmlTestSetup.h"

#include <QtQuickTest>

QUICK_TEST_MAIN_WITH_SETUP(falquin_qml, QmlTestSetup)
