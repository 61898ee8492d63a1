#pragma once
// ALSA and JACK print their own error and information reports on standard error (a missing
// sequencer or server alone gives dozens of lines). plenum reports what matters in its own
// words, so their printing is switched off before any MIDI system is touched.

namespace plenum {

// Idempotent; cheap after the first call.
void silenceMidiLibraries();

}  // namespace plenum
