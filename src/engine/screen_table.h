// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Screen tables: the windows of the program as plain data.
//
// Positions and sizes are in twips (1/1440 inch); at 96 dots per inch 15 twips
// make one pixel. The generic builder turns a table into a live window.
#pragma once

#include <span>
#include <string_view>

namespace cepomer::engine {

enum class Kind { Label, Field, Button };
enum class Align { Left, Right, Center };
enum class Border {
    FixedSingle, // not resizable; close box only
    Sizable,     // resizable, with minimise and maximise buttons
};

struct Control {
    std::string_view name;
    Kind kind;
    std::string_view caption; // labels and buttons; fields start empty
    int left, top, width, height;
    int tab;
    bool enabled = true;
    Align align = Align::Left;
};

struct ScreenTable {
    std::string_view name;
    std::string_view caption;
    Border border;
    int width, height; // client area
    std::span<const Control> controls;
};

constexpr int kTwipsPerPixel = 15;

// Short names of the kinds, for writing tables: `using namespace engine::kinds;`.
namespace kinds {
inline constexpr Kind L = Kind::Label;
inline constexpr Kind F = Kind::Field;
inline constexpr Kind B = Kind::Button;
} // namespace kinds

} // namespace cepomer::engine
