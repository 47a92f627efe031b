// The Optimize progress run, the status-bar panels it adds and removes, and what its end shows.
#include <gtest/gtest.h>

#include "app/progress.h"
#include "app/startup.h"
#include "app/status_panels.h"

namespace zv {
namespace {

TEST(OptimizeProgressRun, CountsToOneHundredAndEndsOnTheTwentyFirstTick) {
    OptimizeProgressRun run;
    ASSERT_TRUE(run.Start(0));
    for (int tick = 1; tick <= 20; ++tick) {
        const auto t = run.OnTick();
        EXPECT_EQ(t.barValue, tick * 5) << "tick " << tick;
        EXPECT_FALSE(t.finished) << "tick " << tick;
        EXPECT_TRUE(run.Running()) << "tick " << tick;
    }
    const auto last = run.OnTick();
    EXPECT_TRUE(last.finished) << "tick 21";
    EXPECT_EQ(last.barValue, 0) << "OptimizeProgress is back to 0";
    EXPECT_EQ(run.Counter(), 0);
    EXPECT_FALSE(run.Running());
}

TEST(OptimizeProgressRun, ASecondStartDuringARunIsRefused) {
    OptimizeProgressRun run;
    ASSERT_TRUE(run.Start(0));
    for (int i = 0; i < 7; ++i) run.OnTick();
    EXPECT_FALSE(run.Start(3)) << "Optimize while the bar runs";
    EXPECT_EQ(run.Counter(), 35) << "the counter goes on undisturbed";
    EXPECT_EQ(run.FailedChanges(), 0u) << "the refused start's count is not taken";
    int ticks = 7;
    while (!run.OnTick().finished) ++ticks;
    EXPECT_EQ(ticks + 1, 21);
    EXPECT_TRUE(run.Start(0)) << "after the end a new run may start";
}

TEST(OptimizeProgressRun, TicksAtRestChangeNothing) {
    OptimizeProgressRun run;
    const auto t = run.OnTick();
    EXPECT_FALSE(t.finished);
    EXPECT_EQ(run.Counter(), 0);
}

TEST(OptimizeProgressRun, KeepsTheFailureCountOfItsOptimizeUntilTheEnd) {
    OptimizeProgressRun run;
    run.Start(4);
    while (!run.OnTick().finished) {
    }
    EXPECT_EQ(run.FailedChanges(), 4u);
}

TEST(RunEnd, RestartNoticeWhenEverythingWasChanged) {
    const RunEndNotice n = EndOfOptimizeRun(0);
    EXPECT_TRUE(n.restartNotice);
    EXPECT_EQ(n.message, "");
}

TEST(RunEnd, MessageWithTheCountInsteadOfTheNoticeWhenChangesFailed) {
    for (unsigned long failed : {1ul, 3ul, 715ul}) {
        const RunEndNotice n = EndOfOptimizeRun(failed);
        EXPECT_FALSE(n.restartNotice) << failed;
        EXPECT_EQ(n.message.rfind(std::to_string(failed) + (failed == 1 ? " setting " : " settings "), 0), 0u)
            << n.message;
        EXPECT_NE(n.message.find("could not be changed"), std::string::npos) << n.message;
        EXPECT_NE(n.message.find("must run as an administrator"), std::string::npos) << n.message;
    }
}

TEST(StatusPanels, AtRestOneSpringPanel) {
    StatusPanels panels;
    ASSERT_EQ(panels.Count(), 1u);
    EXPECT_EQ(panels.Panel(1).autoSize, PanelAutoSize::Spring);
    EXPECT_EQ(panels.Panel(1).bevel, PanelBevel::Inset);
    EXPECT_EQ(panels.RightEdges(600, 96), std::vector<int>{600});
}

TEST(StatusPanels, AProgressRunLeavesOnePanelAgain) {
    StatusPanels panels;
    panels.Panel(1).text = "Fine tune your settings by hand";

    panels.AddProgressPanel(9000);  // show
    ASSERT_EQ(panels.Count(), 2u);
    EXPECT_EQ(panels.Panel(2).widthTwips, 8999);
    EXPECT_EQ(panels.Panel(1).text, "Fine tune your settings by hand");
    panels.Panel(2).text = "added by show";

    panels.AddProgressPanel(9000);  // hide
    ASSERT_EQ(panels.Count(), 3u);
    panels.Panel(2).text = "added by hide";

    panels.DropProgressPanels();
    ASSERT_EQ(panels.Count(), 1u);
    EXPECT_EQ(panels.Panel(1).text, "added by hide") << "the panel added by the hide stays";
    EXPECT_EQ(panels.Panel(1).autoSize, PanelAutoSize::Spring);
    EXPECT_EQ(panels.Panel(1).bevel, PanelBevel::Inset);
}

TEST(StatusPanels, TheProgressPanelCoversTheBarAndTheSpringGetsTheRest) {
    StatusPanels panels;
    panels.AddProgressPanel(600 * 15);
    // 600 px bar: panel 2 is 8999 twips = 599 px, the spring panel gets 1 px.
    EXPECT_EQ(panels.RightEdges(600, 96), (std::vector<int>{1, 600}));
}

TEST(StatusPanels, PanelWidthsFollowTheDpiWhereAPixelIsNoWholeNumberOfTwips) {
    const struct {
        int dpi;
        int inchPixels;
    } cases[] = {{96, 96}, {120, 120}, {144, 144}, {168, 168}};
    for (const auto& c : cases) {
        StatusPanels inch;
        inch.Add(2);  // 1440 twips wide
        EXPECT_EQ(inch.RightEdges(600, c.dpi), (std::vector<int>{600 - c.inchPixels, 600})) << c.dpi << " dpi";
        StatusPanels progress;
        progress.AddProgressPanel(TwipsFromPixels(600, c.dpi));
        EXPECT_EQ(progress.RightEdges(600, c.dpi), (std::vector<int>{1, 600})) << c.dpi << " dpi";
    }
}

TEST(StatusPanels, NoPanelReachesPastTheBar) {
    StatusPanels panels;
    panels.Add(2);
    panels.Add(3);
    panels.Panel(2).widthTwips = 20000;
    const auto edges = panels.RightEdges(300, 96);
    ASSERT_EQ(edges.size(), 3u);
    for (int e : edges) EXPECT_LE(e, 300);
    EXPECT_EQ(edges[0], 0) << "fixed panels leave the spring nothing";
}

TEST(StatusPanels, OutOfRangeNumbersAreRefused) {
    StatusPanels panels;
    EXPECT_THROW(panels.Panel(0), std::out_of_range);
    EXPECT_THROW(panels.Panel(2), std::out_of_range);
    EXPECT_THROW(panels.Add(3), std::out_of_range);
    EXPECT_THROW(panels.Remove(2), std::out_of_range);
}

}  // namespace
}  // namespace zv
