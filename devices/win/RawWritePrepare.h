// Before a raw write that starts at block 0 of a device, the volumes on it are locked and
// dismounted so that no file system keeps working on (or writes back over) the new data.
#pragma once

class C_HandleDevice;

// Best effort: the caller writes whatever the outcome. Returns the number of volumes
// that were dismounted.
int PrepareRawWriteAtStart(C_HandleDevice& device);
