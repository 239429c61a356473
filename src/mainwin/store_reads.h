#pragma once
// Reads of the record table that run from the event loop (the list's pages and letter
// counts, the record the form shows, the counters) must not let a store failure
// through: an exception cannot cross Qt's event loop, and one that tries ends the
// program before the user has seen a window. Each such read runs through readStore,
// which tells the user and lets the caller go on with what it has: a shorter list, no
// counts, a new record instead of one that could not be read.

#include <functional>

namespace numora {
class Prompt;
}

namespace numora::mainwin {

// One user action (a click, a command): the reads it makes, nested or one after the
// other, tell of each distinct failure once. Held where the event loop hands over.
class StoreReadAction {
public:
    StoreReadAction();
    ~StoreReadAction();
    StoreReadAction(const StoreReadAction &) = delete;
    StoreReadAction &operator=(const StoreReadAction &) = delete;
};

// Runs `read`; a store failure is shown through `prompt`, the store's reason below the
// program's text, and gives false. Reads nested inside one another belong to one user
// action (showing a record refreshes the list, which reads the same damaged file).
[[nodiscard]] bool readStore(Prompt &prompt, const std::function<void()> &read);

} // namespace numora::mainwin
