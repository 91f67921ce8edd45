// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The web page's module: the page made once the document is there, and the
// functions the document calls on each event.
#include <memory>

#include <emscripten.h>

#include "web/page.h"

namespace {

std::unique_ptr<cepomer::web::Page> page;

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void cepomer_click(const char* screen, const char* control)
{
    page->click(screen, control);
}

EMSCRIPTEN_KEEPALIVE void cepomer_input(const char* screen, const char* field, const char* text)
{
    page->input(screen, field, text);
}

EMSCRIPTEN_KEEPALIVE void cepomer_page_button(const char* id)
{
    page->pageButton(id);
}

EMSCRIPTEN_KEEPALIVE void cepomer_back()
{
    page->back();
}

EMSCRIPTEN_KEEPALIVE void cepomer_error_closed()
{
    page->errorClosed();
}

} // extern "C"

int main()
{
    page = std::make_unique<cepomer::web::Page>();
    page->start(true);
    return 0;
}
