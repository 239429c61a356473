#pragma once
// The splitter grip between the panes: dragging it moves the record form pane's left
// edge with the mouse, so the pane grows by the distance moved left and shrinks by the
// distance moved right. The new width is then held between two limits, in this order:
// raised to the record form pane's minimum, then lowered so that the list pane keeps
// kMinimumListPaneWidth. When the client area is too narrow for both, the list pane
// wins. The window then runs the pane layout with the new width.

#include "mainwin/pane_layout.h"

namespace numora::mainwin {

struct SplitterDrag {
    int recordFormWidth = 0; // before the drag
    int distance = 0;        // release x minus press x; negative to the left
    int clientWidth = 0;
    int letterTabBarWidth = kLetterTabBarWidth;
    int minimumRecordFormWidth = kMinimumRecordFormWidth;
};

// Never negative.
int recordFormWidthAfterDrag(const SplitterDrag &drag);

} // namespace numora::mainwin
