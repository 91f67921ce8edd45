// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/ohm_law/ohm_law_screen.h"

#include <array>
#include <string_view>
#include <utility>

#include "calculators/ohm_law/ohm_law.h"
#include "engine/form.h"
#include "engine/navigation.h"

namespace cepomer::calc {
namespace {

using ohm::Pair;
using ohm::Quantity;
using enum ohm::Pair;
using enum ohm::Quantity;
using engine::Control;
using engine::Form;
using namespace engine::kinds;
constexpr engine::Align C = engine::Align::Center;

// Quantity letters are Latin; the units are Cyrillic, and so is the Р of "Р,Вт".
constexpr std::array kControls{
    Control{"lblIURP", L, "выбрать расчитываемый параметр", 75, 75, 4515, 240, 0, true, C},
    Control{"cmdI", B, "I", 75, 450, 615, 315, 1},
    Control{"cmdU", B, "U", 1350, 450, 615, 315, 2},
    Control{"cmdR", B, "R", 2700, 450, 615, 315, 3},
    Control{"cmdP", B, "P", 3975, 450, 615, 315, 4},
    Control{"lblVybor", L, "что известно?", 75, 900, 4515, 240, 5, true, C},
    Control{"cmdUR", B, "U,R", 150, 1275, 615, 315, 6, false},
    Control{"cmdPR", B, "P,R", 900, 1275, 615, 315, 7, false},
    Control{"cmdPU", B, "P,U", 1650, 1275, 615, 315, 8, false},
    Control{"cmdIR", B, "I,R", 2400, 1275, 615, 315, 9, false},
    Control{"cmdPI", B, "P,I", 3150, 1275, 615, 315, 10, false},
    Control{"cmdIU", B, "I,U", 3900, 1275, 615, 315, 11, false},
    Control{"lblEnter", L, "ввод значений", 75, 1725, 4515, 240, 12, true, C},
    Control{"lbI", L, "I,A", 75, 2100, 240, 240, 13, true, C},
    Control{"txtI", F, "", 375, 2100, 615, 285, 14, false},
    Control{"lblU", L, "U,В", 1125, 2100, 315, 240, 15, true, C},
    Control{"txtU", F, "", 1500, 2100, 615, 285, 16, false},
    Control{"lblR", L, "R,Ом", 2250, 2100, 540, 240, 17, true, C},
    Control{"txtR", F, "", 2850, 2100, 615, 285, 18, false},
    Control{"lblP", L, "Р,Вт", 3600, 2100, 315, 240, 19, true, C},
    Control{"txtP", F, "", 3975, 2100, 615, 285, 20, false},
    Control{"cmdRun", B, "расчёт", 75, 2475, 4515, 315, 21},
    Control{"lblIrez", L, "I,A", 75, 3300, 240, 240, 22, true, C},
    Control{"txtIrez", F, "", 375, 3300, 615, 285, 23},
    Control{"lblUrez", L, "U,В", 1125, 3300, 315, 240, 24, true, C},
    Control{"txtUrez", F, "", 1500, 3300, 615, 285, 25},
    Control{"lblRrez", L, "R,Ом", 2250, 3300, 540, 240, 26, true, C},
    Control{"txtRrez", F, "", 2850, 3300, 615, 285, 27},
    Control{"lblPrez", L, "Р,Вт", 3600, 3300, 315, 240, 28, true, C},
    Control{"txtPrez", F, "", 3975, 3300, 615, 285, 29},
    Control{"lblRez", L, "результат", 75, 2925, 4515, 240, 30, true, C},
    Control{"cmdExit", B, "выход", 75, 3675, 2190, 315, 31},
    Control{"cmdMenu", B, "главное меню", 2400, 3675, 2190, 315, 32},
};

constexpr engine::ScreenTable kTable{"frmIURP", "расчёт I,U,R,P", engine::Border::FixedSingle, 4695,
                                     4080,      kControls};

// The controls of each quantity, in the order of ohm::Quantity.
struct QuantityControls {
    std::string_view button, input, result;
};
constexpr std::array<QuantityControls, ohm::kQuantities> kQuantityControls{{
    {"cmdI", "txtI", "txtIrez"},
    {"cmdU", "txtU", "txtUrez"},
    {"cmdR", "txtR", "txtRrez"},
    {"cmdP", "txtP", "txtPrez"},
}};

// The pair buttons, in the order of ohm::Pair (their tab order).
constexpr std::array<std::string_view, ohm::kPairs> kPairButtons{"cmdUR", "cmdPR", "cmdPU",
                                                                 "cmdIR", "cmdPI", "cmdIU"};

constexpr std::string_view button(Quantity q)
{
    return kQuantityControls[ohm::index(q)].button;
}
constexpr std::string_view button(Pair p)
{
    return kPairButtons[ohm::index(p)];
}
constexpr std::string_view input(Quantity q)
{
    return kQuantityControls[ohm::index(q)].input;
}
constexpr std::string_view result(Quantity q)
{
    return kQuantityControls[ohm::index(q)].result;
}

void disableEnabled(Form& form, std::string_view control)
{
    if (form.enabled(control))
        form.setEnabled(control, false);
}

// If the control is disabled, enables it and returns true (go on); if it is
// already enabled, returns false (stop).
bool enableIfDisabled(Form& form, std::string_view control)
{
    if (form.enabled(control))
        return false;
    form.setEnabled(control, true);
    return true;
}

// ---- Quantity buttons -------------------------------------------------------

// The chosen quantity stays enabled, the other three are disabled in this order,
// then its three pairs are offered in a chain that stops at the first one found
// enabled.
struct QuantityChoice {
    Quantity chosen;
    std::array<Quantity, 3> disables;
    std::array<Pair, 3> offers;
};

constexpr std::array kQuantityChoices{
    QuantityChoice{I, {U, R, P}, {UR, PR, PU}},
    QuantityChoice{U, {I, R, P}, {PR, IR, PI}},
    QuantityChoice{R, {I, U, P}, {PU, PI, IU}},
    QuantityChoice{P, {I, U, R}, {UR, IR, IU}},
};

template <std::size_t Row> void quantityClick(Form& form)
{
    const QuantityChoice& choice = kQuantityChoices[Row];
    form.setEnabled(button(choice.chosen), true);
    for (Quantity q : choice.disables)
        form.setEnabled(button(q), false);
    for (Pair p : choice.offers)
        if (!enableIfDisabled(form, button(p)))
            break;
}

// ---- Pair buttons -----------------------------------------------------------

// Shape A: the enabled siblings are disabled, then the fields are enabled,
// the second only when the first was disabled.
// Shape B: the first field is enabled, then the second, then the enabled
// siblings are disabled; it stops at the first field found already enabled.
enum class Shape { A, B };

struct PairChoice {
    Pair chosen;
    Shape shape;
    std::array<Pair, 4> siblings;
    Quantity first, second; // the input fields
};

constexpr std::array kPairChoices{
    PairChoice{UR, Shape::A, {PR, PU, IR, IU}, U, R},
    PairChoice{PR, Shape::B, {IR, PI, UR, PU}, P, R},
    PairChoice{PU, Shape::B, {PR, UR, PI, IU}, P, U},
    PairChoice{IR, Shape::A, {UR, IU, PI, PR}, I, R},
    PairChoice{PI, Shape::A, {IU, PU, PR, IR}, P, I},
    PairChoice{IU, Shape::A, {UR, IR, PI, PU}, I, U},
};

void disableSiblings(Form& form, const PairChoice& choice)
{
    for (Pair p : choice.siblings)
        disableEnabled(form, button(p));
}

template <std::size_t Row> void pairClick(Form& form)
{
    const PairChoice& choice = kPairChoices[Row];
    if (choice.shape == Shape::A) {
        disableSiblings(form, choice);
        if (enableIfDisabled(form, input(choice.first)))
            enableIfDisabled(form, input(choice.second));
    } else if (enableIfDisabled(form, input(choice.first)) &&
               enableIfDisabled(form, input(choice.second))) {
        disableSiblings(form, choice);
    }
}

// ---- "расчёт" -----------------------------------------------------------------

// The inputs are read in this order, all four whatever their state.
constexpr std::array kReadOrder{U, R, P, I};

// Every rule writes its quantity's result field, whether it fired or not; a
// failing rule stops the click, leaving what earlier rules wrote.
void cmdRun_Click(Form& form)
{
    ohm::Working w;
    for (Quantity q : kReadOrder)
        w[q] = form.readSingle(input(q));
    for (const ohm::Rule& rule : ohm::rules()) {
        const bool quantityChosen = form.enabled(button(rule.quantity));
        const bool pairChosen = form.enabled(button(rule.pair));
        if (quantityChosen && pairChosen)
            w[rule.quantity] = ohm::evaluate(rule.formula, w);
        form.writeSingle(result(rule.quantity), w[rule.quantity]);
    }
}

// ---- "главное меню" -------------------------------------------------------------

// Back to the start state, then Hide, Unload and Show the main menu. The
// unloading discards the window anyway; the reset comes first all the same.
void cmdMenu_Click(Form& form)
{
    for (Quantity q : {U, R, P, I})
        form.setEnabled(button(q), true);
    for (std::string_view pair : kPairButtons)
        form.setEnabled(pair, false);
    engine::unloadToMenu(form);
}

template <std::size_t... Qs, std::size_t... Ps>
constexpr auto makeHandlers(std::index_sequence<Qs...>, std::index_sequence<Ps...>)
{
    return std::array{
        engine::Handler{button(kQuantityChoices[Qs].chosen), quantityClick<Qs>}...,
        engine::Handler{button(kPairChoices[Ps].chosen), pairClick<Ps>}...,
        engine::Handler{"cmdRun", cmdRun_Click},
        engine::Handler{"cmdMenu", cmdMenu_Click},
        engine::Handler{"cmdExit", engine::endProgram}, // cmdExit_Click
    };
}

constexpr auto kHandlers = makeHandlers(std::make_index_sequence<kQuantityChoices.size()>{},
                                        std::make_index_sequence<kPairChoices.size()>{});

constexpr std::array kTips{
    engine::Tip{"txtI", "Ток I, А"},
    engine::Tip{"txtU", "Напряжение U, В"},
    engine::Tip{"txtR", "Сопротивление R, Ом"},
    engine::Tip{"txtP", "Мощность P, Вт"},
    engine::Tip{"txtIrez", "Ток I, А:\nI = U / R, I = √(P / R) или I = P / U;\nесли ток не "
                           "рассчитывается — введённое значение"},
    engine::Tip{"txtUrez", "Напряжение U, В:\nU = √(R · P), U = R · I или U = P / I;\nесли "
                           "напряжение не рассчитывается — введённое значение"},
    engine::Tip{"txtRrez", "Сопротивление R, Ом:\nR = U² / P, R = P / I² или R = U / I;\nесли "
                           "сопротивление не рассчитывается — введённое значение"},
    engine::Tip{"txtPrez", "Мощность P, Вт:\nP = U² / R, P = I² · R или P = U · I;\nесли мощность "
                           "не рассчитывается — введённое значение"},
};

// The close box does what "главное меню" does.
constexpr engine::ScreenDef kScreen{&kTable, kHandlers, "cmdMenu", kTips};

} // namespace

const engine::ScreenDef& ohmLawScreen()
{
    return kScreen;
}

} // namespace cepomer::calc
