#include "app/settings/GeneralSettingsViewController.h"

#include "app/settings/SettingsPage.h"
#include "app/settings/SettingsRow.h"
#include "app/settings/SettingsSection.h"
#include "app/settings/SettingsServices.h"
#include "app/support/AppConfig.h"
#include "app/support/Settings.h"
#include "app/support/SystemFont.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

QCheckBox* makeSwitch(QWidget* owner)
{
    auto* box = new QCheckBox(owner);
    box->setFont(systemFont(11));
    return box;
}

QPushButton* smallPushButton(const QString& title, QWidget* owner)
{
    auto* button = new QPushButton(title, owner);
    button->setFont(systemFont(11));
    return button;
}

} // namespace

GeneralSettingsViewController::GeneralSettingsViewController(SettingsWindowController& window)
    : SettingsTabController(window),
      m_afterCapture(new QComboBox(this)),
      m_freeze(makeSwitch(this)),
      m_loupe(makeSwitch(this)),
      m_delay(new NumberStepper(1, 60, u"s"_s, this)),
      m_idle(new NumberStepper(0, 600, u"s"_s, this)),
      m_labels(makeSwitch(this)),
      m_askToSave(makeSwitch(this)),
      m_updates(makeSwitch(this)),
      m_updateStatus(settingsLabel({}, 11)),
      m_checkNow(smallPushButton(u"Controlla ora"_s, this)),
      m_resetToolStyles(smallPushButton(u"Ripristina"_s, this)),
      m_resetPalette(smallPushButton(u"Ripristina"_s, this))
{
    m_afterCapture->setFont(systemFont(11));
    m_afterCapture->addItems({u"Apri l'editor"_s, u"Anteprima rapida"_s});
    connect(m_afterCapture, &QComboBox::activated, this, &GeneralSettingsViewController::afterCaptureChanged);
    for (QCheckBox* box : {m_freeze, m_loupe, m_labels, m_askToSave, m_updates})
        connect(box, &QCheckBox::clicked, this, [this, box] { switchChanged(box); });
    m_updateStatus->setParent(this);
    QPalette grey = m_updateStatus->palette();
    grey.setColor(QPalette::WindowText, secondaryLabelColor(*m_updateStatus));
    m_updateStatus->setPalette(grey);
    m_delay->onChange = [this](int value) {
        settings().set(setting::captureDelay, std::clamp(value, 1, 60));
        if (services().historyChanged)
            services().historyChanged();
    };
    m_idle->onChange = [this](int value) { settings().set(setting::toolIdleSeconds, std::clamp(value, 0, 600)); };
    connect(m_resetToolStyles, &QPushButton::clicked, this, &GeneralSettingsViewController::resetToolStyles);
    connect(m_resetPalette, &QPushButton::clicked, this, &GeneralSettingsViewController::resetPalette);
    connect(m_checkNow, &QPushButton::clicked, this, &GeneralSettingsViewController::checkUpdatesNow);
    // The checker's status, whenever it changes (the page lives as long as the program).
    connect(&settings().notifications(), &NotificationCenter::posted, this, [this](const QString& name) {
        if (!services().updateStatusDidChange.isEmpty() && name == services().updateStatusDidChange)
            updateStatusChanged();
    });
}

QWidget* GeneralSettingsViewController::loadView()
{
    const QString name = AppConfig::name();
    auto* statusLine = new QWidget;
    auto* status = new QHBoxLayout(statusLine);
    status->setContentsMargins(0, 0, 0, 0);
    status->setSpacing(10);
    status->addWidget(m_updateStatus);
    status->addWidget(m_checkNow);

    using Row = SettingsRow;
    auto* capture = new SettingsSection(
        u"Cattura"_s,
        {
            new Row(u"Dopo uno scatto"_s, u"L'editor per annotare, o una miniatura in un angolo"_s, m_afterCapture),
            new Row(u"Congela lo schermo"_s, u"Mentre scegli l'area lo schermo resta fermo"_s, m_freeze),
            new Row(u"Lente d'ingrandimento"_s,
                    u"Con il mirino, accanto al cursore (serve lo schermo congelato). Durante la scelta il tasto L "
                    u"la mostra o la nasconde"_s,
                    m_loupe),
            new Row(u"Cattura ritardata"_s, u"Attesa prima dello scatto, per aprire menu e descrizioni"_s, m_delay),
        });
    auto* editor = new SettingsSection(
        u"Editor"_s,
        {
            new Row(u"Torna allo strumento «Mano» dopo"_s,
                    u"Secondi senza usare la tela; 0 = mai. Anche Esc torna alla Mano"_s, m_idle),
            new Row(u"Nomi sotto le icone"_s, u"Nella barra degli strumenti"_s, m_labels),
            new Row(u"Chiedi di salvare il progetto"_s,
                    u"Alla chiusura, se hai fatto modifiche. Lo scatto resta comunque nella cartella degli scatti"_s,
                    m_askToSave),
            new Row(u"Stili degli strumenti"_s,
                    u"Colore, spessore e opzioni di tutti gli strumenti tornano a quelli iniziali (rosso; giallo per "
                    u"l'evidenziatore). I preset restano"_s,
                    m_resetToolStyles),
        });
    auto* palette = new SettingsSection(
        u"Palette"_s, {
                          new Row(u"Colori predefiniti"_s, u"Quelli iniziali di "_s + name, m_resetPalette),
                      });
    auto* updates = new SettingsSection(
        u"Aggiornamenti"_s,
        {
            new Row(u"Controlla gli aggiornamenti"_s,
                    u"Una volta al giorno, sul sito di "_s + name +
                        u". Non invia dati e non installa nulla: avvisa nei menu, sotto Informazioni"_s,
                    m_updates),
            new Row(u"Stato"_s, std::nullopt, statusLine),
        });
    return new SettingsPage({capture, editor, palette, updates});
}

void GeneralSettingsViewController::reload()
{
    Settings& stored = settings();
    m_afterCapture->setCurrentIndex(stored.get(setting::afterCapture) == AfterCapture::quickPreview ? 1 : 0);
    const bool freezes = stored.get(setting::freezeScreen);
    m_freeze->setChecked(freezes);
    m_loupe->setChecked(stored.get(setting::showsLoupe));
    m_loupe->setEnabled(freezes);
    m_delay->setValue(stored.get(setting::captureDelay));
    m_idle->setValue(stored.get(setting::toolIdleSeconds));
    m_labels->setChecked(stored.get(setting::toolbarShowsLabels));
    m_askToSave->setChecked(stored.get(setting::askToSaveOnClose));
    m_updates->setChecked(stored.get(setting::checksForUpdates));
    updateStatusChanged();
}

void GeneralSettingsViewController::afterCaptureChanged()
{
    settings().set(setting::afterCapture,
                   m_afterCapture->currentIndex() == 0 ? AfterCapture::openEditor : AfterCapture::quickPreview);
}

void GeneralSettingsViewController::switchChanged(QCheckBox* sender)
{
    const bool on = sender->isChecked();
    Settings& stored = settings();
    if (sender == m_freeze) {
        stored.set(setting::freezeScreen, on);
        m_loupe->setEnabled(on);
    } else if (sender == m_loupe) {
        stored.set(setting::showsLoupe, on);
    } else if (sender == m_labels) {
        stored.set(setting::toolbarShowsLabels, on);
    } else if (sender == m_askToSave) {
        stored.set(setting::askToSaveOnClose, on);
    } else if (sender == m_updates) {
        stored.set(setting::checksForUpdates, on);
        if (stored.get(setting::checksForUpdates) && services().checkForUpdates)
            services().checkForUpdates();
        if (!services().updateStatusDidChange.isEmpty())
            stored.notifications().post(services().updateStatusDidChange);
    }
}

void GeneralSettingsViewController::resetToolStyles() { settings().resetToolStyles(); }

void GeneralSettingsViewController::resetPalette() { settings().set(setting::palette, Palette::standard()); }

void GeneralSettingsViewController::checkUpdatesNow()
{
    if (services().checkForUpdates)
        services().checkForUpdates();
}

void GeneralSettingsViewController::updateStatusChanged()
{
    const UpdateStatus status = services().updateStatus ? services().updateStatus() : UpdateStatus::notVerified();
    QString text = status.title();
    if (const UpdateInfo* update = status.availableUpdate())
        text += u" (versione "_s + update->version + u")"_s;
    m_updateStatus->setText(text);
    m_checkNow->setEnabled(!std::holds_alternative<UpdateStatus::Disabled>(status.state));
}

} // namespace vorlix
