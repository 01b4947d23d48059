#include "app/settings/ShotsSettingsViewController.h"

#include "app/settings/CaptureSizeTags.h"
#include "app/settings/FolderChooser.h"
#include "app/settings/SettingsPage.h"
#include "app/settings/SettingsRow.h"
#include "app/settings/SettingsSection.h"
#include "app/settings/SettingsServices.h"
#include "app/settings/TemplateEditor.h"
#include "app/support/Alerts.h"
#include "app/support/AppConfig.h"
#include "app/support/Settings.h"
#include "app/support/SystemFont.h"

#include "core/formats/HistoryStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimeZone>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr auto timestampFormats = [] {
    std::array<TimestampFormat, EnumTexts<TimestampFormat>::table.size()> all{};
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = EnumTexts<TimestampFormat>::table[i].first;
    return all;
}();

} // namespace

ShotsSettingsViewController::ShotsSettingsViewController(SettingsWindowController& window)
    : SettingsTabController(window),
      m_projectName(new TemplateEditor(
          FilenameTemplate::standard(), [this] { return settings().get(setting::filenameTemplate); },
          [this](const FilenameTemplate& name) { settings().set(setting::filenameTemplate, name); }, this)),
      m_imageName(new TemplateEditor(
          FilenameTemplate::imageStandard(), [this] { return settings().get(setting::imageFilenameTemplate); },
          [this](const FilenameTemplate& name) { settings().set(setting::imageFilenameTemplate, name); }, this)),
      m_historyEnabled(new QCheckBox(this)),
      m_days(new NumberStepper(1, 365, u"giorni"_s, this)),
      m_timestampEnabled(new QCheckBox(this)),
      m_timestampFormat(new QComboBox(this))
{
    connect(m_historyEnabled, &QCheckBox::clicked, this, &ShotsSettingsViewController::historyChanged);
    connect(m_timestampEnabled, &QCheckBox::clicked, this, &ShotsSettingsViewController::timestampChanged);
    connect(m_timestampFormat, &QComboBox::activated, this, &ShotsSettingsViewController::timestampChanged);
    m_timestampFormat->setFont(systemFont(11));
}

ShotsSettingsViewController::~ShotsSettingsViewController() = default;

QString ShotsSettingsViewController::projectsFolderPath() const
{
    const BookmarkedFolder::Resolution projects = settings().projectsBookmark().resolve();
    if (projects.kind == BookmarkedFolder::Resolution::Kind::usable)
        return projects.path;
    return QDir(AppConfig::userDocumentsDirectory()).filePath(AppConfig::name());
}

void ShotsSettingsViewController::showProjectsFolder()
{
    SettingsServices& shell = services();
    const BookmarkedFolder::Resolution projects = settings().projectsBookmark().resolve();
    if (projects.kind == BookmarkedFolder::Resolution::Kind::usable) {
        if (shell.openFolder)
            shell.openFolder(projects.path);
        return;
    }
    if (!shell.createProjectsFolder)
        return;
    QPointer<ShotsSettingsViewController> self(this);
    shell.createProjectsFolder(window(), [self](std::optional<QString> folder) {
        if (!self)
            return;
        if (folder && self->services().openFolder)
            self->services().openFolder(*folder);
        self->m_projectsFolder->reload();
    });
}

QWidget* ShotsSettingsViewController::loadView()
{
    const QString name = AppConfig::name();
    m_projectsFolder = new FolderChooser(
        {
            .current = [this] { return projectsFolderPath(); },
            .change =
                [this](const std::optional<QString>& folder) { return settings().projectsBookmark().set(folder); },
            .show = [this] { showProjectsFolder(); },
        },
        u"Scegli la cartella in cui salvare i progetti"_s, u"Torna a Documenti/"_s + name, this);
    m_shotsFolder = new FolderChooser(
        {
            .current = [this] { return services().history ? services().history().directory() : QString(); },
            .change =
                [this](const std::optional<QString>& folder) {
                    return services().setHistoryFolder && services().setHistoryFolder(folder);
                },
            .show =
                [this] {
                    if (services().showHistoryFolder)
                        services().showHistoryFolder();
                },
        },
        u"Scegli la cartella in cui salvare gli scatti"_s, u"Torna a Download/"_s + name, this);
    m_days->onChange = [this](int days) { settings().set(setting::historyRetentionDays, days); };
    m_clear = new QPushButton(u"Svuota…"_s);
    m_clear->setFont(systemFont(11));
    connect(m_clear, &QPushButton::clicked, this, &ShotsSettingsViewController::clearHistory);

    const QDateTime now = QDateTime::currentDateTime();
    for (TimestampFormat format : timestampFormats)
        m_timestampFormat->addItem(timestampString(format, now, QLocale(), QTimeZone::systemTimeZone()));

    m_sizeTags = new CaptureSizeTags(settings(), services());

    using Row = SettingsRow;
    auto* project = new SettingsSection(
        u"Impostazioni progetto"_s,
        {
            new Row(u"Nome del file"_s, u"Nome proposto quando salvi un progetto"_s, m_projectName),
            new Row(u"Cartella dove salvare"_s,
                    u"Dove si apre la finestra di salvataggio. Quella predefinita si crea al primo salvataggio"_s,
                    m_projectsFolder->pathControl()),
            new Row(QString(), std::nullopt, m_projectsFolder->buttons()),
        });
    auto* shots = new SettingsSection(
        u"Impostazioni screenshot"_s,
        {
            new Row(u"Nome del file"_s, u"Nome proposto quando esporti un'immagine"_s, m_imageName),
            new Row(u"Data e ora sullo scatto"_s,
                    u"Mette sull'immagine una scritta con data e ora dello scatto: puoi spostarla, cambiarla o "
                    u"cancellarla"_s,
                    m_timestampEnabled),
            new Row(u"Formato della data e ora"_s,
                    u"Segue le convenzioni della lingua impostata nel computer, tranne l'ultimo"_s, m_timestampFormat),
            new Row(u"Misure fisse preferite"_s, u"Compaiono nel menu «Cattura area di misura fissa»"_s, m_sizeTags),
            new Row(u"Cartella dove salvare"_s, u"Ogni scatto è un PNG con data e ora nel nome"_s,
                    m_shotsFolder->pathControl()),
            new Row(QString(), std::nullopt, m_shotsFolder->buttons()),
            new Row(u"Cronologia: salva ogni scatto"_s, u"Gli ultimi compaiono nel menu dell'icona"_s,
                    m_historyEnabled),
            new Row(u"Cancella gli scatti dopo"_s,
                    u"Pulizia all'avvio, all'uscita e una volta al giorno. I progetti salvati non si toccano"_s,
                    m_days),
            new Row(u"Svuota la cronologia"_s, u"Cancella subito tutti gli scatti di "_s + name, m_clear),
        },
        {6}, u"Nei nomi: {data}, {ora} e {app} (l'app da cui viene lo scatto)."_s);

    // The window's height follows the lines of size tags.
    connect(&settings().notifications(), &NotificationCenter::posted, this, [this](const QString& notification) {
        if (notification == Settings::captureSizesDidChange)
            refit();
    });
    return new SettingsPage({project, shots});
}

void ShotsSettingsViewController::reload()
{
    Settings& stored = settings();
    m_projectName->reload();
    m_imageName->reload();
    m_projectsFolder->reload();
    m_shotsFolder->reload();
    m_historyEnabled->setChecked(stored.get(setting::historyEnabled));
    m_days->setValue(stored.get(setting::historyRetentionDays));
    const bool stamps = stored.get(setting::timestampOnShots);
    m_timestampEnabled->setChecked(stamps);
    const auto shown = std::ranges::find(timestampFormats, stored.get(setting::timestampFormat));
    m_timestampFormat->setCurrentIndex(shown == timestampFormats.end() ? 0 : int(shown - timestampFormats.begin()));
    m_timestampFormat->setEnabled(stamps);
}

void ShotsSettingsViewController::timestampChanged()
{
    Settings& stored = settings();
    const bool on = m_timestampEnabled->isChecked();
    stored.set(setting::timestampOnShots, on);
    stored.set(setting::timestampFormat, timestampFormats[std::size_t(std::max(m_timestampFormat->currentIndex(), 0))]);
    m_timestampFormat->setEnabled(on);
}

void ShotsSettingsViewController::historyChanged()
{
    settings().set(setting::historyEnabled, m_historyEnabled->isChecked());
    if (services().historyChanged)
        services().historyChanged();
}

void ShotsSettingsViewController::clearHistory()
{
    const QString name = AppConfig::name();
    auto* box = new QMessageBox(QMessageBox::Warning, u"Svuotare la cronologia?"_s, u"Svuotare la cronologia?"_s);
    box->setInformativeText(u"Tutti gli scatti di "_s + name +
                            u" nella cartella degli scatti verranno cancellati. Gli altri file della cartella e i "
                            u"progetti salvati non vengono toccati. L'operazione non si può annullare."_s);
    box->addButton(u"Svuota"_s, QMessageBox::DestructiveRole);
    box->addButton(u"Annulla"_s, QMessageBox::RejectRole);
    QPointer<ShotsSettingsViewController> self(this);
    Alerts::present(box, isVisible() ? window() : nullptr, [self](int button) {
        if (!self || button != 0 || !self->services().history)
            return;
        try {
            self->services().history().deleteAll();
        } catch (const HistoryError& error) {
            auto* failed = new QMessageBox(QMessageBox::Warning, u"Svuota la cronologia"_s, error.message());
            failed->addButton(u"OK"_s, QMessageBox::AcceptRole);
            Alerts::present(failed, self->isVisible() ? self->window() : nullptr, {});
            return;
        }
        if (self->services().historyChanged)
            self->services().historyChanged();
    });
}

} // namespace vorlix
