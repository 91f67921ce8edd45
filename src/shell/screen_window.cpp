// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/screen_window.h"

#include <algorithm>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "shell/platform.h"

namespace cepomer::shell {
namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QRect pixels(const Control& c)
{
    return {c.left / kTwipsPerPixel, c.top / kTwipsPerPixel, c.width / kTwipsPerPixel,
            c.height / kTwipsPerPixel};
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

// The label heading the section a control stands in: the nearest label above
// it that spans it.
const Control* sectionLabel(const ScreenTable& table, const Control& control)
{
    const Control* best = nullptr;
    for (const Control& c : table.controls) {
        if (c.kind != Kind::Label || c.top >= control.top || c.left > control.left ||
            c.left + c.width < control.left + control.width)
            continue;
        if (!best || c.top > best->top)
            best = &c;
    }
    return best;
}

} // namespace

QString accessibleName(const ScreenTable& table, const Control& control)
{
    // A button with a caption is named by it. Two buttons of one caption (the
    // series and the parallel "R,C") are told apart by their section:
    // "последовательной: R,C", "параллельной: R,C".
    if (control.kind == Kind::Button && !control.caption.empty()) {
        const QString own = qs(control.caption);
        for (const Control& other : table.controls) {
            if (&other == &control || other.kind != Kind::Button ||
                qs(other.caption).trimmed() != own.trimmed())
                continue;
            if (const Control* section = sectionLabel(table, control))
                return qs(section->caption).trimmed() + ": " + own.trimmed();
        }
        return own;
    }
    const Control* label = namingLabel(table, control);
    if (!label)
        return {};
    const QString own = qs(label->caption).trimmed();
    // Two fields named alike (an input and its result) are told apart by the
    // heading of their section: "ввод значений: I,A", "результат: I,A".
    for (const Control& other : table.controls) {
        if (&other == &control || other.kind == Kind::Label)
            continue;
        const Control* otherLabel = namingLabel(table, other);
        if (otherLabel && qs(otherLabel->caption).trimmed() == own) {
            if (const Control* section = sectionLabel(table, control))
                return qs(section->caption).trimmed() + ": " + own;
        }
    }
    return own;
}

const Control* namingLabel(const ScreenTable& table, const Control& control)
{
    const Control* best = nullptr;
    for (const Control& c : table.controls) {
        if (c.kind != Kind::Label || c.top != control.top || c.left + c.width > control.left)
            continue;
        if (!best || c.left > best->left)
            best = &c;
    }
    return best;
}

ScreenWindow::ScreenWindow(const ScreenDef& screen, ClickFn onClick, CloseFn onClose)
    : table_(*screen.table), onClose_(std::move(onClose))
{
    const ScreenTable& table = table_;
    setObjectName(qs(table.name));
    setWindowTitle(qs(table.caption));
    const QSize client(table.width / kTwipsPerPixel, table.height / kTwipsPerPixel);
    if (table.border == Border::FixedSingle) {
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
            if (const QString name = shell::accessibleName(table, c); name != qs(c.caption))
                control(c.name)->setAccessibleName(name);
            continue;
        }
        if (const Control* label = namingLabel(table, c)) {
            QWidget* w = control(c.name);
            w->setAccessibleName(shell::accessibleName(table, c));
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
    std::vector<const Control*> order;
    for (const Control& c : table.controls)
        if (c.kind != Kind::Label)
            order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->tab < b->tab; });
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

} // namespace cepomer::shell
