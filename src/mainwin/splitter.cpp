#include "mainwin/splitter.h"

#include <algorithm>

namespace numora::mainwin {

int recordFormWidthAfterDrag(const SplitterDrag &drag)
{
    const int dragged = drag.recordFormWidth - drag.distance;
    const int widest = drag.clientWidth - drag.letterTabBarWidth - kMinimumListPaneWidth;
    return std::max(0, std::min(std::max(dragged, drag.minimumRecordFormWidth), widest));
}

} // namespace numora::mainwin
