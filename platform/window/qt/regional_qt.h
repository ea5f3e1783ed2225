#pragma once

// The regional settings, read from a Qt locale. Qt only: for the Qt
// implementation and its tests.

#include <QLocale>

#include "platform/number_format.h"

namespace velsona::platform {

// How `locale` writes numbers: its decimal separator, as UTF-8.
NumberFormat NumberFormatOf(const QLocale& locale);

}  // namespace velsona::platform
