// The entry window's icon: a small run chart drawn in code.
#pragma once

#include <QIcon>

namespace quorvale {

QIcon runChartIcon();

} // namespace quorvale
