// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>

// The box as it is sold, by its tuner count, which says more than the model string.
QString tunerLabel(int count);
