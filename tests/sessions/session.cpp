// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "session.h"

#include <cstdio>
#include <ostream>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest/QTest>

#include "desktop/screen_window.h"
#include "engine/form.h"
#include "screens/screen_list.h"

namespace cepomer::test {

std::string quoted(const QString& text)
{
    constexpr qsizetype kShown = 80;
    std::string out = "\"";
    const qsizetype shown = text.size() > 2 * kShown ? kShown : text.size();
    for (qsizetype i = 0; i < shown; ++i) {
        const QChar c = text.at(i);
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c.unicode());
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7f || c.isSurrogate()) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c.unicode()));
            out += buf;
        } else {
            out += QString(c).toStdString();
        }
    }
    out += '"';
    if (shown < text.size())
        out += "... (" + std::to_string(text.size()) + " characters)";
    return out;
}

namespace {

// Which push button of a window a key or click really pressed.
class ClickWatch {
  public:
    explicit ClickWatch(QWidget& window)
    {
        for (QPushButton* button : window.findChildren<QPushButton*>()) {
            QObject::connect(button, &QAbstractButton::clicked, &context_, [this, button] {
                if (pressed_.empty())
                    pressed_ = button->objectName().toStdString();
            });
        }
    }
    const std::string& pressed() const { return pressed_; }

  private:
    QObject context_;
    std::string pressed_;
};

// Types a text key by key, as a keyboard would send it: printable ASCII with
// its key code, Tab, Enter and Backspace as those keys, anything else as text
// with no key code.
void typeKeys(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        Qt::Key key = Qt::Key_unknown;
        if (u >= 0x20 && u < 0x7f)
            key = static_cast<Qt::Key>(QChar(u).toUpper().unicode());
        else if (u == u'\t')
            key = Qt::Key_Tab;
        else if (u == u'\n' || u == u'\r')
            key = Qt::Key_Return;
        else if (u == 0x08)
            key = Qt::Key_Backspace;
        else if (u == 0x7f)
            key = Qt::Key_Delete;
        QTest::sendKeyEvent(QTest::Press, widget, key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, key, QString(c), Qt::NoModifier);
    }
}

} // namespace

std::string describe(const Action& a)
{
    const std::string target = a.screen + (a.control.empty() ? "" : "." + a.control);
    switch (a.kind) {
    case ActionKind::Click:
        return "click " + target;
    case ActionKind::Type:
        return std::string(a.append ? "type-at-end " : "type ") + target + " " + quoted(a.text);
    case ActionKind::Paste:
        return std::string(a.append ? "paste-at-end " : "paste ") + target + " " + quoted(a.text);
    case ActionKind::Keys:
        return "keys " + target + " " + quoted(a.text);
    case ActionKind::Key:
        return "key " + target + " " + QKeySequence(a.key | a.modifiers).toString().toStdString();
    case ActionKind::Close:
        break;
    }
    return "close " + target;
}

void ErrorLog::report(engine::Form& where, const rt::RuntimeError& error)
{
    numbers.push_back(error.number());
    screens.emplace_back(where.name());
}

Session::Session(rt::NumberFormat format)
    : program_(
          std::make_unique<engine::Program>(screens::programScreens(), errors_, std::move(format))),
      desktop_(std::make_unique<desktop::Desktop>(*program_))
{
    program_->start();
}

Session::~Session()
{
    desktop_.reset();
    program_.reset();
    settleEvents();
}

std::string Session::shownScreen() const
{
    std::string shown;
    int count = 0;
    for (const engine::ScreenDef* def : program_->screens()) {
        const engine::Form* form = program_->form(def->table->name);
        if (form && window(*form).isVisible()) {
            shown = std::string(def->table->name);
            ++count;
        }
    }
    return count == 1 ? shown : std::string();
}

Outcome Session::apply(const Action& a)
{
    Outcome out;
    engine::Form* form = ended() ? nullptr : program_->form(a.screen);
    if (!form || !window(*form).isVisible())
        return out;
    QPointer<desktop::ScreenWindow> window = &this->window(*form);
    ClickWatch watch(*window);

    switch (a.kind) {
    case ActionKind::Click: {
        auto* button = qobject_cast<QPushButton*>(window->control(a.control));
        if (!button || !button->isEnabled())
            return out;
        out.applied = true;
        button->click();
        break;
    }
    case ActionKind::Type:
    case ActionKind::Paste:
    case ActionKind::Keys: {
        auto* edit = qobject_cast<QLineEdit*>(window->control(a.control));
        if (!edit || !edit->isEnabled())
            return out;
        out.applied = true;
        out.typedInto = a.control;
        edit->setFocus(Qt::OtherFocusReason);
        if (a.kind == ActionKind::Keys || a.append)
            edit->end(false);
        else
            edit->selectAll();
        if (a.kind == ActionKind::Keys) {
            typeKeys(edit, a.text);
        } else if (a.kind == ActionKind::Paste) {
            QGuiApplication::clipboard()->setText(a.text);
            edit->paste();
        } else {
            edit->insert(a.text);
        }
        break;
    }
    case ActionKind::Key: {
        QPointer<QWidget> target = window->focusWidget();
        if (!target)
            target = window.data();
        out.applied = true;
        if (qobject_cast<QLineEdit*>(target) && target->isEnabled())
            out.typedInto = target->objectName().toStdString();
        const auto key = static_cast<Qt::Key>(a.key);
        const auto modifiers = Qt::KeyboardModifiers(a.modifiers);
        QTest::keyPress(target, key, modifiers);
        if (target && !ended())
            QTest::keyRelease(target, key, modifiers);
        break;
    }
    case ActionKind::Close:
        out.applied = true;
        window->close();
        break;
    }
    out.pressed = watch.pressed();
    settleEvents();
    return out;
}

void settleEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace cepomer::test

void PrintTo(const QString& text, std::ostream* out)
{
    *out << cepomer::test::quoted(text);
}
