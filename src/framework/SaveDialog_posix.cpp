#include "framework/SaveDialog.h"

// No desktop here: nobody chooses, as if the user had cancelled.
bool PlatformExecute(TSaveDialog&) { return false; }
