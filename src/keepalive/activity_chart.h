// The activity chart: the 90-sample history, the three grid backgrounds and the line geometry in twips.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/screen_geometry.h"

namespace zv {

inline constexpr int kHistorySize = 90;

// Round-trip times of the last 90 pings, oldest at 0, newest at 89; 0 for a ping without an answer.
class ActivityHistory {
public:
    using Samples = std::array<std::int16_t, kHistorySize>;

    // Shifts every sample one place towards index 0 and stores rtt at 89. A time beyond what a
    // sample holds is kept as the largest sample.
    void Add(std::uint32_t rtt);
    void Clear() { samples_.fill(0); }
    const Samples& samples() const { return samples_; }

private:
    Samples samples_{};
};

// Chart backgrounds: 360 x 75 pixels, white with a blue grid and one yellow row. Image 0, 1 and 2
// differ only in where the vertical lines fall, 4 pixels further left each, so the grid scrolls
// with the samples. A chart of another size (a screen of more DPI) gets the same picture scaled:
// one-pixel lines at the scaled rows and columns, so that the grid still steps with the samples.
inline constexpr int kGridWidth = 360;
inline constexpr int kGridHeight = 75;
inline constexpr int kGridImages = 3;
inline constexpr std::uint32_t kRgbWhite = 0xFFFFFF;  // 0xRRGGBB
inline constexpr std::uint32_t kRgbGrid = 0x0080FF;
inline constexpr std::uint32_t kRgbYellow = 0xFFFF00;
inline constexpr std::uint32_t kRgbChartLine = 0x0000FF;
// A lost ping's mark at the bottom of its column.
inline constexpr std::uint32_t kRgbLossMark = 0xE00000;

// The first grid column of each image; the others follow every 12 pixels.
int GridFirstColumn(int image);
// Colour of one pixel of a background image of width x height pixels, 0xRRGGBB.
std::uint32_t GridPixel(int image, int x, int y, int width = kGridWidth, int height = kGridHeight);
// The whole image, row by row from the top.
std::vector<std::uint32_t> GridPicture(int image, int width = kGridWidth, int height = kGridHeight);

// The chart in twips, origin top-left, y growing downwards.
struct TwipPoint {
    double x;
    double y;
};
struct TwipLine {
    TwipPoint from;
    TwipPoint to;
};
struct ActivityChart {
    double step = 0;         // twips per sample
    std::int16_t scale = 0;  // twips per millisecond
    TwipPoint firstPoint{};
    std::array<TwipLine, kHistorySize - 1> lines{};
};

// Height / 750 to the nearest whole number; a half goes to the even neighbour.
std::int16_t ChartScale(double heightTwips);
ActivityChart DrawActivityChart(const ActivityHistory::Samples& samples, double widthTwips, double heightTwips);

// Twips to pixels at the given logical DPI, to the nearest pixel.
int TwipsToPixels(double twips, int dpi);

// The chart's line in the pixels of a client area `clientHeight` pixels high whose height in twips
// the chart was drawn for: x from the left edge, y from the bottom, where the bottom edge (0 ms) is
// the bottom row. The corners run oldest first; what lies above the top row has negative y.
struct ChartPixels {
    PixelPoint firstPoint;
    std::array<PixelPoint, kHistorySize> corners{};
};
ChartPixels ChartInPixels(const ActivityChart& chart, double heightTwips, int clientHeight, int dpiX, int dpiY);

// The status text after a ping.
std::string PingResultText(const std::string& site, std::uint32_t rtt);

}  // namespace zv
