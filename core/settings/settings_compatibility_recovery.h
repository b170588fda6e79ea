#pragma once

// The per-thread note that a decoding had to drop a key. The tolerant container raises it; the
// loader clears it before decoding the user's document and consumes it right after, so a decode
// on another thread can never disturb it.

namespace tavrel::SettingsCompatibilityRecovery {

void reset();  // sets the flag to false
void raise();  // sets the flag to true
// The flag (false when unset) and removes it.
bool consume();

}  // namespace tavrel::SettingsCompatibilityRecovery
