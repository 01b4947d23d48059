#include "app/support/Beeper.h"

#include <QApplication>

#include <utility>

namespace vorlix::Beeper {

namespace {

std::function<void()>& currentSound()
{
    static std::function<void()> sound;
    return sound;
}

} // namespace

void beep()
{
    if (const std::function<void()>& sound = currentSound())
        sound();
    else
        QApplication::beep();
}

Override::Override(std::function<void()> sound) : m_previous(std::exchange(currentSound(), std::move(sound))) {}

Override::~Override() { currentSound() = std::move(m_previous); }

} // namespace vorlix::Beeper
