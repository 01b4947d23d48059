#include "app/editor/window/EditorWindow.h"

#include "app/editor/canvas/CanvasView.h"
#include "app/editor/canvas/TextSessionEditor.h"
#include "app/editor/document/ProjectsFolder.h"
#include "app/editor/inspectors/PropertyBar.h"
#include "app/editor/inspectors/PropertyColumn.h"
#include "app/editor/inspectors/RadialColorMenu.h"
#include "app/editor/window/CanvasBadge.h"
#include "app/editor/window/EditorCommands.h"
#include "app/editor/window/EditorToolbar.h"
#include "app/editor/window/EditorWindowSizing.h"
#include "app/editor/window/ImageExportPanel.h"
#include "app/editor/window/PixelRuler.h"
#include "app/editor/window/ShareMenu.h"
#include "app/support/Settings.h"
#include "app/support/Termination.h"
#include "core/document/DocumentAnnotations.h"
#include "core/imaging/Exporter.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolBar>

#include <cmath>

namespace vorlix {

namespace {

// Pointer moves over the canvas, for the rulers' pointer marks.
class PointerWatcher final : public QObject {
public:
    std::function<void(std::optional<QPointF>)> moved;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove)
            moved(static_cast<QMouseEvent*>(event)->position());
        else if (event->type() == QEvent::Leave)
            moved(std::nullopt);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

EditorWindow::EditorWindow(std::unique_ptr<ProjectDocument> document, Settings& settings,
                           DocumentSaving::PathChooser choosePath)
    : m_document(std::move(document)),
      m_settings(settings),
      m_choosePath(choosePath ? std::move(choosePath) : ProjectsFolder::savePanel(this, settings))
{
    setMinimumSize(int(EditorWindowSizing::minimumWidth), int(EditorWindowSizing::minimumHeight));

    m_toolbar = new EditorToolbar(settings, this);
    QToolBar* bar = addToolBar(QStringLiteral("Strumenti"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    bar->addWidget(m_toolbar);

    auto* content = new QWidget(this);
    auto* grid = new QGridLayout(content);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    m_horizontalRuler = new PixelRuler(Qt::Horizontal, content);
    m_verticalRuler = new PixelRuler(Qt::Vertical, content);
    m_canvas = new CanvasView(m_document->editor(), m_document->images(), settings, content);
    m_canvas->setDocument(m_document.get());
    grid->addWidget(m_horizontalRuler, 0, 1);
    grid->addWidget(m_verticalRuler, 1, 0);
    grid->addWidget(m_canvas, 1, 1);
    m_propertyBar = new PropertyBar(*m_canvas, settings, content);
    m_column = new PropertyColumn(*m_canvas, m_propertyBar, settings, content);
    grid->addWidget(m_column, 0, 2, 2, 1);
    setCentralWidget(content);
    m_sizeBadge = new SizeBadge(content);
    m_unsavedBadge = new UnsavedBadge(content);

    auto* watcher = new PointerWatcher;
    watcher->setParent(this);
    watcher->moved = [this](std::optional<QPointF> position) {
        if (!position) {
            m_horizontalRuler->setPointer(std::nullopt);
            m_verticalRuler->setPointer(std::nullopt);
            return;
        }
        const Point point = m_canvas->toCanvas(*position);
        m_horizontalRuler->setPointer(point.x);
        m_verticalRuler->setPointer(point.y);
    };
    m_canvas->viewport()->setMouseTracking(true);
    m_canvas->viewport()->installEventFilter(watcher);

    m_commands = std::make_unique<EditorCommands>(*this);
    QPointer<EditorWindow> self(this);
    m_propertyBar->onCommand = [self](const QString& command) {
        if (self)
            self->m_commands->trigger(command);
    };
    m_toolbar->onSelectTool = [self](Tool tool) {
        if (self)
            self->m_canvas->setTool(tool);
    };
    m_toolbar->onCopy = [self] {
        if (!self)
            return;
        self->m_canvas->commitTextEditing();
        self->m_document->copyImageToPasteboard(self);
    };
    m_toolbar->onPin = [self] {
        if (self)
            self->m_commands->pinImage();
    };
    m_toolbar->onShare = [self](QWidget* anchor) {
        if (self)
            self->m_commands->share(anchor);
    };
    m_toolbar->onAdd = [self](QWidget* anchor) {
        if (self)
            self->m_commands->showAddMenu(anchor);
    };
    m_toolbar->onExport = [self] {
        if (self)
            self->exportImage();
    };
    m_toolbar->dragData = [self]() -> std::optional<std::pair<QByteArray, QString>> {
        return self ? self->m_commands->annotatedImageFile() : std::nullopt;
    };
    m_toolbar->onZoomTo = [self](std::optional<double> magnification) {
        if (!self)
            return;
        if (magnification)
            self->setZoom(*magnification);
        else
            self->zoomToFit();
    };
    m_canvas->onColorMenuRequest = [](QPoint position, RGBAColor current, std::function<void(RGBAColor)> choose) {
        RadialColorMenu::shared().show(position, current, std::move(choose));
    };
    m_canvas->onStateChange = [self] {
        if (self)
            self->canvasStateChanged();
    };
    connect(m_canvas, &CanvasView::viewChanged, this, [this] {
        m_toolbar->showZoom(m_canvas->magnification());
        updateRulers();
    });
    connect(m_document.get(), &ProjectDocument::editedChanged, this, [this](bool edited) {
        m_unsavedBadge->showEdited(edited);
        setWindowModified(edited);
    });
    connect(m_document.get(), &ProjectDocument::filePathChanged, this, [this] { updateTitle(); });
    connect(m_document.get(), &ProjectDocument::imageAdded, this, [this] { zoomToFit(); });

    buildActions();
    if (menuBarFactory)
        setMenuBar(menuBarFactory(*this));
    updateTitle();
    m_unsavedBadge->showEdited(m_document->isEdited());
    canvasStateChanged();
    m_toolbar->showZoom(m_canvas->magnification());
}

std::function<QMenuBar*(EditorWindow&)> EditorWindow::menuBarFactory;

EditorWindow::~EditorWindow() { m_canvas->tearDown(); }

void EditorWindow::buildActions()
{
    struct Row {
        QList<QKeySequence> keys;
        void (EditorWindow::*run)();
    };
    const Row rows[] = {
        {{QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)}, &EditorWindow::zoomIn},
        {{QKeySequence::ZoomOut}, &EditorWindow::zoomOut},
        {{QKeySequence(Qt::CTRL | Qt::Key_0)}, &EditorWindow::zoomActualSize},
        {{QKeySequence(Qt::CTRL | Qt::Key_9)}, &EditorWindow::zoomToFit},
    };
    for (const Row& row : rows) {
        auto* action = new QAction(this);
        action->setShortcuts(row.keys);
        connect(action, &QAction::triggered, this, row.run);
        addAction(action);
    }
    const auto add = [this](const QKeySequence& key, auto run) {
        auto* action = new QAction(this);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
    };
    add(QKeySequence::Save, [this] { saveDocument(false); });
    add(QKeySequence::SaveAs, [this] { saveDocument(true); });
    add(QKeySequence::Close, [this] { close(); });
    add(QKeySequence::Print, [this] { m_document->showPrintDialog(this); });
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), [this] { exportImage(); });
    const auto addHistory = [this](const QString& text, QKeySequence::StandardKey key, void (EditorWindow::*run)()) {
        auto* action = new QAction(text, this);
        action->setShortcuts(key);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
    };
    addHistory(QStringLiteral("Annulla"), QKeySequence::Undo, &EditorWindow::undo);
    addHistory(QStringLiteral("Ripeti"), QKeySequence::Redo, &EditorWindow::redo);
}

bool EditorWindow::rulersShown() const
{
    return m_settings.get(setting::showRulers) || m_canvas->tool() == Tool::ruler;
}

void EditorWindow::setZoom(double magnification)
{
    m_canvas->setMagnification(EditorZoom::clamped(magnification));
    m_toolbar->showZoom(m_canvas->magnification());
    updateRulers();
}

void EditorWindow::zoomIn() { setZoom(EditorZoom::zoomedIn(m_canvas->magnification())); }

void EditorWindow::zoomOut() { setZoom(EditorZoom::zoomedOut(m_canvas->magnification())); }

void EditorWindow::zoomActualSize() { setZoom(1); }

void EditorWindow::zoomToFit()
{
    m_canvas->zoomToFit();
    m_toolbar->showZoom(m_canvas->magnification());
    updateRulers();
}

void EditorWindow::saveDocument(bool asNew)
{
    m_canvas->commitTextEditing();
    DocumentSaving::save(*m_document, this, m_choosePath, asNew, [](bool) {});
}

void EditorWindow::exportImage()
{
    m_canvas->commitTextEditing();
    ImageExportPanel::open(*m_document, m_settings, this);
}

void EditorWindow::undo()
{
    if (TextSessionEditor* typing = m_canvas->textEditor()) {
        typing->undo();
        return;
    }
    settleForHistory();
    m_document->undoManager().undo();
}

void EditorWindow::redo()
{
    if (TextSessionEditor* typing = m_canvas->textEditor()) {
        typing->redo();
        return;
    }
    settleForHistory();
    m_document->undoManager().redo();
}

void EditorWindow::settleForHistory()
{
    m_canvas->endContinuousChange();
    // A drag still under way would replay itself over the restored document on its next move.
    m_canvas->cancelGesture();
}

void EditorWindow::showEvent(QShowEvent* event)
{
    if (!m_sized) {
        m_sized = true;
        sizeWindowToFitCanvas();
    }
    QMainWindow::showEvent(event);
    fitToolbar();
    // Once more when the window has its final width.
    QPointer<EditorWindow> self(this);
    QTimer::singleShot(0, this, [self] {
        if (self)
            self->fitToolbar();
    });
    m_canvas->setFocus();
}

void EditorWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    fitToolbar();
    placeBadges();
}

void EditorWindow::fitToolbar()
{
    const double minimum = std::max(m_toolbar->minimumWidth(), EditorWindowSizing::minimumWidth);
    setMinimumWidth(int(std::ceil(minimum)));
    m_toolbar->fitTools(width());
}

void EditorWindow::sizeWindowToFitCanvas()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const Rect bounds = canvasBounds(m_document->model());
    const QSizeF canvas = bounds.isNull() ? QSizeF() : QSizeF(bounds.size.width, bounds.size.height);
    const QSizeF chrome(PropertyColumn::columnWidth, m_toolbar->sizeHint().height());
    const double preferred = EditorWindowSizing::preferredWidth(m_toolbar->windowWidth(m_toolbar->allToolsWidth()));
    const EditorWindowSizing::Opening opening =
        EditorWindowSizing::opening(QRectF(screen->availableGeometry()), chrome, canvas, preferred);
    resize(opening.contentSize.toSize() + QSize(0, int(chrome.height())));
    move(screen->availableGeometry().center() - rect().center());
    setZoom(opening.magnification);
}

void EditorWindow::closeEvent(QCloseEvent* event)
{
    // A document with nothing to save closes at once, so quitting the application is not
    // held up by a question nobody needs to answer.
    if (m_closeConfirmed || (!m_confirmingClose && !m_document->isEdited())) {
        m_canvas->commitTextEditing();
        m_canvas->tearDown();
        event->accept();
        return;
    }
    event->ignore();
    if (m_confirmingClose)
        return;
    m_confirmingClose = true;
    m_canvas->commitTextEditing();
    QPointer<EditorWindow> self(this);
    DocumentSaving::confirmClose(*m_document, this, m_choosePath, [self](bool shouldClose) {
        if (!self)
            return;
        self->m_confirmingClose = false;
        if (!shouldClose) {
            Termination::closeAnswered(false);
            return;
        }
        self->m_closeConfirmed = true;
        // Not from inside the close event that asked.
        QTimer::singleShot(0, self, [self] {
            if (self)
                self->close();
            Termination::closeAnswered(true);
        });
    });
}

void EditorWindow::canvasStateChanged()
{
    m_toolbar->setActiveTool(m_canvas->tool());
    m_column->refresh();
    updateRulers();
    const DocumentModel& model = m_document->model();
    const Rect bounds = canvasBounds(model);
    const double pixelsPerPoint = Exporter::pixelsPerPoint(model, ProjectDocument::pictureOptions());
    m_sizeBadge->showSize(bounds.isNull() ? QSizeF() : QSizeF(bounds.size.width, bounds.size.height) * pixelsPerPoint);
}

void EditorWindow::updateTitle()
{
    setWindowTitle(m_document->displayName() + QStringLiteral("[*]"));
    setWindowModified(m_document->isEdited());
}

void EditorWindow::updateRulers()
{
    const bool shown = rulersShown();
    m_horizontalRuler->setVisible(shown);
    m_verticalRuler->setVisible(shown);
    if (shown) {
        const DocumentModel& model = m_document->model();
        const Rect bounds = canvasBounds(model);
        const Point zero = !model.panels.empty() ? model.panels.front().origin
                           : bounds.isNull()     ? Point{}
                                                 : bounds.origin;
        const double pixelsPerPoint = Exporter::pixelsPerPoint(model, ProjectDocument::pictureOptions());
        const Rect visible = m_canvas->visibleRect();
        m_horizontalRuler->setScale({.zero = zero.x,
                                     .pixelsPerPoint = pixelsPerPoint,
                                     .magnification = m_canvas->magnification(),
                                     .visibleStart = visible.origin.x});
        m_verticalRuler->setScale({.zero = zero.y,
                                   .pixelsPerPoint = pixelsPerPoint,
                                   .magnification = m_canvas->magnification(),
                                   .visibleStart = visible.origin.y});
    }
    placeBadges();
}

void EditorWindow::placeBadges()
{
    const QPoint canvasTopLeft = m_canvas->geometry().topLeft();
    m_sizeBadge->move(canvasTopLeft + QPoint(10, 10));
    m_unsavedBadge->move(m_sizeBadge->geometry().bottomLeft() + QPoint(0, 7));
    m_sizeBadge->raise();
    m_unsavedBadge->raise();
}

} // namespace vorlix
