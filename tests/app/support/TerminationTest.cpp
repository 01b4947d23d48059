#include "app/support/Termination.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

// A window with unsaved changes: the first close asks, and the answer comes a moment later.
class AskingWindow : public QWidget {
public:
    explicit AskingWindow(bool closesWhenAsked) : m_closes(closesWhenAsked) {}

    int questions = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (m_answered) {
            event->accept();
            return;
        }
        event->ignore();
        ++questions;
        QTimer::singleShot(20, this, [this] {
            m_answered = m_closes;
            if (m_closes)
                close();
            Termination::closeAnswered(m_closes);
        });
    }

private:
    bool m_closes;
    bool m_answered = false;
};

// Runs the event loop with a quit asked for at once; the exit code, 2 when the loop had
// to be stopped from outside after `limit` ms.
int runQuit(int limit = 1000)
{
    QTimer::singleShot(0, [] { Termination::request(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    guard.start(limit);
    return QApplication::exec();
}

} // namespace

TEST(Termination, AQuitHeldByAQuestionGoesOnWhenTheWindowCloses)
{
    AskingWindow asking(true);
    QWidget plain;
    asking.show();
    plain.show();
    EXPECT_EQ(runQuit(), 0);
    EXPECT_EQ(asking.questions, 1);
    EXPECT_FALSE(asking.isVisible());
    EXPECT_FALSE(plain.isVisible());
}

TEST(Termination, AWindowKeptOpenAbandonsTheQuitForGood)
{
    AskingWindow asking(false);
    asking.show();
    EXPECT_EQ(runQuit(300), 2) << "the application keeps running";
    EXPECT_TRUE(asking.isVisible());
    EXPECT_FALSE(Termination::isPending());
    asking.hide();
}
