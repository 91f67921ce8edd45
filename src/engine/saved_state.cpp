// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's state as text, and back. One record a line:
//
//   cepomer-state 1
//   screen NAME SHOWN            each loaded screen, SHOWN 0 or 1
//   control NAME ENABLED TEXT    a control of the screen above it that is not
//                                as its table has it: Enabled 0 or 1, and a
//                                field's Text (backslash, CR and LF escaped)
//   end                          so that a state cut short is no state
//
// Controls and screens are named, not numbered, so a state stays readable by
// a version whose tables only moved their controls; one that names a screen
// or control this version lacks is refused whole.
#include <memory>
#include <optional>
#include <vector>

#include "engine/form.h"
#include "engine/program.h"

namespace cepomer::engine {
namespace {

constexpr std::string_view kHeader = "cepomer-state 1";

void appendEscaped(std::string& out, std::string_view text)
{
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
}

std::optional<std::string> unescaped(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        if (text[i] == '\\')
            out += '\\';
        else if (text[i] == 'n')
            out += '\n';
        else if (text[i] == 'r')
            out += '\r';
        else
            return std::nullopt;
    }
    return out;
}

// The next space-separated word of `line`, taken off it.
std::string_view word(std::string_view& line)
{
    const auto space = line.find(' ');
    const std::string_view w = line.substr(0, space);
    line.remove_prefix(space == std::string_view::npos ? line.size() : space + 1);
    return w;
}

std::optional<bool> flag(std::string_view w)
{
    if (w == "0" || w == "1")
        return w == "1";
    return std::nullopt;
}

} // namespace

std::string Program::save() const
{
    std::string out(kHeader);
    out += '\n';
    for (const auto& [name, form] : forms_) {
        out += "screen " + name + (form->shown_ ? " 1\n" : " 0\n");
        const auto& controls = form->table().controls;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const Control& c = controls[i];
            const auto& state = form->states_[i];
            const bool hasText = c.kind == Kind::Field && !state.text.empty();
            if (state.enabled == c.enabled && !hasText)
                continue;
            out += "control ";
            out += c.name;
            out += state.enabled ? " 1 " : " 0 ";
            if (hasText)
                appendEscaped(out, state.text);
            out += '\n';
        }
    }
    return out + "end\n";
}

bool Program::restore(std::string_view state)
{
    if (!forms_.empty() || ended_)
        return false;
    // Read whole before anything is loaded: a damaged state changes nothing.
    std::vector<std::pair<std::unique_ptr<Form>, bool>> loaded;
    bool header = false;
    bool end = false;
    while (!state.empty() && !end) {
        const auto lineEnd = state.find('\n');
        if (lineEnd == std::string_view::npos)
            return false;
        std::string_view line = state.substr(0, lineEnd);
        state.remove_prefix(lineEnd + 1);
        if (!header) {
            if (line != kHeader)
                return false;
            header = true;
            continue;
        }
        const std::string_view kind = word(line);
        if (kind == "end" && line.empty()) {
            end = true;
        } else if (kind == "screen") {
            const ScreenDef* def = find(word(line));
            const std::optional<bool> shown = flag(line);
            if (!def || !shown)
                return false;
            for (const auto& [form, _] : loaded)
                if (form->name() == def->table->name)
                    return false;
            loaded.emplace_back(std::make_unique<Form>(*this, *def), *shown);
        } else if (kind == "control" && !loaded.empty()) {
            Form& form = *loaded.back().first;
            const Control* c = form.control(word(line));
            const std::optional<bool> enabled = flag(word(line));
            std::optional<std::string> text = unescaped(line);
            if (!c || !enabled || !text || (c->kind != Kind::Field && !text->empty()))
                return false;
            auto& s = form.states_[static_cast<std::size_t>(c - form.table().controls.data())];
            s.enabled = *enabled;
            if (c->kind == Kind::Field)
                s.text = fieldText(*text);
        } else {
            return false;
        }
    }
    if (!end || !state.empty())
        return false;
    // The program never runs without a visible window.
    bool anyShown = false;
    for (const auto& [form, shown] : loaded)
        anyShown = anyShown || shown;
    if (!anyShown)
        return false;

    AfterAccess after;
    std::vector<Form*> toShow;
    for (auto& [created, shown] : loaded) {
        Form* f = created.get();
        forms_.emplace(std::string(f->name()), std::move(created));
        if (shown)
            toShow.push_back(f);
        if (!view_)
            continue;
        view_->loaded(*f);
        // A front end may have drawn it from its table.
        const auto& controls = f->table().controls;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            if (controls[i].kind == Kind::Field && !f->states_[i].text.empty())
                view_->textSet(*f, controls[i]);
            if (f->states_[i].enabled != controls[i].enabled)
                view_->enabledSet(*f, controls[i]);
        }
    }
    for (Form* f : toShow)
        show(f->name());
    return true;
}

} // namespace cepomer::engine
