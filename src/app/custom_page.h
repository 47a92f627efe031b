// The Custom Optimization page: its tabs and frames, and the Apply progress run with what its end shows.
#pragma once

#include <array>
#include <string>

#include "app/progress.h"

namespace zv {

inline constexpr int kCustomTabs = 4;

// TabStrip1's captions, left to right, blanks included; each tab shows frmCustom of its index less one.
inline constexpr std::array<const char*, kCustomTabs> kCustomTabCaptions = {
    "       Genaral       ", "       TCP/IP       ", "        NWLink        ", "      NetBEUI      "};
// The frames' own captions.
inline constexpr std::array<const char*, kCustomTabs> kCustomFrameCaptions = {"General", "TCP/IP", "NWlink",
                                                                             "NetBeui"};

// ShowCustomTab: frame i is visible exactly when i equals index; an index outside 0 to 3 hides all four.
std::array<bool, kCustomTabs> CustomFrameVisibility(int index);
// TabStrip1_Click: the selected tab, numbered from 1, gives the frame index.
inline int CustomFrameOfTab(int tabNumber) { return tabNumber - 1; }
// Ctrl+Tab and Ctrl+Shift+Tab: the next or previous tab, round the end.
int AdjacentCustomTab(int current, bool backwards);

// ApplyProgress stepped by Timer2: the same display as after Optimize, 5 per tick, over on the
// twenty-first tick; a second start during a run is refused, so an Apply then is ignored.
using ApplyProgressRun = OptimizeProgressRun;

// The end of an Apply run shows nothing more when every change took effect, otherwise the same
// message as after Optimize saying how many settings could not be changed.
std::string EndOfApplyRunMessage(unsigned long failedChanges);

}  // namespace zv
