// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The yardstick of the start-up benchmark: the smallest Qt Widgets program
// with a window like ours, one label, one field and one button.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("empty");
    window.setFixedSize(245, 155);
    auto* label = new QLabel("label", &window);
    label->setGeometry(5, 5, 150, 16);
    auto* field = new QLineEdit(&window);
    field->setGeometry(5, 30, 150, 19);
    auto* button = new QPushButton("button", &window);
    button->setGeometry(5, 60, 150, 16);
    window.show();
    return QApplication::exec();
}
