// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The generic builder: one live window made from a screen table.
#pragma once

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include <QWidget>

#include "shell/screen_def.h"

namespace cepomer::shell {

class ScreenWindow : public QWidget {
    Q_OBJECT
  public:
    using ClickFn = std::function<void(std::string_view button)>;
    using CloseFn = std::function<void()>;

    // Builds the window and every control of the screen's table: captions,
    // geometry, initial Enabled, alignment, tab order, accessible names, tool
    // tips, and the focus on the enabled control with the lowest tab index.
    // Fields start empty.
    ScreenWindow(const ScreenDef& screen, ClickFn onClick, CloseFn onClose);

    const ScreenTable& table() const { return table_; }
    // The control of that name, or nullptr.
    QWidget* control(std::string_view name) const;
    // Places the window in the centre of the screen's available area, where
    // the platform lets a program place its windows (not on Wayland).
    void centre();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const ScreenTable& table_;
    CloseFn onClose_;
    std::vector<std::pair<std::string_view, QWidget*>> controls_; // table order
};

// The label that names a control: the nearest label ending left of it in the
// same row. nullptr when there is none.
const Control* namingLabel(const ScreenTable& table, const Control& control);

// The accessible name of a field or of a button without caption: the caption
// of its naming label, with the section heading first where another control
// of the screen is named by the same caption. Empty when no label names it.
// A button with a caption is named by its caption, with the section heading
// first where another button has the same caption.
QString accessibleName(const ScreenTable& table, const Control& control);

} // namespace cepomer::shell
