#pragma once
// The quick preview: after a capture whose shot went to the clipboard, a small floating
// panel at the bottom right of the primary screen shows a thumbnail of the shot, the note
// "Copiato negli appunti" and the buttons "Modifica", "Salva…" and "Chiudi". A click on
// the thumbnail opens the editor too; dragging it drops the shot as a PNG file into
// another program. The panel hides itself after the hide delay (7 s) unless the pointer
// rests on it, and again that long after the pointer leaves it.
//
// One preview at a time: a new shot replaces the preview on screen. The panel floats
// above other windows and never takes the focus from the program the user works in.
// Opening the editor and making the program a regular one belong to the command layer,
// which sets the hooks. Main thread only.

#include "app/capture/CapturedShot.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace vorlix {

class PreviewThumbnail;
class Settings;

class QuickPreview : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds standardHideDelay{7000};

    struct Hooks {
        // Opens the shot, taken at the date, in a new editor window. "Modifica" and a click
        // on the thumbnail close the preview first.
        std::function<void(const CapturedShot&, const QDateTime&)> openInEditor;
        // Runs before the save dialog opens.
        std::function<void()> showAsRegularApp;
    };

    explicit QuickPreview(Settings& settings, QObject* parent = nullptr);
    ~QuickPreview() override;

    // The program's preview, over the application's settings; made on first use.
    static QuickPreview& shared();

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    void setHideDelay(std::chrono::milliseconds delay) { m_hideDelay = delay; }

    // Shows the preview of `shot`, taken at `date`, closing the one on screen first. With
    // no screen the shot is kept but nothing is shown.
    void show(const CapturedShot& shot, const QDateTime& date);
    // Hides the preview; the shot and its date stay.
    void close();

    // The panel on screen; null while nothing is shown.
    QWidget* panel() const;
    PreviewThumbnail* thumbnail() const;
    const std::optional<CapturedShot>& shot() const { return m_shot; }
    const QDateTime& date() const { return m_date; }
    bool isHidePending() const { return m_hideTimer.isActive(); }

    // The name a saved or dragged shot is offered under, without extension.
    QString fileName() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void edit();
    void save();
    void scheduleHide();
    std::unique_ptr<QWidget> makePanel();
    // Panels are deleted on a later turn of the event loop, and not while their
    // thumbnail is dragging: the drag's loop still runs inside the thumbnail.
    void retirePanel();
    void deleteRetiredPanels();

    Settings& m_settings;
    Hooks m_hooks;
    std::chrono::milliseconds m_hideDelay = standardHideDelay;
    std::unique_ptr<QWidget> m_panel;
    QPointer<PreviewThumbnail> m_thumbnail;
    std::vector<std::unique_ptr<QWidget>> m_retired;
    std::optional<CapturedShot> m_shot;
    QDateTime m_date;
    QTimer m_hideTimer;
    // Counts the panels shown, so that a save dialog closes only the preview it came from.
    std::uint64_t m_shown = 0;
    std::uint64_t m_saving = 0; // the panel whose save dialog is open; 0 for none
};

} // namespace vorlix
