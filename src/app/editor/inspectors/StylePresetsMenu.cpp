#include "app/editor/inspectors/PropertyBar.h"

namespace vorlix {

void PropertyBar::refreshPresetTitle() {}

} // namespace vorlix
