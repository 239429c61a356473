#pragma once
// The hourglass of a long pass: shown while a BusyCursor lives and restored when it goes,
// on every exit path. Nested passes stack: the cursor returns when the outermost ends.

namespace numora::platform {

class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace numora::platform
