// The activity chart: its scale, its lines for a known history, and the grid backgrounds to the pixel.
#include <gtest/gtest.h>

#include "keepalive/activity_chart.h"

namespace zv {
namespace {

TEST(ChartScale, RoundsToTheNearestWithHalvesToEven) {
    struct Case {
        double height;
        int scale;
    } cases[] = {
        {1185, 2},  // the design height
        {1125, 2},  // 1.5
        {1875, 2},  // 2.5
        {2625, 4},  // 3.5
        {375, 0},   // 0.5
        {1124, 1}, {1126, 2}, {750, 1}, {0, 0}, {374, 0}, {376, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(ChartScale(c.height), c.scale) << "height " << c.height;
}

TEST(DrawActivityChart, LinesFollowTheHistoryAtTheDesignSize) {
    ActivityHistory::Samples s{};
    s[0] = 100;
    s[1] = 100;
    s[2] = 250;
    s[88] = 50;
    s[89] = 300;
    ActivityChart chart = DrawActivityChart(s, 5460, 1185);
    EXPECT_DOUBLE_EQ(chart.step, 5460.0 / 90);
    EXPECT_EQ(chart.scale, 2);
    EXPECT_DOUBLE_EQ(chart.firstPoint.x, 0);
    EXPECT_DOUBLE_EQ(chart.firstPoint.y, 2500 - 200);

    struct Line {
        int index;
        double x1, y1, x2, y2;
    } lines[] = {
        {0, 0, 985, 5460.0 / 90, 985},
        {1, 5460.0 / 90, 985, 2 * 5460.0 / 90, 685},
        {2, 2 * 5460.0 / 90, 685, 3 * 5460.0 / 90, 1185},
        {87, 87 * 5460.0 / 90, 1185, 88 * 5460.0 / 90, 1085},
        {88, 88 * 5460.0 / 90, 1085, 89 * 5460.0 / 90, 585},
    };
    for (const Line& l : lines) {
        const TwipLine& got = chart.lines[l.index];
        EXPECT_DOUBLE_EQ(got.from.x, l.x1) << "line " << l.index;
        EXPECT_DOUBLE_EQ(got.from.y, l.y1) << "line " << l.index;
        EXPECT_DOUBLE_EQ(got.to.x, l.x2) << "line " << l.index;
        EXPECT_DOUBLE_EQ(got.to.y, l.y2) << "line " << l.index;
    }
    EXPECT_LT(chart.lines[88].to.x, 5460) << "the newest sample sits one step short of the right edge";
    for (int i = 1; i < 89; ++i) {
        EXPECT_DOUBLE_EQ(chart.lines[i].from.x, chart.lines[i - 1].to.x) << "line " << i << " joins the one before";
        EXPECT_DOUBLE_EQ(chart.lines[i].from.y, chart.lines[i - 1].to.y) << "line " << i << " joins the one before";
    }
}

TEST(DrawActivityChart, FirstPointIsVisibleOnlyPast657Milliseconds) {
    struct Case {
        std::int16_t oldest;
        double y;
        bool visible;
    } cases[] = {{0, 2500, false}, {657, 1186, false}, {658, 1184, true}, {1250, 0, true}};
    for (const Case& c : cases) {
        ActivityHistory::Samples s{};
        s[0] = c.oldest;
        ActivityChart chart = DrawActivityChart(s, 5460, 1185);
        EXPECT_DOUBLE_EQ(chart.firstPoint.y, c.y) << "oldest sample " << c.oldest;
        EXPECT_EQ(chart.firstPoint.y < 1185, c.visible) << "oldest sample " << c.oldest;
    }
}

TEST(DrawActivityChart, ScaleFollowsTheHeight) {
    ActivityHistory::Samples s{};
    s[89] = 100;
    struct Case {
        double height;
        double newestY;
        double firstY;
    } cases[] = {{1185, 985, 2500}, {2625, 2225, 5000}, {300, 300, 0}};
    for (const Case& c : cases) {
        ActivityChart chart = DrawActivityChart(s, 5460, c.height);
        EXPECT_DOUBLE_EQ(chart.lines[88].to.y, c.newestY) << "height " << c.height;
        EXPECT_DOUBLE_EQ(chart.firstPoint.y, c.firstY) << "height " << c.height;
    }
}

TEST(TwipsToPixels, RoundsToTheNearestPixel) {
    struct Case {
        double twips;
        int dpi, pixels;
    } cases[] = {{5460, 96, 364}, {1185, 96, 79}, {5460.0 / 90, 96, 4}, {985, 96, 66}, {1440, 120, 120},
                 {7, 96, 0},      {8, 96, 1},     {-200, 96, -13}};
    for (const Case& c : cases) EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
}

// ChartPict's client area at each DPI: the box is 5460 x 1185 twips, the sunken edge takes 4 pixels.
struct ClientArea {
    int dpi, width, height;
} const kClientAreas[] = {{96, 360, 75}, {120, 451, 95}, {144, 542, 115}, {168, 633, 134}};

TEST(ChartInPixels, ZeroLiesOnTheBottomRowAndTheNewestPointOneStepShortOfTheRightEdge) {
    for (const ClientArea& c : kClientAreas) {
        const double width = c.width * 1440.0 / c.dpi, height = c.height * 1440.0 / c.dpi;
        ActivityHistory::Samples s{};
        s[45] = 30;    // a fast reply on a LAN
        s[46] = 1000;  // off the top
        const ChartPixels px = ChartInPixels(DrawActivityChart(s, width, height), height, c.height, c.dpi, c.dpi);
        for (int i : {0, 44, 47, 89}) EXPECT_EQ(px.corners[i].y, c.height - 1) << c.dpi << " dpi, sample " << i;
        EXPECT_EQ(px.corners[0].x, 0) << c.dpi << " dpi";
        EXPECT_NEAR(c.width - px.corners[89].x, c.width / 90.0, 1.0) << c.dpi << " dpi";
        EXPECT_LT(px.corners[45].y, c.height - 1) << c.dpi << " dpi: 30 ms shows above the bottom row";
        EXPECT_GE(px.corners[45].y, 0) << c.dpi << " dpi";
        EXPECT_LT(px.corners[46].y, 0) << c.dpi << " dpi";
    }
    // At 96 DPI two twips per millisecond are 2/15 of a pixel: 30 ms four rows up.
    ActivityHistory::Samples s{};
    s[89] = 30;
    EXPECT_EQ(ChartInPixels(DrawActivityChart(s, 5400, 1125), 1125, 75, 96, 96).corners[89], (PixelPoint{356, 70}));
}

TEST(GridPicture, ScaledToTheClientAreaAtEveryDpi) {
    for (const ClientArea& c : kClientAreas) {
        for (int image = 0; image < kGridImages; ++image) {
            const std::vector<std::uint32_t> p = GridPicture(image, c.width, c.height);
            ASSERT_EQ(p.size(), static_cast<std::size_t>(c.width) * c.height);
            auto at = [&](int x, int y) { return p[static_cast<std::size_t>(y) * c.width + x]; };
            int gridRows = 0, yellowRow = -1, columns = 0, firstColumn = -1;
            for (int y = 0; y < c.height; ++y) {
                int grid = 0, yellow = 0;
                for (int x = 0; x < c.width; ++x) grid += at(x, y) == kRgbGrid, yellow += at(x, y) == kRgbYellow;
                gridRows += grid == c.width;
                if (yellow == c.width) yellowRow = y;
            }
            for (int x = 0; x < c.width; ++x) {
                if (at(x, 0) != kRgbGrid) continue;
                ++columns;
                if (firstColumn < 0) firstColumn = x;
            }
            EXPECT_EQ(gridRows, 4) << c.dpi << " dpi, image " << image;
            EXPECT_EQ(yellowRow, (61 * c.height + 37) / 75) << c.dpi << " dpi, image " << image;
            EXPECT_EQ(columns, 30) << c.dpi << " dpi, image " << image;
            EXPECT_EQ(firstColumn, (GridFirstColumn(image) * c.width + 180) / 360) << c.dpi << " dpi, image " << image;
        }
    }
}

TEST(GridPicture, HorizontalLinesAtTheirRows) {
    for (int image = 0; image < kGridImages; ++image) {
        for (int y = 0; y < kGridHeight; ++y) {
            int grid = 0, yellow = 0;
            for (int x = 0; x < kGridWidth; ++x) {
                grid += GridPixel(image, x, y) == kRgbGrid;
                yellow += GridPixel(image, x, y) == kRgbYellow;
            }
            bool gridRow = y == 13 || y == 25 || y == 37 || y == 49;
            EXPECT_EQ(grid == kGridWidth, gridRow) << "image " << image << " row " << y;
            EXPECT_EQ(yellow, y == 61 ? kGridWidth : 0) << "image " << image << " row " << y;
        }
    }
}

TEST(GridPicture, VerticalLinesEveryTwelvePixelsAtThePhaseOfEachImage) {
    struct Case {
        int image;
        int first;
    } cases[] = {{0, 10}, {1, 6}, {2, 2}};
    for (const Case& c : cases) {
        std::vector<int> columns;
        for (int x = 0; x < kGridWidth; ++x) {
            bool wholeColumn = true;
            for (int y = 0; y < kGridHeight; ++y) {
                if (y != 61 && GridPixel(c.image, x, y) != kRgbGrid) wholeColumn = false;
            }
            if (wholeColumn) columns.push_back(x);
        }
        ASSERT_EQ(columns.size(), 30u) << "image " << c.image;
        for (std::size_t k = 0; k < columns.size(); ++k) {
            EXPECT_EQ(columns[k], c.first + 12 * static_cast<int>(k)) << "image " << c.image << " line " << k;
        }
        EXPECT_EQ(GridPixel(c.image, c.first + 1, 0), kRgbWhite) << "image " << c.image;
        EXPECT_EQ(GridPixel(c.image, c.first - 1, 74), kRgbWhite) << "image " << c.image;
    }
}

TEST(GridPicture, EachImageIsThePreviousMovedFourPixelsLeft) {
    for (int image = 0; image < kGridImages; ++image) {
        int next = (image + 1) % kGridImages;
        for (int y = 0; y < kGridHeight; ++y) {
            for (int x = 4; x < kGridWidth; ++x) {
                ASSERT_EQ(GridPixel(next, x - 4, y), GridPixel(image, x, y))
                    << "image " << image << " -> " << next << " at " << x << "," << y;
            }
        }
    }
    std::vector<std::uint32_t> picture = GridPicture(1);
    ASSERT_EQ(picture.size(), static_cast<std::size_t>(kGridWidth * kGridHeight));
    EXPECT_EQ(picture[13 * kGridWidth + 100], kRgbGrid);
    EXPECT_EQ(picture[61 * kGridWidth + 6], kRgbYellow);
    EXPECT_EQ(picture[0 * kGridWidth + 6], kRgbGrid);
    EXPECT_EQ(picture[74 * kGridWidth + 359], kRgbWhite);
}

TEST(PingResultText, ReadsAsTheStatusBarShowsIt) {
    EXPECT_EQ(PingResultText("www.quonibar.example", 45), "Ping Result for www.quonibar.example :45 ms");
    EXPECT_EQ(PingResultText("127.0.0.1", 0), "Ping Result for 127.0.0.1 :0 ms");
    EXPECT_EQ(PingResultText("", 4294967295u), "Ping Result for  :4294967295 ms");
}

}  // namespace
}  // namespace zv
