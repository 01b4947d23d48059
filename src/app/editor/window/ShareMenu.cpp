#include "app/editor/window/ShareMenu.h"

#include "app/support/Beeper.h"
#include "app/support/ImageDrag.h"

#include <QDesktopServices>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace vorlix::ShareMenu {

using namespace Qt::StringLiterals;

namespace {

std::optional<QString> writtenFile(const Picture& picture)
{
    const auto made = picture ? picture() : std::nullopt;
    if (!made)
        return std::nullopt;
    return ImageDrag::temporaryFile(made->first, made->second);
}

} // namespace

QMenu* build(Picture picture, const QString& emailProgram, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->addAction(QString::fromUtf8(openTitle), menu, [picture] {
        const std::optional<QString> file = writtenFile(picture);
        if (!file || !QDesktopServices::openUrl(QUrl::fromLocalFile(*file)))
            Beeper::beep();
    });
    if (!emailProgram.isEmpty())
        menu->addAction(QString::fromUtf8(emailTitle), menu, [picture, emailProgram] {
            const std::optional<QString> file = writtenFile(picture);
            if (!file || !QProcess::startDetached(emailProgram, {u"--attach"_s, *file}))
                Beeper::beep();
        });
    return menu;
}

void popUp(QWidget* anchor, Picture picture)
{
    QMenu* menu = build(std::move(picture), QStandardPaths::findExecutable(u"xdg-email"_s), anchor);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(anchor ? anchor->mapToGlobal(QPoint(0, anchor->height())) : QCursor::pos());
}

} // namespace vorlix::ShareMenu
