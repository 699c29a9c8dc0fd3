#pragma once
// Switches the program to a locale whose decimal separator is a comma for as
// long as it lives: Qt's default locale (German) and, where the system has
// it, the C library's LC_NUMERIC ("de_DE.UTF-8").

#include <QLocale>
#include <clocale>
#include <cstring>
#include <string>

class CommaLocale {
public:
    CommaLocale()
    {
        const char *old = std::setlocale(LC_NUMERIC, nullptr);
        oldC_ = old ? old : "C";
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        cLocaleSet_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale()
    {
        std::setlocale(LC_NUMERIC, oldC_.c_str());
        QLocale::setDefault(QLocale::c());
    }
    CommaLocale(const CommaLocale &) = delete;
    CommaLocale &operator=(const CommaLocale &) = delete;

    // True when the comma is really in force: Qt's default locale always, the
    // C library's only when the system has the German locale.
    bool active() const
    {
        if (QLocale().decimalPoint() != QStringLiteral(","))
            return false;
        return !cLocaleSet_ || std::strcmp(std::localeconv()->decimal_point, ",") == 0;
    }
    bool cLibraryToo() const { return cLocaleSet_; }

private:
    std::string oldC_;
    bool cLocaleSet_ = false;
};
