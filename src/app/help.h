// The help file of the tuning program and the three ways it is opened: at a topic, its contents, its index.
#pragma once

#include <string>

namespace zv {

enum class HelpView { Topic, Contents, Index };

struct HelpRequest {
    HelpView view = HelpView::Contents;
    std::string topic;  // with HelpView::Topic
    bool operator==(const HelpRequest&) const = default;
};

inline const char kAutomaticTopic[] = "automatic.htm";
inline const char kCustomTopic[] = "custom.htm";
inline const char kLauncherTopic[] = "launcher.htm";
inline const char kBackupTopic[] = "backup.htm";
inline const char kRestoreTopic[] = "restore.htm";

// The program directory followed by "\zarvelo.chm".
std::string HelpFilePath(const std::string& programDir);

}  // namespace zv
