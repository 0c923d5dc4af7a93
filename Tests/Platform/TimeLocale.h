#pragma once
// Runs a test under one LC_TIME locale and puts the previous one back.
#include <clocale>
#include <string>

class TimeLocale {
public:
    explicit TimeLocale(const char* name) {
        const char* current = std::setlocale(LC_TIME, nullptr);
        previous_ = current != nullptr ? current : "C";
        ok_ = std::setlocale(LC_TIME, name) != nullptr;
    }
    ~TimeLocale() { std::setlocale(LC_TIME, previous_.c_str()); }
    TimeLocale(const TimeLocale&) = delete;
    TimeLocale& operator=(const TimeLocale&) = delete;

    // False when the system does not have the locale (scripts/setup.sh generates it).
    bool ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_ = false;
};
