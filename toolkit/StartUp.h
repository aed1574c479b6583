#pragma once
// The program's start-up function. The program defines it; the platform's entry (main in
// the terminal, WinMain on Windows) installs its backend and calls it, and its result is the
// exit status.
int StartUp();
