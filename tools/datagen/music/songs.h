#pragma once

// The game's two songs, composed in code.

#include "music/xm_writer.h"

namespace rivoltra::datagen {

// Relaxed: a slow groove of soft drums, a round bass, a warm pad, electric-piano arpeggios
// and a breathy lead, for every menu screen.
XmModule MenuSong();

// Driving: four-on-the-floor drums, an acid bass in octaves, a pulse arpeggio, brass stabs
// and a saw lead with an echo, for the race.
XmModule RaceSong();

}  // namespace rivoltra::datagen
