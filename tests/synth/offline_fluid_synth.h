#pragma once

#include "core/synth/fluid/drum_only_font.h"

#include <fluidsynth.h>

#include <memory>
#include <vector>

namespace padscope::test {

// A FluidSynth without audio output that renders one note at a time on the
// rhythm channel, reading fonts whole or through the drum-only loader.
struct OfflineFluidSynth {
    std::unique_ptr<fluid_settings_t, decltype(&delete_fluid_settings)> settings{new_fluid_settings(),
                                                                                 delete_fluid_settings};
    std::unique_ptr<fluid_synth_t, decltype(&delete_fluid_synth)> synth{nullptr, delete_fluid_synth};

    explicit OfflineFluidSynth(bool drumKitsOnly)
    {
        fluid_settings_setint(settings.get(), "synth.dynamic-sample-loading", 1);
        fluid_settings_setstr(settings.get(), "synth.midi-bank-select", "gs");
        synth.reset(new_fluid_synth(settings.get()));
        if (drumKitsOnly)
            addDrumOnlyLoader(synth.get(), settings.get());
    }
    void selectKit(int program) { fluid_synth_program_change(synth.get(), 9, program); }
    std::vector<float> play(int note)
    {
        fluid_synth_all_sounds_off(synth.get(), 9);
        fluid_synth_noteon(synth.get(), 9, note, 100);
        std::vector<float> left(4096), right(4096);
        fluid_synth_write_float(synth.get(), 4096, left.data(), 0, 1, right.data(), 0, 1);
        fluid_synth_noteoff(synth.get(), 9, note);
        left.insert(left.end(), right.begin(), right.end());
        return left;
    }
};

}  // namespace padscope::test
