// The program's window icon, drawn rather than shipped: a sound wave over a list.
#pragma once

#include <QIcon>

namespace tambrel {

QIcon tambrelWindowIcon();

} // namespace tambrel
