#pragma once
// The "Generale" page: what follows a capture, freezing and the loupe, the capture delay,
// the editor's idle return to the hand, toolbar labels, asking to save, tool styles and
// palette reset, and the update checks with their status. Every control writes its
// setting the moment it changes.

#include "app/settings/SettingsTabController.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace vorlix {

class NumberStepper;

class GeneralSettingsViewController : public SettingsTabController {
    Q_OBJECT

public:
    explicit GeneralSettingsViewController(SettingsWindowController& window);

    void reload() override;

    QComboBox* afterCapture() const { return m_afterCapture; }
    QCheckBox* freeze() const { return m_freeze; }
    QCheckBox* loupe() const { return m_loupe; }
    NumberStepper* delay() const { return m_delay; }
    NumberStepper* idle() const { return m_idle; }
    QCheckBox* labels() const { return m_labels; }
    QCheckBox* askToSave() const { return m_askToSave; }
    QCheckBox* updates() const { return m_updates; }
    QLabel* updateStatus() const { return m_updateStatus; }
    QPushButton* checkNow() const { return m_checkNow; }
    QPushButton* resetToolStylesButton() const { return m_resetToolStyles; }
    QPushButton* resetPaletteButton() const { return m_resetPalette; }

    void afterCaptureChanged();
    void switchChanged(QCheckBox* sender);
    void resetToolStyles();
    void resetPalette();
    void checkUpdatesNow();
    void updateStatusChanged();

protected:
    QWidget* loadView() override;

private:
    QComboBox* m_afterCapture;
    QCheckBox* m_freeze;
    QCheckBox* m_loupe;
    NumberStepper* m_delay;
    NumberStepper* m_idle;
    QCheckBox* m_labels;
    QCheckBox* m_askToSave;
    QCheckBox* m_updates;
    QLabel* m_updateStatus;
    QPushButton* m_checkNow;
    QPushButton* m_resetToolStyles;
    QPushButton* m_resetPalette;
};

} // namespace vorlix
