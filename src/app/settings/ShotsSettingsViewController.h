#pragma once
// The "Scatti" page: the names and folders of projects and shots, the date and time
// written on shots, the favourite fixed sizes, and the history of shots (on or off, how
// many days it keeps, emptying it). Every control writes its setting at once.

#include "app/settings/SettingsTabController.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace vorlix {

class CaptureSizeTags;
class FolderChooser;
class NumberStepper;
class TemplateEditor;

class ShotsSettingsViewController : public SettingsTabController {
    Q_OBJECT

public:
    explicit ShotsSettingsViewController(SettingsWindowController& window);
    ~ShotsSettingsViewController() override;

    void reload() override;

    TemplateEditor* projectName() const { return m_projectName; }
    TemplateEditor* imageName() const { return m_imageName; }
    FolderChooser* projectsFolder() const { return m_projectsFolder; }
    FolderChooser* shotsFolder() const { return m_shotsFolder; }
    QCheckBox* historyEnabled() const { return m_historyEnabled; }
    NumberStepper* days() const { return m_days; }
    QCheckBox* timestampEnabled() const { return m_timestampEnabled; }
    QComboBox* timestampFormat() const { return m_timestampFormat; }
    CaptureSizeTags* sizeTags() const { return m_sizeTags; }
    QPushButton* clearButton() const { return m_clear; }

    void timestampChanged();
    void historyChanged();
    void clearHistory();

protected:
    QWidget* loadView() override;

private:
    QString projectsFolderPath() const;
    void showProjectsFolder();

    TemplateEditor* m_projectName;
    TemplateEditor* m_imageName;
    FolderChooser* m_projectsFolder = nullptr;
    FolderChooser* m_shotsFolder = nullptr;
    QCheckBox* m_historyEnabled;
    NumberStepper* m_days;
    QCheckBox* m_timestampEnabled;
    QComboBox* m_timestampFormat;
    CaptureSizeTags* m_sizeTags = nullptr;
    QPushButton* m_clear = nullptr;
};

} // namespace vorlix
