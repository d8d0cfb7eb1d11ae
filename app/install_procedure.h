#pragma once
// The installation itself, on a worker thread of its own so the window stays
// responsive: eleven steps with their status texts and progress, then the finish
// page.
namespace app {

// Takes the installation folder and starts the install worker. The installing flag
// is set before the thread exists, so no close request can slip in between the
// click and the worker's first step. False when the thread could not be started:
// the flag is clear again and no folder is taken.
bool start_install_worker();

}  // namespace app
