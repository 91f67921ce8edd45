// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The input as a kept state, restored by the engine alone:
// - restore never crashes or throws;
// - a refused state leaves the program as it was, its front end told nothing;
// - an accepted state saves back to the very same text, and its front end is
//   told of the screens loaded and of one window shown, nothing else.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/program.h"
#include "screens/screen_list.h"

namespace {

using namespace cepomer::engine;

struct Told : View, ErrorReporter {
    int loads = 0, shows = 0, others = 0;
    void loaded(Form&) override { ++loads; }
    void shown(Form&) override { ++shows; }
    void hidden(Form&) override { ++others; }
    void unloaded(Form&) override { ++others; }
    void textSet(Form&, const Control&) override { ++others; }
    void entered(Form&, const Control&) override { ++others; }
    void enabledSet(Form&, const Control&) override { ++others; }
    void report(Form&, const cepomer::rt::RuntimeError&) override { ++others; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view state(reinterpret_cast<const char*>(data), size);
    Told told;
    Program program(cepomer::screens::programScreens(), told, {","});
    program.setView(&told);
    const std::string fresh = program.save();
    const bool kept = program.restore(state)
                          ? program.save() == state && told.loads > 0 && told.shows == 1
                          : program.save() == fresh && told.loads + told.shows == 0;
    if (!kept || told.others > 0)
        std::abort();
    return 0;
}
