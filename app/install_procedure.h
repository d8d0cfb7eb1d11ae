#pragma once
// The installation itself, on a worker thread of its own so the window stays
// responsive: eleven steps with their status texts and progress, then the finish
// page.
namespace app {

// Starts the install worker. The installing flag is set before the thread exists,
// so no close request can slip in between the click and the worker's first step.
void start_install_worker();

}  // namespace app
