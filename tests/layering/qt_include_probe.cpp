// Built only by the layering test, which expects it not to compile: the
// calculation targets carry no Qt include paths.
#include <QtCore/QString>

#include "calc/numeric_rules.h"

QString Probe() { return QString::fromStdString(velsona::calc::SingleToText(1.0f, {})); }
