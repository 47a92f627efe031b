// The activity chart's history, grid backgrounds and line geometry.
#include "keepalive/activity_chart.h"

#include <cmath>
#include <limits>

namespace zv {

void ActivityHistory::Add(std::uint32_t rtt) {
    for (int i = 0; i < kHistorySize - 1; ++i) samples_[i] = samples_[i + 1];
    constexpr std::uint32_t largest = std::numeric_limits<std::int16_t>::max();
    samples_[kHistorySize - 1] = static_cast<std::int16_t>(rtt > largest ? largest : rtt);
}

namespace {
constexpr int kGridRows[] = {13, 25, 37, 49};
constexpr int kYellowRow = 61;
constexpr int kGridSpacing = 12;
}  // namespace

int GridFirstColumn(int image) {
    constexpr int first[kGridImages] = {10, 6, 2};
    return first[((image % kGridImages) + kGridImages) % kGridImages];
}

namespace {
// A row or column of the 360 x 75 design at `size` pixels where the design has `designSize`.
int Scaled(int designPosition, int size, int designSize) {
    return static_cast<int>(std::lround(static_cast<double>(designPosition) * size / designSize));
}

bool OnVerticalLine(int image, int x, int width) {
    const int first = GridFirstColumn(image);
    // The design column nearest to x, and its neighbours, scaled back.
    const long k = std::lround((static_cast<double>(x) * kGridWidth / width - first) / kGridSpacing);
    for (long n = k - 1; n <= k + 1; ++n) {
        const int column = first + static_cast<int>(n) * kGridSpacing;
        if (n >= 0 && column < kGridWidth && Scaled(column, width, kGridWidth) == x) return true;
    }
    return false;
}
}  // namespace

std::uint32_t GridPixel(int image, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return kRgbWhite;
    // The yellow row runs unbroken through the vertical lines.
    if (y == Scaled(kYellowRow, height, kGridHeight)) return kRgbYellow;
    for (int row : kGridRows) {
        if (y == Scaled(row, height, kGridHeight)) return kRgbGrid;
    }
    if (OnVerticalLine(image, x, width)) return kRgbGrid;
    return kRgbWhite;
}

std::vector<std::uint32_t> GridPicture(int image, int width, int height) {
    if (width <= 0 || height <= 0) return {};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels[static_cast<std::size_t>(y) * width + x] = GridPixel(image, x, y, width, height);
    }
    return pixels;
}

std::int16_t ChartScale(double heightTwips) {
    double q = heightTwips / 750.0;
    double whole = std::floor(q);
    double rest = q - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    constexpr double largest = std::numeric_limits<std::int16_t>::max();
    if (whole > largest) whole = largest;
    if (whole < -largest) whole = -largest;
    return static_cast<std::int16_t>(whole);
}

ActivityChart DrawActivityChart(const ActivityHistory::Samples& samples, double widthTwips, double heightTwips) {
    ActivityChart chart;
    chart.step = widthTwips / kHistorySize;
    chart.scale = ChartScale(heightTwips);
    const double scale = chart.scale;
    // The first point sits on its own baseline of 1250 milliseconds' worth of twips, not on the
    // chart's height, so with a usual height it falls below the visible area.
    chart.firstPoint = {0.0, 1250.0 * scale - samples[0] * scale};
    for (int i = 0; i < kHistorySize - 1; ++i) {
        chart.lines[i].from = {i * chart.step, heightTwips - samples[i] * scale};
        chart.lines[i].to = {(i + 1) * chart.step, heightTwips - samples[i + 1] * scale};
    }
    return chart;
}

int TwipsToPixels(double twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

ChartPixels ChartInPixels(const ActivityChart& chart, double heightTwips, int clientHeight, int dpiX, int dpiY) {
    // Heights are measured up from the bottom edge, whose twips coordinate is the chart's height;
    // counted in whole pixels above the bottom row, 0 ms lands on that row and not below it.
    auto at = [&](const TwipPoint& p) {
        return PixelPoint{TwipsToPixels(p.x, dpiX), clientHeight - 1 - TwipsToPixels(heightTwips - p.y, dpiY)};
    };
    ChartPixels pixels;
    pixels.firstPoint = at(chart.firstPoint);
    for (int i = 0; i < kHistorySize - 1; ++i) pixels.corners[i] = at(chart.lines[i].from);
    pixels.corners[kHistorySize - 1] = at(chart.lines[kHistorySize - 2].to);
    return pixels;
}

std::string PingResultText(const std::string& site, std::uint32_t rtt) {
    return "Ping Result for " + site + " :" + std::to_string(rtt) + " ms";
}

}  // namespace zv
