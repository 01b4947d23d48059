#include "app/shell/panels/CaptureSizePanel.h"

#include "app/shell/panels/CaptureSizeCheck.h"
#include "app/support/Alerts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace vorlix::CaptureSizePanel {

std::optional<QString> problem(const CaptureSize& size) { return CaptureSizeCheck::ofConnectedScreens().problem(size); }

QDialog* present(std::unique_ptr<CaptureSizeForm> form, const std::optional<QString>& problem, QWidget* window,
                 Completion completion)
{
    const bool forCapture = form->isForCapture();
    const QString message = forCapture ? u"Cattura area di misura fissa"_s : u"Nuova misura fissa"_s;

    auto* dialog = new QDialog;
    dialog->setWindowTitle(message);
    auto* layout = new QVBoxLayout(dialog);
    auto* title = new QLabel(message);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);

    CaptureSizeForm* fields = form.release();
    fields->showProblem(problem);
    layout->addWidget(fields);

    auto* buttons = new QDialogButtonBox;
    QPushButton* confirm = buttons->addButton(forCapture ? u"Cattura"_s : u"Aggiungi"_s, QDialogButtonBox::AcceptRole);
    buttons->addButton(u"Annulla"_s, QDialogButtonBox::RejectRole);
    confirm->setDefault(true);
    layout->addWidget(buttons);

    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog, fields, forCapture, completion] {
        const CaptureSize size = fields->enteredSize();
        if (const std::optional<QString> refused = CaptureSizePanel::problem(size)) {
            fields->showProblem(refused);
            fields->widthField()->setFocus();
            return;
        }
        const bool addToFavorites = forCapture ? fields->favoriteRequested() : true;
        dialog->accept();
        if (completion)
            completion(size, addToFavorites);
    });

    Alerts::openModal(dialog, window);
    fields->widthField()->setFocus();
    fields->widthField()->selectAll();
    return dialog;
}

QDialog* askForCapture(const CaptureSize& size, Completion completion)
{
    return present(std::make_unique<CaptureSizeForm>(size, false, true), std::nullopt, nullptr, std::move(completion));
}

} // namespace vorlix::CaptureSizePanel
