#include "app/support/Alerts.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlix::Alerts {

using namespace Qt::StringLiterals;

namespace {

// QMessageBox::buttons() lists the buttons grouped by role, not in the order they were
// added. Each added button becomes the newest child of the box's button box, so the
// children of that box give the order of adding.
QList<QAbstractButton*> buttonsInOrderAdded(const QMessageBox& box)
{
    const QList<QAbstractButton*> buttons = box.buttons();
    const auto* buttonBox = box.findChild<QDialogButtonBox*>();
    if (!buttonBox)
        return buttons;
    QList<QAbstractButton*> ordered;
    for (QObject* child : buttonBox->children())
        if (auto* button = qobject_cast<QAbstractButton*>(child); button && buttons.contains(button))
            ordered << button;
    return ordered.size() == buttons.size() ? ordered : buttons;
}

// Points of the interface are logical pixels.
QFont fontOfSize(const QFont& base, double points)
{
    QFont font = base;
    font.setPixelSize(std::max(1, qRound(points)));
    return font;
}

} // namespace

void openModal(QDialog* dialog, QWidget* window)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (window) {
        QWidget* topLevel = window->window();
        dialog->setParent(topLevel, dialog->windowFlags());
        topLevel->raise();
        topLevel->activateWindow();
        dialog->open();
        return;
    }
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void present(QMessageBox* box, QWidget* window, ButtonCompletion completion)
{
    const QList<QAbstractButton*> order = buttonsInOrderAdded(*box);
    QObject::connect(box, &QDialog::finished, box, [box, order, completion = std::move(completion)] {
        if (completion)
            completion(static_cast<int>(order.indexOf(box->clickedButton())));
    });
    openModal(box, window);
}

void askText(const QString& title, const QString& message, const QString& initial, const QString& confirm,
             double fontSize, double width, QWidget* window, TextCompletion completion)
{
    auto* dialog = new QDialog;
    dialog->setWindowTitle(title);
    auto* layout = new QVBoxLayout(dialog);

    auto* titleLabel = new QLabel(title);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    titleLabel->setWordWrap(true);
    layout->addWidget(titleLabel);
    if (!message.isEmpty()) {
        auto* messageLabel = new QLabel(message);
        messageLabel->setWordWrap(true);
        layout->addWidget(messageLabel);
    }

    auto* field = new QLineEdit(initial);
    field->setFont(fontOfSize(field->font(), fontSize));
    field->setFixedSize(qRound(width), 24);
    layout->addWidget(field);

    auto* buttons = new QDialogButtonBox;
    QPushButton* confirmButton = buttons->addButton(confirm, QDialogButtonBox::AcceptRole);
    buttons->addButton(u"Annulla"_s, QDialogButtonBox::RejectRole);
    confirmButton->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);

    QObject::connect(dialog, &QDialog::finished, dialog, [field, completion = std::move(completion)](int result) {
        const QString answer = field->text().trimmed();
        if (result == QDialog::Accepted && !answer.isEmpty())
            completion(answer);
        else
            completion(std::nullopt);
    });
    openModal(dialog, window);
    field->setFocus();
}

} // namespace vorlix::Alerts
