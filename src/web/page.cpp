// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "web/page.h"

#include <algorithm>
#include <string_view>

#include "engine/form.h"
#include "engine/naming.h"
#include "screens/screen_list.h"

namespace cepomer::web {
namespace {

using emscripten::val;
using engine::Control;
using engine::Kind;

// The smallest control of any screen is this high on a wide screen.
constexpr double kSmallestControl = 24;

val document()
{
    return val::global("document");
}

val create(const char* tag)
{
    return document().call<val>("createElement", val(tag));
}

val byId(const char* id)
{
    return document().call<val>("getElementById", val(id));
}

void setAttribute(val& element, const char* name, const std::string& value)
{
    element.call<void>("setAttribute", val(name), val(value));
}

void setPixels(val& element, const char* property, int twips)
{
    element["style"].call<void>("setProperty", val(property),
                                val(std::to_string(twips / engine::kTwipsPerPixel)));
}

std::string elementId(const engine::Form& form, const Control& control)
{
    return std::string(form.name()) + "-" + std::string(control.name);
}

std::string dataOf(const val& element, const char* key)
{
    const val value = element["dataset"][key];
    return value.isString() ? value.as<std::string>() : std::string();
}

// The decimal separator of the browser's language.
rt::NumberFormat browserNumberFormat()
{
    const val parts = val::global("Intl")["NumberFormat"]
                          .new_(val::global("navigator")["language"])
                          .call<val>("formatToParts", val(1.5));
    const int count = parts["length"].as<int>();
    for (int i = 0; i < count; ++i)
        if (parts[i]["type"].as<std::string>() == "decimal")
            return rt::NumberFormat{parts[i]["value"].as<std::string>()};
    return rt::NumberFormat{"."};
}

// The window scale: every control of every screen at least kSmallestControl
// CSS pixels high.
double wideScale()
{
    int smallest = 0;
    for (const engine::ScreenDef* def : screens::programScreens())
        for (const Control& c : def->table->controls)
            if (smallest == 0 || c.height < smallest)
                smallest = c.height;
    return kSmallestControl / (static_cast<double>(smallest) / engine::kTwipsPerPixel);
}

} // namespace

Page::Page() : desk_(byId("desk")), scale_(wideScale())
{
    document()["documentElement"]["style"].call<void>("setProperty", val("--s"),
                                                      val(std::to_string(scale_)));
    document().call<void>("addEventListener", val("click"), val::module_property("cepomerClick"));
    document().call<void>("addEventListener", val("input"), val::module_property("cepomerInput"));
    val window = val::global("window");
    window.call<void>("addEventListener", val("popstate"), val::module_property("cepomerBack"));
    window.call<void>("addEventListener", val("resize"), val::module_property("cepomerLayOut"));
    byId("error").call<void>("addEventListener", val("close"),
                             val::module_property("cepomerErrorClosed"));
}

Page::~Page() = default;

void Page::start()
{
    byId("loading").set("hidden", true);
    byId("ended").set("hidden", true);
    program_ =
        std::make_unique<engine::Program>(screens::programScreens(), *this, browserNumberFormat());
    program_->setView(this);
    program_->onEnded = [this] { ended(); };
    program_->start();
    settleHistory();
    document()["documentElement"]["dataset"].set("ready", "1");
}

val Page::element(const engine::Form& form, const Control& control) const
{
    return byId(elementId(form, control).c_str());
}

void Page::loaded(engine::Form& form)
{
    const engine::ScreenTable& table = form.table();
    const std::string name(table.name);
    val section = create("section");
    section.set("className", "window");
    setAttribute(section, "role", "dialog");
    setAttribute(section, "aria-labelledby", name + "-title");
    section["dataset"].set("screen", name);
    section.set("hidden", true);
    setPixels(section, "--cw", table.width);
    setPixels(section, "--ch", table.height);

    val bar = create("div");
    bar.set("className", "titlebar");
    val title = create("h2");
    title.set("id", name + "-title");
    title.set("textContent", std::string(table.caption));
    val close = create("button");
    close.set("type", "button");
    close.set("className", "close");
    close.set("textContent", std::string("×"));
    setAttribute(close, "aria-label", "Закрыть");
    close.set("title", std::string("Закрыть"));
    close["dataset"].set("screen", name);
    close["dataset"].set("close", "1");
    bar.call<void>("append", title, close);

    val client = create("div");
    client.set("className", "client");
    for (const Control* c : engine::readingOrder(table)) {
        const std::string id = elementId(form, *c);
        const std::string accessible = engine::accessibleName(table, *c);
        val e = val::null();
        std::string classes = "control";
        switch (c->kind) {
        case Kind::Label: {
            // The label of a field focuses it; the label of a button without
            // a caption becomes that button's text where the screen is laid
            // out in one column.
            const Control* named = nullptr;
            for (const Control& other : table.controls)
                if (other.kind != Kind::Label && engine::namingLabel(table, other) == c)
                    named = &other;
            e = create(named && named->kind == Kind::Field ? "label" : "span");
            if (named && named->kind == Kind::Field)
                e.set("htmlFor", elementId(form, *named));
            if (named && named->kind == Kind::Button && named->caption.empty())
                classes += " names-button";
            classes += c->align == engine::Align::Right    ? " label right"
                       : c->align == engine::Align::Center ? " label centre"
                                                           : " label";
            e.set("textContent", std::string(c->caption));
            break;
        }
        case Kind::Field:
            e = create("input");
            e.set("type", "text");
            setAttribute(e, "inputmode", "decimal");
            e.set("autocomplete", "off");
            e.set("spellcheck", false);
            e.set("maxLength", static_cast<int>(engine::kMaxFieldLength));
            e.set("value", form.textOf(*c));
            classes += " field";
            if (!accessible.empty())
                setAttribute(e, "aria-label", accessible);
            break;
        case Kind::Button:
            e = create("button");
            e.set("type", "button");
            classes += " button";
            if (c->caption.empty() && !accessible.empty()) {
                // Shown only in the one-column layout, where no label stands beside it.
                val text = create("span");
                text.set("className", "column-only");
                text.set("textContent", accessible);
                setAttribute(text, "aria-hidden", "true");
                e.call<void>("append", text);
            } else {
                e.set("textContent", std::string(c->caption));
            }
            if (!accessible.empty() && accessible != c->caption)
                setAttribute(e, "aria-label", accessible);
            break;
        }
        if (c->kind != Kind::Label) {
            e.set("id", id);
            e["dataset"].set("screen", name);
            e["dataset"].set("control", std::string(c->name));
            e.set("disabled", !form.enabledOf(*c));
        }
        for (const engine::Tip& tip : form.def().tips)
            if (tip.control == c->name)
                e.set("title", std::string(tip.text));
        e.set("className", classes);
        setPixels(e, "--l", c->left);
        setPixels(e, "--t", c->top);
        setPixels(e, "--w", c->width);
        setPixels(e, "--h", c->height);
        client.call<void>("append", e);
    }
    section.call<void>("append", bar, client);
    desk_.call<void>("append", section);
    windows_.insert_or_assign(&form, Window{section, val::null()});
}

// The enabled control that follows `after` (or the first one) in tab order.
void Page::focusFirst(const engine::Form& form, const Control* after)
{
    std::vector<const Control*> order;
    for (const Control& c : form.table().controls)
        if (c.kind != Kind::Label)
            order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->tab < b->tab; });
    auto start = std::find(order.begin(), order.end(), after);
    start = start == order.end() ? order.begin() : std::next(start);
    std::rotate(order.begin(), start, order.end());
    for (const Control* c : order) {
        if (form.enabledOf(*c)) {
            element(form, *c).call<void>("focus");
            return;
        }
    }
}

void Page::shown(engine::Form& form)
{
    Window& w = windows_.at(&form);
    w.section.set("hidden", false);
    document().set("title", std::string(form.table().caption));
    layOut();
    if (!w.lastFocus.isNull() && w.lastFocus["isConnected"].as<bool>() &&
        !w.lastFocus["disabled"].as<bool>())
        w.lastFocus.call<void>("focus");
    else
        focusFirst(form);
}

void Page::hidden(engine::Form& form)
{
    Window& w = windows_.at(&form);
    const val active = document()["activeElement"];
    if (w.section.call<bool>("contains", active))
        w.lastFocus = active;
    w.section.set("hidden", true);
}

void Page::unloaded(engine::Form& form)
{
    windows_.at(&form).section.call<void>("remove");
    windows_.erase(&form);
}

void Page::textSet(engine::Form& form, const Control& field)
{
    element(form, field).set("value", form.textOf(field));
}

void Page::entered(engine::Form& form, const Control& field)
{
    val e = element(form, field);
    if (e["value"].as<std::string>() != form.textOf(field))
        e.set("value", form.textOf(field));
}

void Page::enabledSet(engine::Form& form, const Control& control)
{
    val e = element(form, control);
    const bool hadFocus = document()["activeElement"] == e;
    e.set("disabled", !form.enabledOf(control));
    if (hadFocus && !form.enabledOf(control))
        focusFirst(form, &control); // as the desktop moves it on
}

void Page::report(engine::Form& where, const rt::RuntimeError& error)
{
    val dialog = byId("error");
    byId("error-title").set("textContent", std::string(where.table().caption));
    byId("error-text").set("textContent", std::string(error.what()));
    if (!dialog["open"].as<bool>()) {
        returnFocus_ = document()["activeElement"];
        dialog.call<void>("showModal");
    }
    byId("error-ok").call<void>("focus");
}

void Page::errorClosed()
{
    if (!returnFocus_.isNull() && returnFocus_["isConnected"].as<bool>())
        returnFocus_.call<void>("focus");
    returnFocus_ = val::null();
}

void Page::ended()
{
    val ended = byId("ended");
    ended.set("hidden", false);
    document().set("title", std::string("Цепомер"));
    byId("restart").call<void>("focus");
}

void Page::click(const val& event)
{
    const val target = event["target"].call<val>("closest", val("button"));
    if (target.isNull())
        return;
    const std::string id = target["id"].as<std::string>();
    if (id == "restart") {
        start();
        return;
    }
    if (id == "error-ok") {
        byId("error").call<void>("close");
        return;
    }
    engine::Form* form = program_ ? program_->form(dataOf(target, "screen")) : nullptr;
    if (!form || !form->shown())
        return;
    knowNumberFormat();
    if (!dataOf(target, "close").empty())
        program_->closeBox(*form);
    else if (const std::string control = dataOf(target, "control"); !control.empty())
        program_->click(*form, control);
    settleHistory();
}

void Page::knowNumberFormat()
{
    if (!format_) {
        format_ = browserNumberFormat();
        program_->setNumberFormat(*format_);
    }
}

void Page::input(const val& event)
{
    const val target = event["target"];
    engine::Form* form = program_ ? program_->form(dataOf(target, "screen")) : nullptr;
    const std::string control = dataOf(target, "control");
    if (form && !control.empty())
        form->enter(control, target["value"].as<std::string>());
}

// A calculator shown is a step into the page's history, so that Back (on a
// phone, the back gesture) closes it as its close box does instead of
// leaving the page.
void Page::settleHistory()
{
    bool calculator = false;
    if (program_ && !program_->ended())
        for (const engine::ScreenDef* def : program_->screens().subspan(1))
            if (const engine::Form* form = program_->form(def->table->name))
                calculator = calculator || form->shown();
    val history = val::global("history");
    if (calculator && !calculatorEntry_) {
        history.call<void>("pushState", val("calculator"), val(""));
        calculatorEntry_ = true;
    } else if (!calculator && calculatorEntry_) {
        calculatorEntry_ = false;
        popExpected_ = true;
        history.call<void>("back");
    }
}

void Page::back()
{
    if (popExpected_) {
        popExpected_ = false;
        return;
    }
    calculatorEntry_ = false;
    if (val dialog = byId("error"); dialog["open"].as<bool>())
        dialog.call<void>("close");
    else if (program_ && !program_->ended())
        for (const engine::ScreenDef* def : program_->screens().subspan(1))
            if (engine::Form* form = program_->form(def->table->name); form && form->shown()) {
                knowNumberFormat();
                program_->closeBox(*form);
                break;
            }
    settleHistory();
}

// Each shown window at its original layout where it fits, in one column
// where it does not.
void Page::layOut()
{
    const double available = document()["documentElement"]["clientWidth"].as<double>();
    for (auto& [form, w] : windows_) {
        const double wide = form->table().width / engine::kTwipsPerPixel * scale_;
        w.section["classList"].call<void>("toggle", val("narrow"), val(available < wide + 24));
    }
}

} // namespace cepomer::web
