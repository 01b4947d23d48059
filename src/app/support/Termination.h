#pragma once
// Quitting the application as a person asks for it ("Esci"): every window is asked to
// close, and a window that first asks about unsaved changes holds the quit until it has
// its answer. Closed, the quit goes on with the windows left; kept open, the quit is
// abandoned, so closing that window later does not quit.

namespace vorlix::Termination {

// Asks the windows to close and quits once none refuses.
void request();

// A window that held the quit for a question reports how it ended: `closed` when it
// closed (or is about to), false when the person kept it open.
void closeAnswered(bool closed);

// A quit was asked for and not yet abandoned.
bool isPending();

} // namespace vorlix::Termination
