// The Splits view on the screen: a tick repaints the clock and its lines, never the list, and a
// split never the whole view; the header is never cut; a click on the comparison's name
// reaches the shell; a split's picture is read only from the route's folder.
#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>

#include "GridBuilder.h"
#include "QtEvents.h"
#include "SplitsView.h"
#include "TestFiles.h"

namespace {

class SplitsViewTest : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        EnsureTestApp();
        std::vector<Times> rows;
        for (std::int32_t r = 0; r < 1000; ++r) {
            rows.push_back({900, 1000 * (r + 1)});
        }
        BuildGrid(engine, {"Personal Best"}, rows);
        view = std::make_unique<SplitsView>();
        view->SetZoom(2);
        view->resize(view->sizeHint());
        view->show();
    }

    // The rectangles repainted by f, after what was waiting.
    std::vector<QRect> RepaintedBy(const std::function<void()>& f) {
        ProcessPendingEvents();
        view->TakeRepaintedRects();
        f();
        return view->TakeRepaintedRects();
    }

    QuorvelClass engine{"/tmp/"};
    std::unique_ptr<SplitsView> view;
};

TEST_F(SplitsViewTest, ATickRepaintsTheClockAndItsLinesAndASplitOnlyTheRowsInView) {
    engine.StartTimer();
    view->Refresh(engine);
    SplitAt(engine, {950});
    const int listBottom = view->RowRects().back().bottom();
    const auto split = RepaintedBy([&] { view->Refresh(engine); });
    EXPECT_FALSE(split.empty());
    for (const QRect& r : split) {
        EXPECT_GT(r.top(), view->HeaderRect().bottom()) << "a split repainted the whole view";
    }
    for (int tick = 0; tick < 20; ++tick) {
        FakeClock::Advance(7);
        const auto rects = RepaintedBy([&] { view->Tick(engine); });
        EXPECT_FALSE(rects.empty());
        for (const QRect& r : rects) {
            EXPECT_GT(r.top(), listBottom) << "tick " << tick << " repainted the list";
        }
    }
    // Behind the comparison at the split being timed: that row's live difference, no other.
    FakeClock::Advance(2000);
    const auto rects = RepaintedBy([&] { view->Tick(engine); });
    const auto& rows = view->RowRects();
    const auto current = std::find_if(view->Look().rows.begin(), view->Look().rows.end(),
                                      [](const RowLook& row) { return row.current; });
    ASSERT_NE(current, view->Look().rows.end());
    EXPECT_EQ(current->delta.text, "+10.90");
    const QRect currentRect = rows[static_cast<std::size_t>(current - view->Look().rows.begin())];
    for (const QRect& r : rects) {
        EXPECT_TRUE(r.top() > listBottom || r == currentRect);
    }
}

TEST_F(SplitsViewTest, TheDescriptionWrapsAndTheAttemptCountIsNeverCut) {
    engine.FileDesc->Text = "Any% glitchless, no major skips, European version, console";
    engine.TotalAttemptCount = 1234567;
    view->Refresh(engine);
    view->resize(view->minimumSizeHint().width(),
                 view->heightForWidth(view->minimumSizeHint().width()));
    ProcessPendingEvents();
    const QFontMetrics metrics(view->font());
    EXPECT_EQ(view->Look().attempts, "1234567");
    EXPECT_GT(view->HeaderLines().size(), 1);
    EXPECT_EQ(view->HeaderLines().join(' ').toStdString(), engine.FileDesc->Text);
    EXPECT_TRUE(view->rect().contains(view->HeaderRect()));
    EXPECT_GE(view->height(), view->ComparisonNameRect().bottom());
}

TEST_F(SplitsViewTest, AClickOnTheComparisonsNameAsksTheShell) {
    view->Refresh(engine);
    ProcessPendingEvents();
    int asked = 0;
    view->SetComparisonClickHandler([&](const QPoint&) { ++asked; });
    const auto click = [&](QPoint at) {
        QMouseEvent press(QEvent::MouseButtonPress, at, view->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.get(), &press);
    };
    click(view->ComparisonNameRect().center());
    click(view->ClockRect().center());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(view->Look().comparison, "Personal Best");
}

TEST(SplitPictures, APictureIsReadOnlyFromInsideTheRoutesFolder) {
    EnsureTestApp();
    const struct {
        const char* splitFile;
        const char* picture;
        bool read;
    } cases[] = {
        {"/runs/a.txt", "/runs/icons/1.png", true},
        {"/runs/a.txt", "/runs/../etc/x.png", false},
        {"/runs/a.txt", "/runs/icons/../../x.png", false},
        {"/runs/a.txt", "/elsewhere/x.png", false},
        {"/runs/a.txt", "/runs/", false},
        {"", "x.png", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PictureInRouteFolder(c.splitFile, c.picture), c.read) << c.picture;
    }
    const TempDir dir;
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(dir.File("boss.png"))));
    PictureCache pictures;
    const QPixmap shown = pictures.Get(dir.File("route.txt"), dir.File("boss.png"), 16);
    EXPECT_EQ(std::pair(shown.width(), shown.height()), std::pair(16, 8));
    EXPECT_TRUE(pictures.Get(dir.File("route.txt"), dir.File("missing.png"), 16).isNull());
}

}  // namespace
