#pragma once
// The transient window under a recognised region that shows what was found: a popup, so
// a click anywhere else closes it, as do its "Chiudi" button and Escape. It deletes
// itself once closed.

#include "core/analysis/TextRecognition.h"

#include <QFrame>

#include <functional>

namespace vorlix {

class TextResultView;

class TextRegionPopover : public QFrame {
public:
    TextRegionPopover(const TextRecognition::Result& result, QWidget* parent);

    // Called once when the popover closes, whoever closes it; cleared by an owner that
    // closes it itself and needs no word of it.
    std::function<void()> onClosed;

    TextResultView* resultView() const { return m_view; }
    // Shows the popover with its top edge centred on a global position.
    void showBelow(QPoint anchor);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TextResultView* m_view = nullptr;
};

} // namespace vorlix
