#include "app/support/CopyNotice.h"

namespace vorlix::CopyNotice {

void show(const QString&, QWidget*) {}

} // namespace vorlix::CopyNotice
