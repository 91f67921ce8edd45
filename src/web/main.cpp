// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The web page's module: the page made once the document is there, and the
// functions the document calls on each event.
#include <memory>

#include <emscripten/bind.h>

#include "web/page.h"

namespace {

std::unique_ptr<cepomer::web::Page> page;

void onClick(emscripten::val event)
{
    page->click(event);
}

void onInput(emscripten::val event)
{
    page->input(event);
}

void onBack(emscripten::val)
{
    page->back();
}

void onResize(emscripten::val)
{
    page->layOut();
}

void onErrorClosed(emscripten::val)
{
    page->errorClosed();
}

} // namespace

EMSCRIPTEN_BINDINGS(cepomer)
{
    emscripten::function("cepomerClick", &onClick);
    emscripten::function("cepomerInput", &onInput);
    emscripten::function("cepomerBack", &onBack);
    emscripten::function("cepomerLayOut", &onResize);
    emscripten::function("cepomerErrorClosed", &onErrorClosed);
}

int main()
{
    page = std::make_unique<cepomer::web::Page>();
    page->start();
    return 0;
}
