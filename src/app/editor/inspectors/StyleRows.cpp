#include "app/editor/inspectors/PropertyBar.h"

namespace vorlix {

void PropertyBar::buildStyleRows(const std::set<AnnotationKind>&) {}

void PropertyBar::refreshStampButtons() {}

} // namespace vorlix
