#include "app/settings/FolderChooser.h"

#include "app/support/Alerts.h"
#include "app/support/SystemFont.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace vorlix {

FolderChooser::FolderChooser(Actions actions, QString message, const QString& defaultTip, QObject* parent)
    : QObject(parent),
      m_actions(std::move(actions)),
      m_message(std::move(message)),
      m_pathControl(new QLineEdit),
      m_buttons(new QWidget)
{
    m_pathControl->setReadOnly(true);
    m_pathControl->setFrame(false);
    m_pathControl->setFixedWidth(pathWidth);
    m_pathControl->setFocusPolicy(Qt::NoFocus);
    QPalette clear = m_pathControl->palette();
    clear.setColor(QPalette::Base, Qt::transparent);
    m_pathControl->setPalette(clear);

    auto* row = new QHBoxLayout(m_buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    const auto add = [row](const QString& title, const QString& tip) {
        auto* button = new QPushButton(title);
        button->setFont(systemFont(11));
        button->setToolTip(tip);
        row->addWidget(button);
        return button;
    };
    connect(add(u"Scegli…"_s, {}), &QPushButton::clicked, this, &FolderChooser::chooseFolder);
    connect(add(u"Apri cartella"_s, {}), &QPushButton::clicked, this, &FolderChooser::showFolder);
    connect(add(u"Predefinita"_s, defaultTip), &QPushButton::clicked, this, &FolderChooser::resetFolder);
}

// The views belong to the rows that hold them; unplaced ones go with the chooser.
FolderChooser::~FolderChooser()
{
    if (m_pathControl && !m_pathControl->parent())
        delete m_pathControl;
    if (m_buttons && !m_buttons->parent())
        delete m_buttons;
}

QString FolderChooser::shownFolder() const { return m_pathControl->toolTip(); }

void FolderChooser::reload()
{
    const QString folder = QDir::toNativeSeparators(m_actions.current());
    m_pathControl->setText(folder);
    m_pathControl->setToolTip(folder);
    m_pathControl->setCursorPosition(0);
}

void FolderChooser::chooseFolder()
{
    QWidget* window = m_pathControl->window();
    if (!window || !window->isVisible())
        return;
    auto* dialog = new QFileDialog(window, m_message, QFileInfo(m_actions.current()).absolutePath());
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setLabelText(QFileDialog::Accept, u"Scegli"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<FolderChooser> self(this);
    connect(dialog, &QFileDialog::fileSelected, this, [self](const QString& folder) {
        if (self && !folder.isEmpty())
            self->set(folder);
    });
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
}

void FolderChooser::set(const std::optional<QString>& folder)
{
    if (!m_actions.change(folder)) {
        auto* box = new QMessageBox(QMessageBox::Warning, u"Impossibile usare questa cartella"_s,
                                    u"Impossibile usare questa cartella"_s);
        box->setInformativeText(
            u"La cartella scelta non esiste o non è raggiungibile. Resta in uso quella di prima."_s);
        box->addButton(u"OK"_s, QMessageBox::AcceptRole);
        Alerts::present(box, m_pathControl->isVisible() ? m_pathControl->window() : nullptr, {});
    }
    reload();
}

void FolderChooser::resetFolder() { set(std::nullopt); }

void FolderChooser::showFolder()
{
    if (m_actions.show)
        m_actions.show();
    reload();
}

} // namespace vorlix
