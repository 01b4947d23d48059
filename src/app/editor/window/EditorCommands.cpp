#include "app/editor/window/EditorCommands.h"

#include "app/editor/canvas/CanvasView.h"
#include "app/editor/document/ProjectDocument.h"
#include "app/editor/inspectors/PropertyColumn.h"
#include "app/editor/window/EditorWindow.h"
#include "app/editor/window/GuideExportDialog.h"
#include "app/editor/window/ShareMenu.h"
#include "app/support/Beeper.h"
#include "app/support/ImageDrag.h"
#include "app/support/Settings.h"
#include "core/document/PanelComposition.h"
#include "core/document/StepNumbers.h"
#include "core/imaging/Exporter.h"
#include "core/model/Tool.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <array>

namespace vorlix {

using namespace Qt::StringLiterals;

namespace {

constexpr std::array layoutModes{PanelLayout::Mode::vertical, PanelLayout::Mode::horizontal, PanelLayout::Mode::grid};

bool clipboardHoldsImage()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    if (data->hasImage())
        return true;
    const QStringList formats = data->formats();
    return std::any_of(formats.begin(), formats.end(), [](const QString& f) { return f.startsWith(u"image/"_s); });
}

std::optional<QByteArray> readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

EditorCommands::ShellHooks& EditorCommands::hooks()
{
    static ShellHooks shell;
    return shell;
}

std::span<const EditorCommands::Entry> EditorCommands::table()
{
    using C = EditorCommands;
    static const Entry entries[] = {
        {"selectTool", &C::selectTool, &C::toolState},
        {"toggleRulers", &C::toggleRulers, &C::rulersState},
        {"addImageFromFile", &C::addImageFromFile, &C::always},
        {"addRecentShot", &C::addRecentShot, &C::always},
        {"addNewCapture", &C::addNewCapture, &C::always},
        {"addWindowCapture", &C::addWindowCapture, &C::always},
        {"addFromClipboard", &C::addFromClipboard, &C::always},
        {"setLayoutMode", &C::setLayoutMode, &C::layoutModeState},
        {"setSpacing", &C::setSpacing, &C::spacingState},
        {"arrangePanels", &C::arrangePanels, &C::arrangeState},
        {"numberPanels", &C::numberPanels, &C::always},
        {"removePanelNumbers", &C::removePanelNumbers, &C::numbersState},
        {"rotateLeft", &C::rotateLeft, &C::always},
        {"rotateRight", &C::rotateRight, &C::always},
        {"flipHorizontally", &C::flipHorizontally, &C::always},
        {"flipVertically", &C::flipVertically, &C::always},
        {"showDocumentSettings", &C::showDocumentSettings, &C::always},
        {"exportGuide", &C::exportGuide, &C::always},
        {"pinImage", &C::pinImage, &C::always},
        {"shareImage", &C::shareImage, &C::always},
        {"copyImage", &C::copyImage, &C::always},
        {"exportImage", &C::exportImage, &C::always},
        {"zoomIn", &C::zoomIn, &C::always},
        {"zoomOut", &C::zoomOut, &C::always},
        {"zoomActualSize", &C::zoomActualSize, &C::always},
        {"zoomToFit", &C::zoomToFit, &C::always},
    };
    return entries;
}

const EditorCommands::Entry* EditorCommands::find(const QString& name)
{
    for (const Entry& entry : table())
        if (name == QLatin1StringView(entry.name))
            return &entry;
    return nullptr;
}

EditorCommands::EditorCommands(EditorWindow& window) : m_window(window) {}

bool EditorCommands::trigger(const QString& name, const CommandItem& item)
{
    const Entry* entry = find(name);
    if (!entry)
        return false;
    // A shortcut or a stale menu can still send a command that has nothing to act on.
    if (!(this->*entry->validate)(item).enabled) {
        Beeper::beep();
        return true;
    }
    (this->*entry->run)(item);
    return true;
}

MenuItemState EditorCommands::validate(const QString& name, const CommandItem& item) const
{
    const Entry* entry = find(name);
    return entry ? (this->*entry->validate)(item) : MenuItemState{};
}

// ---- The model commands ---------------------------------------------------------------------

void EditorCommands::perform(const QString& actionName, const DocumentEditor::Mutation& edit)
{
    CanvasView& canvas = m_window.canvas();
    DocumentEditor& editor = canvas.editor();
    canvas.commitTextEditing();
    // A wheel or style change keeps its own step; only a change of the document itself
    // takes the command in.
    if (canvas.state().isChangingStyle)
        canvas.endContinuousChange();
    const bool folding = editor.isInteracting() && (canvas.state().hasDrag() || canvas.state().isChangingDocument);
    if (folding) {
        // Updates replay on the document as the interaction found it: start from what the
        // drag has made so far, so that its work is kept under the command's name.
        const DocumentModel sofar = editor.model();
        editor.updateInteraction([&](DocumentModel& doc) {
            doc = sofar;
            edit(doc);
        });
        editor.endInteraction(actionName);
        // The gesture is over; its remaining pointer events have nothing left to move.
        canvas.cancelGesture();
    } else {
        editor.perform(actionName, edit);
    }
    canvas.updateFrameForCanvas();
}

void EditorCommands::setLayoutMode(const CommandItem& item)
{
    const PanelLayout::Mode mode = layoutModes[std::size_t(std::clamp(item.tag, 0, 2))];
    perform(u"Cambia disposizione"_s, [mode](DocumentModel& doc) {
        doc.layout.mode = mode;
        layoutAutomaticPanels(doc);
    });
    m_window.zoomToFit();
}

void EditorCommands::setSpacing(const CommandItem& item)
{
    const double spacing = double(item.tag);
    perform(u"Cambia distanza"_s, [spacing](DocumentModel& doc) {
        doc.layout.spacing = spacing;
        layoutAutomaticPanels(doc);
    });
}

void EditorCommands::arrangePanels(const CommandItem&)
{
    perform(u"Riordina automaticamente"_s, [](DocumentModel& doc) { vorlix::arrangePanels(doc); });
    m_window.zoomToFit();
}

void EditorCommands::numberPanels(const CommandItem&)
{
    const Style style = m_window.canvas().numberStyle();
    DocumentModel trial = m_window.canvas().editor().model();
    if (addStepNumbers(trial, style) == 0) {
        Beeper::beep(); // every panel already carries its number, or there is none
        return;
    }
    perform(u"Numera i passaggi"_s, [&style](DocumentModel& doc) { addStepNumbers(doc, style); });
}

void EditorCommands::removePanelNumbers(const CommandItem&)
{
    perform(u"Togli la numerazione"_s, [](DocumentModel& doc) { removeStepNumbers(doc); });
}

void EditorCommands::turnTarget(const QString& actionName,
                                const std::function<void(DocumentModel&, const QUuid&)>& turn)
{
    const std::optional<QUuid> target = m_window.canvas().targetPanelID();
    if (!target) {
        Beeper::beep();
        return;
    }
    perform(actionName, [&](DocumentModel& doc) { turn(doc, *target); });
}

void EditorCommands::rotateLeft(const CommandItem&)
{
    turnTarget(u"Ruota a sinistra"_s, [](DocumentModel& doc, const QUuid& id) { rotatePanel(doc, id, false); });
}

void EditorCommands::rotateRight(const CommandItem&)
{
    turnTarget(u"Ruota a destra"_s, [](DocumentModel& doc, const QUuid& id) { rotatePanel(doc, id, true); });
}

void EditorCommands::flipHorizontally(const CommandItem&)
{
    turnTarget(u"Capovolgi in orizzontale"_s, [](DocumentModel& doc, const QUuid& id) { flipPanel(doc, id, true); });
}

void EditorCommands::flipVertically(const CommandItem&)
{
    turnTarget(u"Capovolgi in verticale"_s, [](DocumentModel& doc, const QUuid& id) { flipPanel(doc, id, false); });
}

// ---- Tools, rulers, settings ---------------------------------------------------------------

void EditorCommands::selectTool(const CommandItem& item)
{
    if (item.object.typeId() != QMetaType::QString)
        return;
    if (const std::optional<Tool> tool = toolNamed(item.object.toString()))
        m_window.canvas().setTool(*tool);
}

void EditorCommands::toggleRulers(const CommandItem&)
{
    m_window.m_settings.set(setting::showRulers, !m_window.m_settings.get(setting::showRulers));
    m_window.updateRulers();
}

void EditorCommands::showDocumentSettings(const CommandItem&)
{
    m_window.canvas().showDocumentSettings();
    m_window.column().showOptions();
}

void EditorCommands::zoomIn(const CommandItem&) { m_window.zoomIn(); }
void EditorCommands::zoomOut(const CommandItem&) { m_window.zoomOut(); }
void EditorCommands::zoomActualSize(const CommandItem&) { m_window.zoomActualSize(); }
void EditorCommands::zoomToFit(const CommandItem&) { m_window.zoomToFit(); }

// ---- Adding pictures -----------------------------------------------------------------------

void EditorCommands::addImageFromFile(const CommandItem&)
{
    QPointer<EditorWindow> window(&m_window);
    const auto done = [window](const QStringList& paths) {
        if (window)
            window->commands().addFiles(paths);
    };
    if (hooks().chooseImageFiles) {
        hooks().chooseImageFiles(&m_window, done);
        return;
    }
    auto* dialog = new QFileDialog(&m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setMimeTypeFilters(hooks().openableImageTypes);
    dialog->setLabelText(QFileDialog::LookIn, u"Scegli le immagini da aggiungere al documento"_s);
    dialog->setWindowTitle(u"Scegli le immagini da aggiungere al documento"_s);
    QObject::connect(dialog, &QFileDialog::filesSelected, &m_window, done);
    dialog->open();
}

void EditorCommands::addFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        const std::optional<QByteArray> data = readFile(path);
        if (!data)
            continue; // unreadable files are skipped without a word
        m_window.document().addImage(*data, QFileInfo(path).suffix().toLower(), std::nullopt, u"Aggiungi immagine"_s);
    }
}

void EditorCommands::addRecentShot(const CommandItem& item)
{
    QString path;
    if (item.object.typeId() == QMetaType::QUrl && item.object.toUrl().isLocalFile())
        path = item.object.toUrl().toLocalFile();
    else if (item.object.typeId() == QMetaType::QString)
        path = item.object.toString();
    if (path.isEmpty())
        return;
    const std::optional<QByteArray> data = readFile(path);
    if (!data) {
        if (hooks().showShotMissing)
            hooks().showShotMissing();
        else
            Beeper::beep();
        return;
    }
    const std::optional<double> pixelsPerPoint =
        hooks().shotPixelsPerPoint ? hooks().shotPixelsPerPoint(path) : std::nullopt;
    m_window.document().addImage(*data, u"png"_s, pixelsPerPoint, u"Aggiungi scatto"_s);
}

void EditorCommands::addNewCapture(const CommandItem&)
{
    if (hooks().captureArea)
        hooks().captureArea(m_window.document());
}

void EditorCommands::addWindowCapture(const CommandItem&)
{
    if (hooks().captureWindows)
        hooks().captureWindows(m_window.document());
}

void EditorCommands::addFromClipboard(const CommandItem&)
{
    m_window.canvas().commitTextEditing();
    m_window.canvas().endContinuousChange();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !m_window.document().addImage(*data))
        Beeper::beep();
}

void EditorCommands::popUp(QMenu* menu, QWidget* anchor, QPoint at)
{
    if (m_lastMenu)
        m_lastMenu->deleteLater();
    m_lastMenu = menu;
    menu->popup(anchor->mapToGlobal(at));
}

void EditorCommands::showAddMenu(QWidget* anchor)
{
    if (!anchor)
        return;
    auto* menu = new QMenu(&m_window);
    QPointer<EditorWindow> window(&m_window);
    const auto add = [&](const QString& title, const char* command) {
        QAction* action = menu->addAction(title);
        QObject::connect(action, &QAction::triggered, &m_window, [window, command] {
            if (window)
                window->commands().trigger(QString::fromLatin1(command));
        });
        return action;
    };
    add(u"Nuovo scatto d'area…"_s, "addNewCapture");
    add(u"Scatto di una finestra…"_s, "addWindowCapture");
    menu->addSeparator();
    add(u"Immagine da file…"_s, "addImageFromFile");
    if (clipboardHoldsImage())
        add(u"Dagli appunti"_s, "addFromClipboard");
    else
        menu->addAction(u"Dagli appunti"_s)->setEnabled(false);
    QMenu* recent = menu->addMenu(u"Scatto recente"_s);
    if (hooks().fillRecentShots)
        hooks().fillRecentShots(*recent, [window](const QString& path) {
            if (window)
                window->commands().trigger(u"addRecentShot"_s, {.object = path});
        });
    popUp(menu, anchor, QPoint(0, anchor->rect().height() + 4));
}

// ---- The picture ---------------------------------------------------------------------------

void EditorCommands::copyImage(const CommandItem&)
{
    m_window.canvas().commitTextEditing();
    m_window.document().copyImageToPasteboard(&m_window);
}

void EditorCommands::exportImage(const CommandItem&) { m_window.exportImage(); }

void EditorCommands::exportGuide(const CommandItem&)
{
    m_window.canvas().commitTextEditing();
    GuideExportDialog::show(m_window.document(), &m_window);
}

void EditorCommands::pinImage(const CommandItem&)
{
    m_window.canvas().commitTextEditing();
    const DocumentModel& model = m_window.document().model();
    const ExportOptions options = ProjectDocument::pictureOptions();
    const std::optional<QImage> image = Exporter::renderImage(model, m_window.document().images(), options);
    if (!image || !hooks().pin) {
        Beeper::beep();
        return;
    }
    hooks().pin(*image, Exporter::pixelsPerPoint(model, options), m_window.document().displayName());
}

std::optional<std::pair<QByteArray, QString>> EditorCommands::annotatedImageFile()
{
    m_window.canvas().commitTextEditing();
    const std::optional<QByteArray> data = m_window.document().exportData(ProjectDocument::pictureOptions());
    if (!data)
        return std::nullopt;
    return std::pair{*data, m_window.document().imageName()};
}

void EditorCommands::shareImage(const CommandItem&) { share(nullptr); }

void EditorCommands::share(QWidget* anchor)
{
    // The picture is made only when an entry is chosen; an empty document has none to offer.
    if (m_window.document().model().panels.empty()) {
        Beeper::beep();
        return;
    }
    QPointer<EditorWindow> window(&m_window);
    ShareMenu::popUp(anchor ? anchor : m_window.centralWidget(),
                     [this, window]() -> std::optional<std::pair<QByteArray, QString>> {
                         if (!window)
                             return std::nullopt;
                         return annotatedImageFile();
                     });
}

// ---- Menu validation -----------------------------------------------------------------------

MenuItemState EditorCommands::toolState(const CommandItem& item) const
{
    if (item.object.typeId() != QMetaType::QString)
        return {};
    return {.checked = item.object.toString() == rawValue(m_window.canvas().tool())};
}

MenuItemState EditorCommands::rulersState(const CommandItem&) const
{
    return {.checked = m_window.m_settings.get(setting::showRulers)};
}

MenuItemState EditorCommands::layoutModeState(const CommandItem& item) const
{
    const auto found =
        std::find(layoutModes.begin(), layoutModes.end(), m_window.canvas().editor().model().layout.mode);
    return {.checked = item.tag == int(found - layoutModes.begin())};
}

MenuItemState EditorCommands::spacingState(const CommandItem& item) const
{
    return {.checked = m_window.canvas().editor().model().layout.spacing == double(item.tag)};
}

MenuItemState EditorCommands::arrangeState(const CommandItem&) const
{
    return {.enabled = m_window.canvas().editor().model().panels.size() > 1, .checked = std::nullopt};
}

MenuItemState EditorCommands::numbersState(const CommandItem&) const
{
    return {.enabled = hasNumbers(m_window.canvas().editor().model()), .checked = std::nullopt};
}

} // namespace vorlix
