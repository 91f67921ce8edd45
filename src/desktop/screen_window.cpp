// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/screen_window.h"

#include <algorithm>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "desktop/platform.h"
#include "engine/naming.h"

namespace cepomer::desktop {
namespace {

using engine::Align;
using engine::Control;
using engine::Kind;
using engine::ScreenDef;
using engine::ScreenTable;
using engine::Tip;

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QRect pixels(const Control& c)
{
    return {c.left / engine::kTwipsPerPixel, c.top / engine::kTwipsPerPixel,
            c.width / engine::kTwipsPerPixel, c.height / engine::kTwipsPerPixel};
}

Qt::Alignment alignment(Align a)
{
    switch (a) {
    case Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case Align::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

ScreenWindow::ScreenWindow(const ScreenDef& screen, ClickFn onClick, EditFn onEdit, CloseFn onClose)
    : table_(*screen.table), onClose_(std::move(onClose))
{
    const ScreenTable& table = table_;
    setObjectName(qs(table.name));
    setWindowTitle(qs(table.caption));
    const QSize client(table.width / engine::kTwipsPerPixel, table.height / engine::kTwipsPerPixel);
    if (table.border == engine::Border::FixedSingle) {
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
        setFixedSize(client);
    } else {
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
        resize(client);
    }

    for (const Control& c : table.controls) {
        QWidget* w = nullptr;
        switch (c.kind) {
        case Kind::Label: {
            auto* label = new QLabel(qs(c.caption), this);
            label->setAlignment(alignment(c.align));
            label->setFocusPolicy(Qt::NoFocus);
            w = label;
            break;
        }
        case Kind::Field: {
            auto* edit = new QLineEdit(this);
            edit->setFrame(true);
            const std::string_view name = c.name;
            connect(edit, &QLineEdit::textChanged, this,
                    [onEdit, name](const QString& text) { onEdit(name, text); });
            w = edit;
            break;
        }
        case Kind::Button: {
            auto* button = new QPushButton(qs(c.caption), this);
            // Nothing is a default button, so Enter in a field presses nothing;
            // Space or Enter presses the focused button (see eventFilter).
            button->setAutoDefault(false);
            button->setDefault(false);
            button->installEventFilter(this);
            button->setFocusPolicy(Qt::StrongFocus);
            const std::string_view name = c.name;
            connect(button, &QPushButton::clicked, this, [onClick, name] { onClick(name); });
            w = button;
            break;
        }
        }
        w->setObjectName(qs(c.name));
        w->setGeometry(pixels(c));
        w->setEnabled(c.enabled);
        controls_.emplace_back(c.name, w);
    }

    // Accessible names: a field, or a button without caption, takes the caption
    // of the label that names it, and that label becomes its buddy. A button
    // with a caption keeps it as its name unless another button shares it.
    for (const Control& c : table.controls) {
        if (c.kind == Kind::Label)
            continue;
        if (c.kind == Kind::Button && !c.caption.empty()) {
            if (const QString name = qs(engine::accessibleName(table, c)); name != qs(c.caption))
                control(c.name)->setAccessibleName(name);
            continue;
        }
        if (const Control* label = engine::namingLabel(table, c)) {
            QWidget* w = control(c.name);
            w->setAccessibleName(qs(engine::accessibleName(table, c)));
            static_cast<QLabel*>(control(label->name))->setBuddy(w);
        }
    }

    for (const Tip& tip : screen.tips) {
        if (QWidget* w = control(tip.control)) {
            w->setToolTip(qs(tip.text));
            w->setAccessibleDescription(qs(tip.text));
        }
    }

    // Tab order by tab index; labels never take the focus.
    const std::vector<const Control*> order = engine::tabOrder(table);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(control(order[i - 1]->name), control(order[i]->name));
    for (const Control* c : order) {
        if (c->enabled) {
            control(c->name)->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
}

QWidget* ScreenWindow::control(std::string_view name) const
{
    for (const auto& [n, w] : controls_)
        if (n == name)
            return w;
    return nullptr;
}

void ScreenWindow::centre()
{
    if (platformPlacesWindows())
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
}

bool ScreenWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Enter on a focused push button presses it, as Space does. Qt does this
    // only for default buttons, which would also draw the last focused button
    // as the default one.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (auto* button = qobject_cast<QPushButton*>(watched); button && button->isEnabled()) {
                button->click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ScreenWindow::closeEvent(QCloseEvent* event)
{
    // The window model decides what the close box does; the window itself is
    // never closed this way.
    event->ignore();
    if (onClose_)
        onClose_();
}

} // namespace cepomer::desktop
