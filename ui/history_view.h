#pragma once
#include <cstdint>

// The History window as the rest of the program sees it: opened by its command, closed by
// the user, and told after each tick whether it has something new to draw.
namespace HistoryView {

// The "History" command: the one window, opened or brought to the front.
void open();
// The user closed it: nothing is drawn until it is opened again.
void closed();
// After a tick that measured: keeps its measurement and its events (History::bit()) while
// ShowHistory was set at start, and has an open window redrawn only when there is something
// new to show.
void afterTick(std::uint32_t events);

} // namespace HistoryView
