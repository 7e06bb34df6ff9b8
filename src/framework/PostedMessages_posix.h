#pragma once
// The queue of messages posted to hidden windows where there is no window
// manager to keep one; the application's message loop empties it.

// Delivers the messages posted so far, and those their handlers post, in
// order; false when there was none.
bool DeliverPostedMessages();
