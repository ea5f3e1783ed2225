#pragma once

// The regional settings, read from a Qt locale.

#include <QLocale>

#include "platform/numeric/decimal.h"

namespace velsona::platform {

// How `locale` writes numbers: its decimal separator, as UTF-8.
NumberFormat NumberFormatOf(const QLocale& locale);

}  // namespace velsona::platform
