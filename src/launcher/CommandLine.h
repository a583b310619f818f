#pragma once

// Reads the process command line into g_quiet, the mode flags and the two paths. Returns true in
// every case, also when the scan was cut short by a failure.
bool ParseCommandLine();
