#pragma once
// The ten colours of the user's palette as colour dots on the "Generale" page; a click
// (or a double click) on one opens the colour dialog for that slot. Rebuilt from the
// settings whenever the palette changes, whoever changed it.

#include <QWidget>

#include <vector>

namespace vorlix {

class Settings;
class SwatchButton;

class PaletteSwatches : public QWidget {
    Q_OBJECT

public:
    explicit PaletteSwatches(Settings& settings, QWidget* parent = nullptr);

    void rebuild();
    std::vector<SwatchButton*> swatches() const;

private:
    Settings& m_settings;
};

} // namespace vorlix
