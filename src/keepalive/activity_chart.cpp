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

std::uint32_t GridPixel(int image, int x, int y) {
    // The yellow row runs unbroken through the vertical lines.
    if (y == kYellowRow) return kRgbYellow;
    for (int row : kGridRows) {
        if (y == row) return kRgbGrid;
    }
    if (x >= GridFirstColumn(image) && (x - GridFirstColumn(image)) % kGridSpacing == 0) return kRgbGrid;
    return kRgbWhite;
}

std::vector<std::uint32_t> GridPicture(int image) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kGridWidth) * kGridHeight);
    for (int y = 0; y < kGridHeight; ++y) {
        for (int x = 0; x < kGridWidth; ++x) pixels[static_cast<std::size_t>(y) * kGridWidth + x] = GridPixel(image, x, y);
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

std::string PingResultText(const std::string& site, std::uint32_t rtt) {
    return "Ping Result for " + site + " :" + std::to_string(rtt) + " ms";
}

}  // namespace zv
