// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "web/dom.h"

#include <emscripten.h>

namespace cepomer::web::dom {
namespace {

// clang-format off
EM_JS(void, jsAddWindow, (const char* screen, const char* markup, int replace), {
    const built = document.querySelector('section[data-screen="' + UTF8ToString(screen) + '"]');
    if (!built)
        document.getElementById("desk").insertAdjacentHTML("beforeend", UTF8ToString(markup));
    else if (replace) {
        built.insertAdjacentHTML("afterend", UTF8ToString(markup));
        built.remove();
    }
});

EM_JS(void, jsSetHidden, (const char* screen, int hidden), {
    document.querySelector('section[data-screen="' + UTF8ToString(screen) + '"]').hidden = !!hidden;
});

EM_JS(void, jsRemoveWindow, (const char* screen), {
    document.querySelector('section[data-screen="' + UTF8ToString(screen) + '"]').remove();
});

EM_JS(void, jsFit, (), {
    Module.fit();
});

EM_JS(void, jsSetValue, (const char* id, const char* value, int onlyIfOther), {
    const e = document.getElementById(UTF8ToString(id));
    const s = UTF8ToString(value);
    if (!onlyIfOther || e.value !== s) e.value = s;
});

EM_JS(int, jsSetDisabled, (const char* id, int disabled), {
    const e = document.getElementById(UTF8ToString(id));
    const hadFocus = document.activeElement === e;
    e.disabled = !!disabled;
    return hadFocus;
});

EM_JS(void, jsFocus, (const char* id), {
    document.getElementById(UTF8ToString(id)).focus();
});

EM_JS(void, jsKeepFocus, (const char* screen), {
    const section = document.querySelector('section[data-screen="' + UTF8ToString(screen) + '"]');
    const active = document.activeElement;
    if (active && active.id && section.contains(active)) section.dataset.focus = active.id;
});

EM_JS(int, jsRestoreFocus, (const char* screen), {
    const section = document.querySelector('section[data-screen="' + UTF8ToString(screen) + '"]');
    if (section.contains(document.activeElement)) return 1;
    const e = section.dataset.focus && document.getElementById(section.dataset.focus);
    if (!e || e.disabled) return 0;
    e.focus();
    return 1;
});

EM_JS(void, jsSetTitle, (const char* title), {
    document.title = UTF8ToString(title);
});

EM_JS(void, jsShowError, (const char* title, const char* text), {
    const dialog = document.getElementById("error");
    document.getElementById("error-title").textContent = UTF8ToString(title);
    document.getElementById("error-text").textContent = UTF8ToString(text);
    if (!dialog.open) {
        const active = document.activeElement;
        dialog.dataset.returnFocus = active && active.id ? active.id : "";
        dialog.showModal();
    }
    document.getElementById("error-ok").focus();
});

EM_JS(void, jsCloseError, (), {
    document.getElementById("error").close();
});

EM_JS(int, jsErrorShown, (), {
    return document.getElementById("error").open ? 1 : 0;
});

EM_JS(void, jsReturnFocusAfterError, (), {
    const e = document.getElementById(document.getElementById("error").dataset.returnFocus || "");
    if (e && !e.disabled) e.focus();
});

EM_JS(void, jsShowEnded, (int shown), {
    document.getElementById("loading").hidden = true;
    document.getElementById("ended").hidden = !shown;
    if (shown) document.getElementById("restart").focus();
});

EM_JS(void, jsReady, (), {
    const held = Module.release();
    document.documentElement.dataset.started = "1";
    document.dispatchEvent(new Event("cepomer-ready"));
    queueMicrotask(() => {
        for (const what of held) {
            const e = what.field || what;
            if (what === "back")
                Module.ccall("cepomer_back");
            else if (!e.isConnected || e.disabled)
                continue;
            else if (what.field)
                Module.ccall("cepomer_input", null, ["string", "string", "string"],
                             [e.dataset.screen, e.dataset.control, what.value]);
            else
                e.click();
        }
        setTimeout(() => Module.decimalSeparator()); // ready before a number is written
    });
});

EM_JS(void, jsPushHistory, (), {
    // The entry the page made for a calculator it showed before the engine
    // ran is that calculator's.
    if (history.state === "answered")
        history.replaceState("calculator", "");
    else
        history.pushState("calculator", "");
});

EM_JS(void, jsBackInHistory, (), {
    history.replaceState(null, "");
    history.back();
});

EM_JS(void, jsReplaceHistory, (), {
    history.replaceState(null, "");
});

EM_JS(int, jsInCalculatorEntry, (), {
    return history.state === "calculator" ? 1 : 0;
});

// The state is stored under the key "cepomer-state", beside the focus (kept
// by the page's start-up lines on each focus change) under "cepomer-focus".
EM_JS(int, jsSavedState, (char* out, int size), {
    let state = "";
    try {
        state = sessionStorage.getItem("cepomer-state") || "";
    } catch (e) {
    }
    if (out) stringToUTF8(state, out, size);
    return lengthBytesUTF8(state);
});

EM_JS(void, jsSaveState, (const char* state), {
    const s = UTF8ToString(state);
    try {
        if (s) {
            try {
                sessionStorage.setItem("cepomer-state", s);
            } catch (full) {
                // Never the older work: it goes, and the new one is tried
                // again in the room it leaves.
                sessionStorage.removeItem("cepomer-state");
                sessionStorage.setItem("cepomer-state", s);
            }
        } else {
            sessionStorage.removeItem("cepomer-state");
            sessionStorage.removeItem("cepomer-focus");
        }
    } catch (e) {
    }
});

EM_JS(void, jsRestoreSavedFocus, (), {
    // As the page found it when it started, before any focus it gave since.
    const id = Module.savedFocus;
    const e = id ? document.getElementById(id) : null;
    const seen = e && (e.checkVisibility ? e.checkVisibility() : e.offsetParent !== null);
    if (seen && !e.disabled) e.focus();
});

EM_JS(void, jsDecimalSeparator, (char* out, int size), {
    stringToUTF8(Module.decimalSeparator(), out, size);
});

EM_JS(void, jsListen, (), {
    const call = (name, ...args) => Module.ccall(name, null, args.map(() => "string"), args);
    document.addEventListener("click", event => {
        const b = event.target.closest("button");
        if (!b) return;
        if (b.dataset.screen)
            call("cepomer_click", b.dataset.screen, b.dataset.close ? "" : b.dataset.control);
        else
            call("cepomer_page_button", b.id);
    });
    document.addEventListener("input", event => {
        const t = event.target;
        if (t.dataset && t.dataset.control)
            call("cepomer_input", t.dataset.screen, t.dataset.control, t.value);
    });
    window.addEventListener("popstate", () => call("cepomer_back"));
    document.getElementById("error").addEventListener("close", () => call("cepomer_error_closed"));
});
// clang-format on

} // namespace

void addWindow(const std::string& screen, const std::string& markup, bool replace)
{
    jsAddWindow(screen.c_str(), markup.c_str(), replace);
}

void setHidden(const std::string& screen, bool hidden)
{
    jsSetHidden(screen.c_str(), hidden);
}

void removeWindow(const std::string& screen)
{
    jsRemoveWindow(screen.c_str());
}

void fit()
{
    jsFit();
}

void setValue(const std::string& id, const std::string& value)
{
    jsSetValue(id.c_str(), value.c_str(), 0);
}

void offerValue(const std::string& id, const std::string& value)
{
    jsSetValue(id.c_str(), value.c_str(), 1);
}

bool setDisabled(const std::string& id, bool disabled)
{
    return jsSetDisabled(id.c_str(), disabled) != 0;
}

void focus(const std::string& id)
{
    jsFocus(id.c_str());
}

void keepFocus(const std::string& screen)
{
    jsKeepFocus(screen.c_str());
}

bool restoreFocus(const std::string& screen)
{
    return jsRestoreFocus(screen.c_str()) != 0;
}

void setTitle(const std::string& title)
{
    jsSetTitle(title.c_str());
}

void showError(const std::string& title, const std::string& text)
{
    jsShowError(title.c_str(), text.c_str());
}

void closeError()
{
    jsCloseError();
}

bool errorShown()
{
    return jsErrorShown() != 0;
}

void returnFocusAfterError()
{
    jsReturnFocusAfterError();
}

void showEnded(bool shown)
{
    jsShowEnded(shown);
}

void ready()
{
    jsReady();
}

void pushHistory()
{
    jsPushHistory();
}

void backInHistory()
{
    jsBackInHistory();
}

void replaceHistory()
{
    jsReplaceHistory();
}

bool inCalculatorEntry()
{
    return jsInCalculatorEntry() != 0;
}

std::string savedState()
{
    std::string state(static_cast<std::string::size_type>(jsSavedState(nullptr, 0)), '\0');
    if (!state.empty())
        jsSavedState(state.data(), static_cast<int>(state.size() + 1));
    return state;
}

void saveState(const std::string& state)
{
    jsSaveState(state.c_str());
}

void restoreSavedFocus()
{
    jsRestoreSavedFocus();
}

std::string decimalSeparator()
{
    char separator[16] = {};
    jsDecimalSeparator(separator, sizeof separator);
    return separator;
}

void listen()
{
    jsListen();
}

} // namespace cepomer::web::dom
