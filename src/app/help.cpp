// Help file path.
#include "app/help.h"

namespace zv {

std::string HelpFilePath(const std::string& programDir) { return programDir + "\\zarvelo.chm"; }

}  // namespace zv
