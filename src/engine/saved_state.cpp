// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's state as text, and back. One record a line:
//
//   cepomer-state 2 TABLES       TABLES: tablesFingerprint() of the screens
//   screen NAME SHOWN            each loaded screen by name, SHOWN 0 or 1
//   control NAME ENABLED TEXT    a control of the screen above it that is not
//                                as its table has it: Enabled 0 or 1, and a
//                                field's Text (backslash, CR and LF escaped)
//   end                          so that a state cut short is no state
//
// A state is read back only if it is exactly what save() writes for the
// screens it describes, and only if the program could have reached it: one
// window shown, the startup screen loaded (it is never unloaded), no label
// changed, and each field's text one the field can hold. Anything else (damaged, written by
// other tables, or made up) is refused whole.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/form.h"
#include "engine/program.h"

namespace cepomer::engine {
namespace {

constexpr std::string_view kHeader = "cepomer-state 2 ";

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

std::string tablesFingerprint(std::span<const ScreenDef* const> screens)
{
    // FNV-1a over what a state's records mean: the screens in their order,
    // each control's name, kind and initial Enabled, and what a field holds.
    // Captions and places may change without changing any state.
    std::uint64_t hash = 0xcbf29ce484222325u;
    const auto add = [&hash](std::string_view bytes) {
        for (const char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 0x100000001b3u;
        }
        hash ^= 0xffu; // ends the field: "ab" "c" differs from "a" "bc"
        hash *= 0x100000001b3u;
    };
    add(std::to_string(kMaxFieldLength));
    for (const ScreenDef* def : screens) {
        add(def->table->name);
        for (const Control& c : def->table->controls) {
            add(c.name);
            add(std::to_string(static_cast<int>(c.kind) * 2 + (c.enabled ? 1 : 0)));
        }
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (std::size_t i = out.size(); i-- > 0; hash >>= 4)
        out[i] = kDigits[hash & 0xfu];
    return out;
}

void Program::writeState(std::string& out, const Form& form)
{
    out += "screen ";
    out += form.name();
    out += form.shown_ ? " 1\n" : " 0\n";
    const auto& controls = form.table().controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        const auto& state = form.states_[i];
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

std::string Program::save() const
{
    std::string out = std::string(kHeader) + tables_ + '\n';
    for (const auto& [name, form] : forms_) // in the order of their names
        writeState(out, *form);
    return out + "end\n";
}

bool Program::restore(std::string_view state)
{
    if (!forms_.empty() || ended_)
        return false;
    // Read whole before anything is loaded: a refused state changes nothing.
    const std::string_view whole = state;
    std::vector<std::unique_ptr<Form>> loaded;
    const auto nextLine = [&state]() -> std::optional<std::string_view> {
        const auto lineEnd = state.find('\n');
        if (lineEnd == std::string_view::npos)
            return std::nullopt;
        const std::string_view line = state.substr(0, lineEnd);
        state.remove_prefix(lineEnd + 1);
        return line;
    };
    const std::optional<std::string_view> header = nextLine();
    if (!header || *header != std::string(kHeader) + tables_)
        return false;
    int shown = 0;
    for (;;) {
        std::optional<std::string_view> next = nextLine();
        if (!next)
            return false;
        std::string_view line = *next;
        const std::string_view kind = word(line);
        if (kind == "end") {
            break;
        } else if (kind == "screen") {
            const ScreenDef* def = find(word(line));
            const std::optional<bool> isShown = flag(line);
            if (!def || !isShown || (!loaded.empty() && loaded.back()->name() >= def->table->name))
                return false;
            loaded.push_back(std::make_unique<Form>(*this, *def));
            loaded.back()->shown_ = *isShown;
            shown += *isShown ? 1 : 0;
        } else if (kind == "control" && !loaded.empty()) {
            Form& form = *loaded.back();
            const Control* c = form.control(word(line));
            const std::optional<bool> enabled = flag(word(line));
            const std::optional<std::string> text = unescaped(line);
            // Handlers set the Enabled of fields and buttons, never a label's.
            if (!c || c->kind == Kind::Label || !enabled || !text)
                return false;
            auto& s = form.states_[static_cast<std::size_t>(c - form.table().controls.data())];
            s.enabled = *enabled;
            if (c->kind == Kind::Field)
                s.text = fieldText(*text); // a text no field holds reads back otherwise
        } else {
            return false;
        }
    }
    // What the program never shows: two windows or none, or no main menu.
    const bool startupLoaded = std::any_of(loaded.begin(), loaded.end(), [this](const auto& f) {
        return f->name() == screens_.front()->table->name;
    });
    if (shown != 1 || !startupLoaded)
        return false;
    // What save() would not have written: out of order, said twice, as the
    // table has it, a text where there is none or one cut to fit.
    std::string again = std::string(*header) + '\n';
    for (const auto& form : loaded)
        writeState(again, *form);
    if (again + "end\n" != whole)
        return false;

    AfterAccess after;
    Form* toShow = nullptr;
    for (auto& created : loaded) {
        Form* f = created.get();
        if (f->shown_)
            toShow = f;
        f->shown_ = false; // until shown below, as at start
        forms_.emplace(std::string(f->name()), std::move(created));
        if (view_)
            view_->loaded(*f); // drawn as it is now
    }
    show(toShow->name());
    return true;
}

} // namespace cepomer::engine
