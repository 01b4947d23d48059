#pragma once
// The fields of the fixed-size form: width and height in pixels (or the two terms of a
// ratio), "Solo proporzioni", for a capture also "Aggiungi alle misure preferite", and a
// note under them that holds the hint or the problem with what was typed. The dialog
// around it is CaptureSizePanel's.
//
// The fields take whole numbers from 0 to 99999 and nothing else; an empty field reads
// as 0. Sizes are in points of the interface (logical pixels).

#include "core/formats/CaptureSize.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace vorlix {

class CaptureSizeForm : public QWidget {
    Q_OBJECT

public:
    static constexpr int maximumValue = 99999;
    static constexpr int formWidth = 330;
    static constexpr int labelWidth = 70;
    static constexpr int fieldWidth = 72;
    static constexpr int noteWidth = 250;

    // `size` fills the fields; `favorite` is the first state of the favourite switch,
    // which only a form for a capture has.
    CaptureSizeForm(const CaptureSize& size, bool favorite, bool forCapture, QWidget* parent = nullptr);

    bool isForCapture() const { return m_forCapture; }
    // The size as typed.
    CaptureSize enteredSize() const;
    // For a capture: whether the size should also become a favourite.
    bool favoriteRequested() const;

    // The problem in red under the fields, or with none the hint "Pixel dell'immagine finale.".
    void showProblem(const std::optional<QString>& problem);

    QLineEdit* widthField() const { return m_width; }
    QLineEdit* heightField() const { return m_height; }
    QCheckBox* ratioSwitch() const { return m_ratio; }
    QCheckBox* favoriteSwitch() const { return m_favorite; } // null in a form for a new favourite
    QLabel* note() const { return m_note; }
    const QList<QLabel*>& units() const { return m_units; }

private:
    void ratioChanged();
    QWidget* row(const QString& label, QWidget* view);

    bool m_forCapture;
    QLineEdit* m_width;
    QLineEdit* m_height;
    QLabel* m_note;
    QCheckBox* m_ratio;
    QCheckBox* m_favorite = nullptr;
    QList<QLabel*> m_units;
};

} // namespace vorlix
