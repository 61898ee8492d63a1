#include "plenum/midi/quiet_midi_libraries.h"

#if defined(PLENUM_HAVE_ALSA)
#include <alsa/asoundlib.h>
#endif
#if defined(PLENUM_HAVE_JACK)
#include <jack/jack.h>
#endif

namespace plenum {

namespace {

#if defined(PLENUM_HAVE_ALSA)
void ignoreAlsa(const char*, int, const char*, int, const char*, ...) {}
#endif
#if defined(PLENUM_HAVE_JACK)
void ignoreJack(const char*) {}
#endif

}  // namespace

void silenceMidiLibraries() {
  static const bool silenced = [] {
#if defined(PLENUM_HAVE_ALSA)
    snd_lib_error_set_handler(&ignoreAlsa);
#endif
#if defined(PLENUM_HAVE_JACK)
    jack_set_error_function(&ignoreJack);
    jack_set_info_function(&ignoreJack);
#endif
    return true;
  }();
  (void)silenced;
}

}  // namespace plenum
