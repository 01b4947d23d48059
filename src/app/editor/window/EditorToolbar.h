#pragma once
// The editor window's top bar, one widget the window puts into its tool bar: the tool
// buttons in four groups, the overflow button "Altri" for the tools that do not fit, the
// colour and zoom indicators, and six action buttons on a tinted background.
//
// The bar reports through callbacks that its owner sets, and is told the current tool,
// the colour under the pointer and the zoom. Choosing a tool never changes `activeTool`
// by itself: the owner makes the tool current and sets `activeTool` back. Widths are in
// logical pixels.

#include "app/editor/window/ToolbarLayout.h"
#include "core/model/Color.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QMenu;

namespace vorlix {

class BarIndicator;
class ColorIndicator;
class DragButton;
class Settings;
class ToolButton;
class ValueIndicator;

class EditorToolbar : public QWidget {
public:
    // `settings` gives the initial label state and, with the colour menu, the palette.
    explicit EditorToolbar(Settings& settings, QWidget* parent = nullptr);
    ~EditorToolbar() override;

    std::function<void(Tool)> onSelectTool;
    std::function<void()> onExport;
    std::function<void()> onCopy;
    std::function<void()> onPin;
    std::function<void(QWidget* anchor)> onShare;
    std::function<void(QWidget* anchor)> onAdd;
    // The colour under the pointer, if any, for the colour menu.
    std::function<std::optional<RGBAColor>()> currentColor;
    // The PNG data and file name of the annotated image, for the drag button.
    std::function<std::optional<std::pair<QByteArray, QString>>()> dragData;
    // Copies the colour code when there is no colour to offer a menu for.
    std::function<void()> onCopyColor;
    // A level chosen in the zoom menu; nothing means fit to the window.
    std::function<void(std::optional<double>)> onZoomTo;

    Tool activeTool() const { return m_activeTool; }
    void setActiveTool(Tool tool);

    // Every button of the bar in creation order: the tools group by group, "Altri", then
    // the six action buttons. The owner walks it when the label setting changes.
    const std::vector<ToolButton*>& allButtons() const { return m_allButtons; }
    ToolButton* toolButton(Tool tool) const { return m_toolButtons.at(tool); }
    ToolButton* moreButton() const { return m_moreButton; }
    ToolButton* shareButton() const { return m_shareButton; }
    ColorIndicator* colorIndicator() const { return m_colorInfo; }
    ValueIndicator* zoomIndicator() const { return m_zoomLabel; }

    // Shows or hides every button's label and resizes the buttons.
    void setShowsLabels(bool shows);

    // The widths of the bar's parts as they are now.
    ToolbarMetrics metrics() const;
    double windowWidth(double toolsWidth) const;
    double toolsWidth(double windowWidth) const;
    double allToolsWidth() const;
    double minimumWidth() const;
    // Lays the row out for a window `windowWidth` wide: which tools go to "Altri", and
    // whether the colour indicator stays.
    void fitTools(double windowWidth);
    const std::vector<Tool>& hiddenTools() const { return m_hiddenTools; }

    // The overflow menu of the hidden tools, one submenu per group; made anew each time.
    std::unique_ptr<QMenu> makeOverflowMenu();
    // The colour menu for `color`: its hex, rgb and oklch codes to copy, and "Metti nella
    // palette" with one item per palette slot, which stores the colour there.
    std::unique_ptr<QMenu> makeColorMenu(const RGBAColor& color);
    // The zoom menu: "Adatta alla finestra", then 25 … 400 %.
    std::unique_ptr<QMenu> makeZoomMenu();

    // The colour indicator's swatch and caption (the hex code, or "Colore").
    void showColor(const std::optional<RGBAColor>& color);
    // "125%".
    void showZoom(double magnification);

private:
    ToolButton* addButton(ToolButton* button);
    QWidget* makeTools();
    QWidget* makeInfo();
    QWidget* makeActions();
    void syncActiveTool();
    void popUp(std::unique_ptr<QMenu> menu, QWidget* anchor, int gap);
    void colorPressed();
    double barOrigin() const;

    Settings& m_settings;
    Tool m_activeTool = Tool::select;
    std::map<Tool, ToolButton*> m_toolButtons;
    std::vector<ToolButton*> m_allButtons;
    std::vector<QWidget*> m_groupViews;
    std::map<int, QWidget*> m_separators;
    ToolButton* m_moreButton = nullptr;
    DragButton* m_dragButton = nullptr;
    ToolButton* m_shareButton = nullptr;
    ColorIndicator* m_colorInfo = nullptr;
    ValueIndicator* m_zoomLabel = nullptr;
    QWidget* m_infoView = nullptr;
    QWidget* m_actionsView = nullptr;
    std::vector<Tool> m_hiddenTools;
    std::map<Tool, QAction*> m_toolMenuItems;
    QPointer<QMenu> m_openMenu;
};

} // namespace vorlix
