#include "app/editor/window/ImageExportPanel.h"

#include "app/editor/document/ProjectDocument.h"
#include "app/support/Alerts.h"
#include "app/support/Beeper.h"
#include "app/support/Files.h"
#include "app/support/Settings.h"
#include "core/formats/ImageStore.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QSlider>
#include <QThreadPool>

#include <memory>

namespace vorlix {

using namespace Qt::StringLiterals;

namespace {

constexpr int controlWidth = 232;

constexpr std::array sizes{ExportSize::original, ExportSize::normal, ExportSize::maxWidth1200, ExportSize::maxWidth800};
constexpr std::array backgrounds{ExportBackground::document, ExportBackground::transparent, ExportBackground::white};

QComboBox* comboBox(const QStringList& items)
{
    auto* box = new QComboBox;
    box->addItems(items);
    box->setFixedWidth(controlWidth);
    return box;
}

QString withSuffix(const QString& path, const QString& suffix)
{
    const QString ending = QFileInfo(path).suffix().toLower();
    const bool jpegEnding = ending == u"jpg"_s || ending == u"jpeg"_s;
    if (suffix == u"png"_s ? ending == u"png"_s : jpegEnding)
        return path;
    return path + u'.' + suffix;
}

} // namespace

ImageExportPanel::ImageExportPanel(const ProjectDocument& document, Settings& settings, QWidget* parent)
    : QFileDialog(parent)
{
    // The choices live in the dialog's own layout, which only Qt's own dialog has.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setWindowTitle(u"Esporta"_s);
    setLabelText(QFileDialog::FileName, u"Esporta come:"_s);
    setLabelText(QFileDialog::Accept, u"Esporta"_s);

    m_format = comboBox({u"PNG"_s, u"JPEG"_s});
    m_size = comboBox(sizeTitles(document.model()));
    QStringList backgroundTitles;
    for (ExportBackground background : backgrounds)
        backgroundTitles << title(background);
    m_background = comboBox(backgroundTitles);

    const auto stored = std::find(sizes.begin(), sizes.end(), settings.get(setting::exportSize));
    m_size->setCurrentIndex(stored == sizes.end() ? 0 : int(stored - sizes.begin()));

    m_quality = new QSlider(Qt::Horizontal);
    m_quality->setRange(minimumQuality, maximumQuality);
    m_quality->setValue(defaultQuality);
    m_qualityValue = new QLabel;
    QFont digits = m_qualityValue->font();
    digits.setStyleHint(QFont::Monospace);
    digits.setFamilies({u"DejaVu Sans Mono"_s, u"Liberation Mono"_s, u"monospace"_s});
    m_qualityValue->setFont(digits);
    m_qualityValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_qualityValue->setFixedWidth(40);
    auto* qualityRow = new QWidget;
    qualityRow->setFixedWidth(controlWidth);
    auto* qualityLayout = new QHBoxLayout(qualityRow);
    qualityLayout->setContentsMargins(0, 0, 0, 0);
    qualityLayout->setSpacing(6);
    qualityLayout->addWidget(m_quality, 1);
    qualityLayout->addWidget(m_qualityValue);
    m_qualityLabel = new QLabel(u"Qualità JPEG:"_s);

    auto* accessory = new QWidget;
    auto* grid = new QGridLayout(accessory);
    grid->setContentsMargins(16, 12, 0, 12);
    grid->setVerticalSpacing(10);
    grid->setHorizontalSpacing(8);
    const std::array<std::pair<QLabel*, QWidget*>, 4> rows{{{new QLabel(u"Formato:"_s), m_format},
                                                            {new QLabel(u"Dimensione:"_s), m_size},
                                                            {new QLabel(u"Sfondo:"_s), m_background},
                                                            {m_qualityLabel, qualityRow}}};
    for (int row = 0; row < int(rows.size()); ++row) {
        rows[row].first->setBuddy(rows[row].second == qualityRow ? m_quality : rows[row].second);
        grid->addWidget(rows[row].first, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(rows[row].second, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (auto* dialogLayout = qobject_cast<QGridLayout*>(layout()))
        dialogLayout->addWidget(accessory, dialogLayout->rowCount(), 0, 1, -1, Qt::AlignHCenter);

    setDirectory(Files::startFolder());
    selectFile(document.imageName());
    connect(m_format, &QComboBox::currentIndexChanged, this, [this] { formatChanged(); });
    connect(m_quality, &QSlider::valueChanged, this, [this] { qualityChanged(); });
    formatChanged();
    qualityChanged();
}

QStringList ImageExportPanel::sizeTitles(const DocumentModel& model)
{
    QStringList titles;
    for (ExportSize size : sizes) {
        const Exporter::PixelSize pixels = pixelSize(size, model);
        titles << u"%1 — %2 × %3"_s.arg(title(size)).arg(pixels.width).arg(pixels.height);
    }
    return titles;
}

void ImageExportPanel::showSizes(const DocumentModel& model)
{
    const QStringList titles = sizeTitles(model);
    for (int index = 0; index < titles.size(); ++index)
        m_size->setItemText(index, titles[index]);
}

bool ImageExportPanel::jpegChosen() const { return m_format->currentIndex() == 1; }

void ImageExportPanel::formatChanged()
{
    const bool jpeg = jpegChosen();
    const QString name = QFileInfo(selectedFiles().value(0)).completeBaseName();
    setNameFilter(jpeg ? u"Immagine JPEG (*.jpg *.jpeg)"_s : u"Immagine PNG (*.png)"_s);
    setDefaultSuffix(jpeg ? u"jpg"_s : u"png"_s);
    if (!name.isEmpty())
        selectFile(name + (jpeg ? u".jpg"_s : u".png"_s));
    m_quality->setEnabled(jpeg);
    m_qualityValue->setEnabled(jpeg);
    m_qualityLabel->setEnabled(jpeg);
}

void ImageExportPanel::qualityChanged() { m_qualityValue->setText(u"%1%"_s.arg(m_quality->value())); }

ExportSize ImageExportPanel::chosenSize() const { return sizes[std::max(0, m_size->currentIndex())]; }

ExportOptions ImageExportPanel::chosenOptions() const
{
    ExportOptions options;
    options.resolution = resolution(chosenSize());
    options.color = ExportOptions::ColorHandling::sRGB;
    if (jpegChosen())
        options.format = ExportOptions::Jpeg{m_quality->value() / 100.0};
    else
        options.format = ExportOptions::Png{};
    options.background = canvasBackground(backgrounds[std::max(0, m_background->currentIndex())]);
    return options;
}

ImageExportOutcome ImageExportPanel::exportNow(const DocumentModel& model, const ImageProviding& images,
                                               const ExportOptions& options, const QString& path)
{
    const std::optional<QByteArray> data = Exporter::exportImage(model, images, options);
    if (!data)
        return {ImageExportOutcome::Kind::noData, path, {}};
    if (const std::optional<QString> error = Files::writeAtomically(path, *data))
        return {ImageExportOutcome::Kind::writeFailed, path, *error};
    return {ImageExportOutcome::Kind::written, path, {}};
}

void ImageExportPanel::exportInBackground(const DocumentModel& model, const ImageStore& images,
                                          const ExportOptions& options, const QString& path, QObject* context,
                                          std::function<void(const ImageExportOutcome&)> done)
{
    // Copies, so that the window may close or the document change while the worker runs.
    auto store = std::make_shared<const ImageStore>(images);
    QPointer<QObject> guard(context);
    QThreadPool::globalInstance()->start([model, store, options, path, guard, done = std::move(done)] {
        const ImageExportOutcome outcome = exportNow(model, *store, options, path);
        if (!guard)
            return;
        QMetaObject::invokeMethod(
            guard.data(),
            [guard, outcome, done] {
                if (guard && done)
                    done(outcome);
            },
            Qt::QueuedConnection);
    });
}

ImageExportPanel* ImageExportPanel::open(const ProjectDocument& document, Settings& settings, QWidget* window,
                                         Finished finished)
{
    auto* panel = new ImageExportPanel(document, settings, window);
    QPointer<QWidget> owner(window);
    QObject::connect(panel, &QDialog::finished, panel, [panel, &document, &settings, owner, finished](int result) {
        const QStringList chosen = panel->selectedFiles();
        if (result != QDialog::Accepted || chosen.isEmpty() || chosen.first().isEmpty())
            return;
        const ExportSize size = panel->chosenSize();
        settings.set(setting::exportSize, size);
        const QString path = withSuffix(chosen.first(), panel->jpegChosen() ? u"jpg"_s : u"png"_s);
        // The dialog deletes itself once closed, so it cannot wait for the worker.
        QObject* context = owner ? static_cast<QObject*>(owner.data()) : QCoreApplication::instance();
        exportInBackground(document.model(), document.images(), panel->chosenOptions(), path, context,
                           [owner, finished](const ImageExportOutcome& outcome) {
                               switch (outcome.kind) {
                               case ImageExportOutcome::Kind::written:
                                   break;
                               case ImageExportOutcome::Kind::noData:
                                   Beeper::beep();
                                   break;
                               case ImageExportOutcome::Kind::writeFailed:
                                   Files::showWriteError(outcome.path, outcome.error, owner);
                                   break;
                               }
                               if (finished)
                                   finished(outcome);
                           });
    });
    Alerts::openModal(panel, window);
    return panel;
}

} // namespace vorlix
