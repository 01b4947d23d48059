#include "app/settings/CaptureSizeTags.h"

#include "app/settings/SettingsServices.h"
#include "app/support/Settings.h"
#include "app/support/SystemFont.h"

#include <QPointer>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vorlix {

TagLayout layoutTags(const std::vector<QSize>& sizes, int width, int gap)
{
    // Line breaking: indexes of the buttons of each line.
    std::vector<std::vector<std::size_t>> lines(1);
    int lineWidth = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int w = sizes[i].width();
        if (lineWidth + w + (lines.back().empty() ? 0 : gap) > width && !lines.back().empty()) {
            lines.emplace_back();
            lineWidth = 0;
        }
        lineWidth += w + (lines.back().empty() ? 0 : gap);
        lines.back().push_back(i);
    }

    TagLayout layout;
    layout.origins.resize(sizes.size());
    int y = 0;
    for (const std::vector<std::size_t>& line : lines) {
        int height = 0;
        int contentWidth = line.empty() ? 0 : -gap;
        for (std::size_t i : line) {
            height = std::max(height, sizes[i].height());
            contentWidth += sizes[i].width() + gap;
        }
        int x = width - contentWidth;
        for (std::size_t i : line) {
            layout.origins[i] = QPoint(x, y);
            x += sizes[i].width() + gap;
        }
        y += height + gap;
    }
    layout.height = std::max(y - gap, 0);
    return layout;
}

namespace {

QString tagTitle(const CaptureSize& size)
{
    const QString title =
        size.ratioOnly ? size.title() : QString::number(size.width) + u" × "_s + QString::number(size.height);
    return title + u"  ✕"_s;
}

QPushButton* smallButton(const QString& title, const QString& tip)
{
    auto* button = new QPushButton(title);
    button->setFont(systemFont(11));
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

CaptureSizeTags::CaptureSizeTags(Settings& settings, SettingsServices& services, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_services(services)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    reload();
    connect(&settings.notifications(), &NotificationCenter::posted, this, [this](const QString& name) {
        if (name == Settings::captureSizesDidChange)
            reload();
    });
}

std::vector<QPushButton*> CaptureSizeTags::buttons() const
{
    std::vector<QPushButton*> found;
    for (QPushButton* button : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        found.push_back(button);
    return found;
}

void CaptureSizeTags::reload()
{
    for (QPushButton* button : buttons()) {
        button->hide();
        button->deleteLater();
        button->setParent(nullptr);
    }

    const std::vector<CaptureSize> sizes = m_settings.get(setting::captureSizes);
    std::vector<QPushButton*> made;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        QPushButton* tag = smallButton(tagTitle(sizes[i]), u"Togli "_s + sizes[i].title() + u" dalle preferite"_s);
        connect(tag, &QPushButton::clicked, this, [this, i] { remove(int(i)); });
        made.push_back(tag);
    }
    QPushButton* plus = smallButton(u"+"_s, u"Aggiungi una misura"_s);
    plus->setEnabled(sizes.size() < CaptureSize::maximumFavorites);
    connect(plus, &QPushButton::clicked, this, &CaptureSizeTags::add);
    made.push_back(plus);

    std::vector<QSize> fitted;
    for (QPushButton* button : made)
        fitted.push_back(button->sizeHint());
    const TagLayout layout = layoutTags(fitted, lineWidth, gap);
    for (std::size_t i = 0; i < made.size(); ++i) {
        made[i]->setParent(this);
        made[i]->setGeometry(QRect(layout.origins[i], fitted[i]));
        made[i]->show();
    }
    m_contentHeight = layout.height;
    updateGeometry();
}

void CaptureSizeTags::remove(int index)
{
    std::vector<CaptureSize> sizes = m_settings.get(setting::captureSizes);
    if (index < 0 || index >= int(sizes.size()))
        return;
    sizes.erase(sizes.begin() + index);
    // Its notification rebuilds the tags; the pressed one is deleted later.
    m_settings.set(setting::captureSizes, std::move(sizes));
}

void CaptureSizeTags::add()
{
    if (!m_services.askNewCaptureSize)
        return;
    const CaptureSize start = m_settings.get(setting::lastCaptureSize)
                                  .value_or(CaptureSize{.width = 1280, .height = 720, .ratioOnly = false});
    QPointer<CaptureSizeTags> self(this);
    m_services.askNewCaptureSize(start, window(), [self](const CaptureSize& size) {
        if (self)
            self->m_settings.addCaptureSize(size);
    });
}

} // namespace vorlix
