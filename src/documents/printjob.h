#pragma once
// Sending bytes to the printer device without holding the window: as much as the device takes at
// once goes at the start, the rest a piece at a time whenever the device can take more, from the
// event loop. One job at a time.

#include <string>

// Whether a job is still sending.
bool printJobRunning();

// Sends `bytes`, then everything `source` holds up to its end (source -1: nothing more), to
// `device`, which should be open without blocking. Both descriptors belong to the job from here
// on; it closes them when it ends. A write or read error ends the job with a notice saying so.
void startPrintJob(int device, std::string bytes, int source);
