#pragma once
// The path of one remembered folder and its buttons "Scegli…", "Apri cartella" and
// "Predefinita" (back to the default folder). A folder that cannot be kept is reported
// in an alert, and the path shown is always the folder really in use.
//
// Not a view: the page places `pathControl()` and `buttons()` in rows of their own.

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace vorlix {

class FolderChooser : public QObject {
    Q_OBJECT

public:
    static constexpr int pathWidth = 230;

    struct Actions {
        // The folder in use.
        std::function<QString()> current;
        // A new folder, or the default one with nothing; false when it cannot be kept.
        std::function<bool(const std::optional<QString>&)> change;
        // Shows the folder in the desktop's file manager.
        std::function<void()> show;
    };

    FolderChooser(Actions actions, QString message, const QString& defaultTip, QObject* parent = nullptr);
    ~FolderChooser() override;

    QLineEdit* pathControl() const { return m_pathControl; }
    QWidget* buttons() const { return m_buttons; }
    // What the path control shows.
    QString shownFolder() const;

    // Shows the folder in use.
    void reload();
    void chooseFolder();
    void showFolder();
    void resetFolder();
    // Keeps `folder` (nothing: the default one), or shows why it cannot.
    void set(const std::optional<QString>& folder);

private:
    Actions m_actions;
    QString m_message;
    QPointer<QLineEdit> m_pathControl;
    QPointer<QWidget> m_buttons;
};

} // namespace vorlix
