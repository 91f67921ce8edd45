// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drive/driver.h"

#include <algorithm>
#include <cstdio>
#include <variant>

#include "engine/form.h"
#include "screens/screen_list.h"

namespace cepomer::drive {
namespace {

using engine::Form;
using engine::Kind;

std::string refused(std::string_view reason)
{
    return "refused " + std::string(reason) + "\n";
}

std::string_view kindWord(Kind kind)
{
    switch (kind) {
    case Kind::Label:
        return "label";
    case Kind::Field:
        return "field";
    case Kind::Button:
        break;
    }
    return "button";
}

// "SCREEN.CONTROL" split at the first point.
std::pair<std::string_view, std::string_view> splitTarget(std::string_view target)
{
    const auto dot = target.find('.');
    if (dot == std::string_view::npos)
        return {target, {}};
    return {target.substr(0, dot), target.substr(dot + 1)};
}

// Geometry in twips as a window shows it: whole pixels.
int shownTwips(int twips)
{
    return twips / engine::kTwipsPerPixel * engine::kTwipsPerPixel;
}

} // namespace

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

Driver::Driver(rt::NumberFormat format, std::function<void(engine::Program&)> beforeStart)
    : format_(std::move(format)), beforeStart_(std::move(beforeStart)), program_(newProgram())
{
    program_->start();
}

std::unique_ptr<engine::Program> Driver::newProgram()
{
    auto program = std::make_unique<engine::Program>(screens::programScreens(), *this, format_);
    if (beforeStart_)
        beforeStart_(*program);
    return program;
}

void Driver::report(Form&, const rt::RuntimeError& error)
{
    error_ = error;
}

std::string Driver::execute(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#')
        return {};
    const auto space = line.find(' ');
    const std::string_view verb = line.substr(0, space);
    std::string_view rest =
        space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
    std::string answer;
    if (verb == "click") {
        answer = click(rest);
    } else if (verb == "type") {
        const auto gap = rest.find(' ');
        const std::string_view target = rest.substr(0, gap);
        const std::string_view text =
            gap == std::string_view::npos ? std::string_view{} : rest.substr(gap + 1);
        answer = type(target, text);
    } else if (verb == "close") {
        answer = close(rest);
    } else if (verb == "dump") {
        answer = dump(rest);
    } else if (verb == "screens") {
        answer = screens();
    } else if (verb == "save") {
        answer = save();
    } else if (verb == "restore") {
        answer = restore();
    } else {
        answer = refused("unknown command " + jsonString(verb));
    }
    return answer;
}

std::string Driver::outcome()
{
    if (program_->ended())
        return "ended\n";
    if (error_) {
        const rt::RuntimeError e = *error_;
        error_.reset();
        return "error " + std::to_string(e.number()) + " " +
               std::string(rt::errorText(e.number())) + "\n";
    }
    return "ok\n";
}

// The shown screen of that name, or the reason a user could not reach it.
std::variant<Form*, std::string> Driver::shownScreen(std::string_view screen) const
{
    Form* form = program_->form(screen);
    if (!form)
        return refused(std::string(screen) + " is not created");
    if (!form->shown())
        return refused(std::string(screen) + " is hidden");
    return form;
}

// The enabled control of that kind on a shown screen, or the reason a user
// could not work it.
std::variant<Driver::Target, std::string> Driver::usableControl(std::string_view target,
                                                                Kind kind) const
{
    const auto [screen, name] = splitTarget(target);
    auto shown = shownScreen(screen);
    if (auto* reason = std::get_if<std::string>(&shown))
        return *reason;
    Form* form = std::get<Form*>(shown);
    const engine::Control* c = form->control(name);
    if (!c)
        return refused("no control " + std::string(target));
    if (c->kind != kind)
        return refused(std::string(target) + " is a " + std::string(kindWord(c->kind)));
    if (!form->enabledOf(*c))
        return refused(std::string(target) + " is disabled");
    return Target{form, c};
}

std::string Driver::click(std::string_view target)
{
    auto control = usableControl(target, Kind::Button);
    if (auto* reason = std::get_if<std::string>(&control))
        return *reason;
    const auto [form, button] = std::get<Target>(control);
    program_->click(*form, button->name);
    return outcome();
}

std::string Driver::type(std::string_view target, std::string_view text)
{
    auto control = usableControl(target, Kind::Field);
    if (auto* reason = std::get_if<std::string>(&control))
        return *reason;
    // Select everything and type over it.
    const auto [form, field] = std::get<Target>(control);
    form->enter(field->name, text);
    return "ok\n";
}

std::string Driver::close(std::string_view screen)
{
    auto shown = shownScreen(screen);
    if (auto* reason = std::get_if<std::string>(&shown))
        return *reason;
    program_->closeBox(*std::get<Form*>(shown));
    return outcome();
}

std::string Driver::dump(std::string_view screen)
{
    const Form* form = program_->form(screen);
    if (!form)
        return refused(std::string(screen) + " is not created");
    std::vector<const engine::Control*> order;
    for (const engine::Control& c : form->table().controls)
        order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto* a, const auto* b) { return a->tab < b->tab; });
    std::string out;
    for (const engine::Control* c : order) {
        out += std::string(screen) + "." + std::string(c->name) + " " +
               std::string(kindWord(c->kind)) + " " + (form->enabledOf(*c) ? "1" : "0") + " " +
               std::to_string(shownTwips(c->left)) + " " + std::to_string(shownTwips(c->top)) +
               " " + std::to_string(shownTwips(c->width)) + " " +
               std::to_string(shownTwips(c->height)) + " " + jsonString(form->textOf(*c)) + "\n";
    }
    return out + "ok\n";
}

std::string Driver::screens()
{
    std::string out;
    for (const engine::ScreenDef* def : program_->screens()) {
        const std::string_view name = def->table->name;
        const Form* form = program_->form(name);
        std::string state = "not-created";
        int width = 0;
        int height = 0;
        std::string caption(def->table->caption);
        if (form) {
            state = form->shown() ? "shown" : "hidden";
            width = shownTwips(def->table->width);
            height = shownTwips(def->table->height);
        }
        out += std::string(name) + " " + state + " " + std::to_string(width) + " " +
               std::to_string(height) + " " + jsonString(caption) + "\n";
    }
    return out + "ok\n";
}

// The program's state as the web page keeps it, kept for "restore" too.
std::string Driver::save()
{
    saved_ = program_->save();
    return *saved_ + "ok\n";
}

// The session carried over into a new program restored from the last saved
// state, as the web page is when the browser reloads it.
std::string Driver::restore()
{
    if (!saved_)
        return refused("nothing saved");
    // Tried first with no front end: a refused state changes nothing.
    engine::Program probe(screens::programScreens(), *this, format_);
    if (!probe.restore(*saved_))
        return refused("the saved state is not one of these screens");
    std::unique_ptr<engine::Program> fresh = newProgram();
    fresh->restore(*saved_);
    program_ = std::move(fresh);
    error_.reset();
    return "ok\n";
}

} // namespace cepomer::drive
