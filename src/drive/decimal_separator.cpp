// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The decimal separator of a locale by its name, from the standard locale
// data, whether or not the machine has that locale installed.
#include <algorithm>
#include <cctype>
#include <utility>

#include "drive/number_format.h"

namespace cepomer::drive {
namespace {

// Language, or language_TERRITORY, and the decimal separator: every language
// whose separator is not a point, and every locale whose separator is not its
// language's.
constexpr std::pair<std::string_view, std::string_view> kSeparators[] = {
#include "drive/decimal_separators.inc"
};

// Old language codes that locale names still use, and the ones that replaced them.
constexpr std::pair<std::string_view, std::string_view> kRenamed[] = {
    {"in", "id"}, {"iw", "he"}, {"ji", "yi"}, {"jw", "jv"},
    {"mo", "ro"}, {"no", "nb"}, {"sh", "sr"}, {"tl", "fil"},
};

std::string_view lookUp(std::string_view key)
{
    const auto* end = std::end(kSeparators);
    const auto* it = std::find_if(std::begin(kSeparators), end,
                                  [key](const auto& entry) { return entry.first == key; });
    return it == end ? std::string_view{} : it->second;
}

} // namespace

std::string decimalSeparator(std::string_view locale)
{
    // language[_TERRITORY][.codeset][@modifier]
    locale = locale.substr(0, locale.find_first_of(".@"));
    const auto underscore = locale.find('_');
    std::string language(locale.substr(0, underscore));
    std::transform(language.begin(), language.end(), language.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& [old, current] : kRenamed)
        if (language == old)
            language = current;
    if (underscore != std::string_view::npos) {
        std::string territory(locale.substr(underscore + 1));
        std::transform(territory.begin(), territory.end(), territory.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (const auto own = lookUp(language + "_" + territory); !own.empty())
            return std::string(own);
    }
    const auto byDefault = lookUp(language);
    return byDefault.empty() ? "." : std::string(byDefault);
}

} // namespace cepomer::drive
