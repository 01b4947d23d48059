// One overlay window's input, offscreen: what a press, a drag, a release or a key reports
// in each mode.

#include "app/capture/SelectionView.h"
#include "app/support/Beeper.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

struct Reports {
    std::vector<QRectF> areas;
    std::vector<std::pair<std::uint32_t, bool>> windows;
    int confirms = 0;
    int fullScreens = 0;
    int cancels = 0;
    int beeps = 0;
};

struct SelectionViewInput : testing::Test {
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    Reports reports;
    Beeper::Override countBeeps{[this] { ++reports.beeps; }};

    std::unique_ptr<SelectionView> view(SelectionMode mode, bool frozen = true)
    {
        SelectionViewState state;
        state.scale = 1;
        state.mode = mode;
        if (frozen) {
            state.frozen = QImage(400, 300, QImage::Format_RGB32);
            state.frozen.fill(Qt::gray);
        }
        state.windows = {{.id = 7, .rect = QRectF(50, 50, 100, 100)}};
        auto view = std::make_unique<SelectionView>(QRect(0, 0, 400, 300), std::move(state), settings);
        view->onFinish = [this](QRectF r) { reports.areas.push_back(r); };
        view->onWindow = [this](std::uint32_t w, bool adding) { reports.windows.push_back({w, adding}); };
        view->onConfirm = [this] { ++reports.confirms; };
        view->onFullScreen = [this] { ++reports.fullScreens; };
        view->onCancel = [this] { ++reports.cancels; };
        return view;
    }

    static void drag(QWidget& w, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mousePress(&w, Qt::LeftButton, modifiers, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(w.mapToGlobal(to)), Qt::NoButton, Qt::LeftButton,
                         modifiers);
        QApplication::sendEvent(&w, &move);
        QTest::mouseRelease(&w, Qt::LeftButton, modifiers, to);
    }
};

TEST_F(SelectionViewInput, ReleaseReportsAnAreaFromThreePointsOnElseAClickOnAWindow)
{
    struct Case {
        SelectionMode mode;
        QPoint from, to;
        std::vector<QRectF> areas;
        std::vector<std::pair<std::uint32_t, bool>> windows;
    };
    const Case cases[] = {
        {SelectionMode::area(), {10, 10}, {13, 13}, {QRectF(10, 10, 3, 3)}, {}},
        {SelectionMode::area(), {10, 10}, {12, 40}, {}, {}},
        {SelectionMode::area(), {390, 290}, {500, 500}, {QRectF(390, 290, 10, 10)}, {}}, // ends at the edge
        {SelectionMode::allInOne(), {60, 60}, {62, 62}, {}, {{7, true}}},
        {SelectionMode::allInOne(), {200, 200}, {201, 201}, {}, {}},
        {SelectionMode::window(), {300, 200}, {60, 60}, {}, {{7, true}}}, // the release point picks
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.mode.kind) << " " << c.to.x());
        reports = {};
        const std::unique_ptr<SelectionView> v = view(c.mode);
        drag(*v, c.from, c.to, Qt::ShiftModifier);
        EXPECT_EQ(reports.areas, c.areas);
        EXPECT_EQ(reports.windows, c.windows);
        if (c.areas.empty() && c.windows.empty()) {
            EXPECT_FALSE(v->state().start) << "a release that reports nothing resets the press";
        }
    }
}

TEST_F(SelectionViewInput, ExactFixedSizeShootsAtThePointerOrBeepsWhenItDoesNotFit)
{
    const std::unique_ptr<SelectionView> fits = view(SelectionMode::fixed({.width = 100, .height = 50}));
    fits->setMouse(QPointF(200, 150));
    QTest::keyClick(fits.get(), Qt::Key_Return);
    EXPECT_EQ(reports.areas, std::vector{QRectF(150, 125, 100, 50)});

    const std::unique_ptr<SelectionView> tooBig = view(SelectionMode::fixed({.width = 1000, .height = 50}));
    tooBig->setMouse(QPointF(200, 150));
    QTest::mouseClick(tooBig.get(), Qt::LeftButton, {}, QPoint(200, 150));
    QTest::keyClick(tooBig.get(), Qt::Key_Enter);
    EXPECT_EQ(reports.beeps, 2);
    EXPECT_EQ(reports.areas.size(), 1u);
}

TEST_F(SelectionViewInput, KeysConfirmCancelTakeTheScreenAndToggleTheLoupeOnlyWhereTheyApply)
{
    const std::unique_ptr<SelectionView> windows = view(SelectionMode::window());
    QTest::keyClick(windows.get(), Qt::Key_Return);
    QTest::keyClick(windows.get(), Qt::Key_F);
    QTest::keyClick(windows.get(), Qt::Key_L);
    EXPECT_EQ(reports.confirms, 1);
    EXPECT_EQ(reports.fullScreens, 0) << "f only in the all-in-one mode";
    EXPECT_TRUE(settings.get(setting::showsLoupe)) << "no loupe in the window mode";

    const std::unique_ptr<SelectionView> live = view(SelectionMode::area(), false);
    QTest::keyClick(live.get(), Qt::Key_L);
    EXPECT_TRUE(settings.get(setting::showsLoupe)) << "no loupe without a frozen picture";

    const std::unique_ptr<SelectionView> all = view(SelectionMode::allInOne());
    QTest::keyClick(all.get(), Qt::Key_F, Qt::ShiftModifier);
    QTest::keyClick(all.get(), Qt::Key_L);
    QTest::keyClick(all.get(), Qt::Key_Escape);
    EXPECT_EQ(reports.fullScreens, 1);
    EXPECT_FALSE(settings.get(setting::showsLoupe));
    EXPECT_FALSE(all->state().showsLoupe);
    EXPECT_EQ(reports.cancels, 1);
}

TEST_F(SelectionViewInput, ArrowsMoveByWholePixelsAndStopAtTheLastOne)
{
    SelectionViewState state;
    state.scale = 2;
    state.frozen = QImage(800, 600, QImage::Format_RGB32);
    SelectionView v(QRect(0, 0, 400, 300), state, settings);
    QTest::keyClick(&v, Qt::Key_Right);
    EXPECT_FALSE(v.state().mouse) << "without a known pointer the arrows do nothing";

    v.setMouse(QPointF(398, 10));
    QTest::keyClick(&v, Qt::Key_Right);
    EXPECT_EQ(v.state().mouse, QPointF(398.5, 10)) << "half a point at scale 2";
    QTest::keyClick(&v, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(v.state().mouse, QPointF(399.5, 10)) << "never past the last pixel column";
    QTest::keyClick(&v, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(v.state().mouse, QPointF(399.5, 5));
    EXPECT_EQ(v.state().keyboardPoint, v.state().mouse);
}

} // namespace
