// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Helpers shared by the widget tests.
#pragma once

#include <optional>
#include <vector>

#include <QCoreApplication>

#include "engine/form.h"
#include "engine/program.h"

namespace cepomer::test {

// Set while a test waits for a modal dialog of its own.
extern bool expectingModal;

// Records run-time errors instead of showing them.
class RecordingReporter : public engine::ErrorReporter {
  public:
    void report(engine::Form& where, const rt::RuntimeError& error) override
    {
        screens.emplace_back(where.name());
        numbers.push_back(error.number());
    }
    std::vector<std::string> screens;
    std::vector<int> numbers;
};

// Lets deleteLater() and posted events run, as the event loop would.
inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace cepomer::test
