// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/command_line.h"

#include <array>
#include <cstdio>
#include <string_view>

#include <QCommandLineParser>
#include <QCoreApplication>

#include "cepomer/version.h"

namespace cepomer::desktop {
namespace {

constexpr int kBadUsage = 2;

// How Qt reads an option's value.
enum class Value {
    None,     // a flag
    Separate, // only "-name value"
    Either,   // "-name value" or "-name=value"
    Attached, // only "-name=value"
};

struct QtOption {
    std::string_view name;
    Value value;
};

// The options QCoreApplication, QGuiApplication and QApplication read, and
// those of the X11 and Windows platform plug-ins (Qt 6.4). Qt takes one dash
// or two alike.
constexpr std::array<QtOption, 25> kQtOptions{{
    {"platform", Value::Separate},
    {"platformpluginpath", Value::Separate},
    {"platformtheme", Value::Separate},
    {"plugin", Value::Separate},
    {"qwindowgeometry", Value::Separate},
    {"qwindowicon", Value::Separate},
    {"qwindowtitle", Value::Separate},
    {"reverse", Value::None},
    {"session", Value::Separate},
    {"testability", Value::None},
    {"qmljsdebugger", Value::Either},
    {"style", Value::Either},
    {"stylesheet", Value::Either},
    {"widgetcount", Value::None},
    {"display", Value::Separate},
    {"geometry", Value::Separate},
    {"title", Value::Separate},
    {"icon", Value::Separate},
    {"name", Value::Separate},
    {"visual", Value::Separate},
    {"sync", Value::None},
    {"nograb", Value::None},
    {"dograb", Value::None},
    {"dialogs", Value::Attached},
    {"fontengine", Value::Attached},
}};

const QtOption* qtOption(std::string_view name)
{
    for (const QtOption& option : kQtOptions)
        if (option.name == name)
            return &option;
    return nullptr;
}

void write(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// The arguments as Qt reads them: "-name=value" of an option whose value Qt
// takes only after a space becomes "-name" "value". The arguments have been
// parsed without error, so every option is known and has its value.
std::vector<std::string> forQt(int argc, char* argv[])
{
    std::vector<std::string> result;
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument = argv[i];
        std::string_view name = argument;
        if (i == 0 || !name.starts_with('-')) {
            result.emplace_back(argument);
            continue;
        }
        name.remove_prefix(name.starts_with("--") ? 2 : 1);
        const auto equals = name.find('=');
        const QtOption* option = qtOption(name.substr(0, equals));
        if (option && option->value == Value::Separate && equals != std::string_view::npos) {
            result.emplace_back(argument.substr(0, argument.size() - name.size() + equals));
            result.emplace_back(name.substr(equals + 1));
            continue;
        }
        result.emplace_back(argument);
        const bool valueFollows = option && option->value != Value::None &&
                                  option->value != Value::Attached &&
                                  equals == std::string_view::npos;
        if (valueFollows && i + 1 < argc)
            result.emplace_back(argv[++i]);
    }
    return result;
}

} // namespace

CommandLine::CommandLine(int argc, char* argv[], const char* name, const char* summary)
{
    const QString program = QString::fromUtf8(name);
    QCoreApplication::setApplicationName(program);
    QCoreApplication::setApplicationVersion(QString::fromUtf8(kVersion));

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QString::fromUtf8(summary));
    const QCommandLineOption help({"h", "help"}, "Displays this help.");
    const QCommandLineOption version({"v", "version"}, "Displays version information.");
    parser.addOption(help);
    parser.addOption(version);
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name.data(), qt.name.size()));
        if (qt.value != Value::None)
            option.setValueName("value");
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString error;
    if (!parser.parse(arguments))
        error = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        error = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments()[0]);

    if (!error.isEmpty()) {
        write(stderr, QStringLiteral("%1: %2\nTry '%1 --help'.\n").arg(program, error));
        exitStatus_ = kBadUsage;
    } else if (parser.isSet(help)) {
        // Qt's usage line names no program before the application object exists.
        QString text = parser.helpText();
        text.replace(0, text.indexOf('\n'), QStringLiteral("Usage: %1 [options]").arg(program));
        text += QStringLiteral("\nThe options of Qt applications (-platform, -display, ...) are "
                               "accepted too.\nSee %1(1).\n")
                    .arg(program);
        write(stdout, text);
        exitStatus_ = 0;
    } else if (parser.isSet(version)) {
        write(stdout, QStringLiteral("%1 %2\n").arg(program, QString::fromUtf8(kVersion)));
        exitStatus_ = 0;
    }
    if (exitStatus_)
        return;

    arguments_ = forQt(argc, argv);
    for (std::string& argument : arguments_)
        argv_.push_back(argument.data());
    argc_ = static_cast<int>(arguments_.size());
    argv_.push_back(nullptr);
}

} // namespace cepomer::desktop
