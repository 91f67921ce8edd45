// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The generic builder: one live window made from a screen table.
#pragma once

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include <QWidget>

#include "engine/screen_def.h"

namespace cepomer::desktop {

class ScreenWindow : public QWidget {
    Q_OBJECT
  public:
    using ClickFn = std::function<void(std::string_view button)>;
    using EditFn = std::function<void(std::string_view field, const QString& text)>;
    using CloseFn = std::function<void()>;

    // Builds the window and every control of the screen's table: captions,
    // geometry, initial Enabled, alignment, tab order, accessible names, tool
    // tips, and the focus on the enabled control with the lowest tab index.
    // Fields start empty. Every change of a field's text is passed on as it
    // happens, and so are clicks and the close box.
    ScreenWindow(const engine::ScreenDef& screen, ClickFn onClick, EditFn onEdit, CloseFn onClose);

    const engine::ScreenTable& table() const { return table_; }
    // The control of that name, or nullptr.
    QWidget* control(std::string_view name) const;
    // Places the window in the centre of the screen's available area, where
    // the platform lets a program place its windows (not on Wayland).
    void centre();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const engine::ScreenTable& table_;
    CloseFn onClose_;
    std::vector<std::pair<std::string_view, QWidget*>> controls_; // table order
};

} // namespace cepomer::desktop
