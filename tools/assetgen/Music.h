// The five music loops and four effects, composed in code.
#pragma once

#include "Synth.h"

namespace assetgen {

AudioBuffer composeIntro();       // calm, before the race
AudioBuffer composeBackground();  // driving
AudioBuffer composeHunting();     // a fast, tense chase with a siren
AudioBuffer composeWinner();      // a fanfare
AudioBuffer composeLooser();      // sad, with a wink

AudioBuffer effectPickup();
AudioBuffer effectOverkill();
AudioBuffer effectError();
AudioBuffer effectCheer();

}  // namespace assetgen
