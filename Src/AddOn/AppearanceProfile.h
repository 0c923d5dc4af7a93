#pragma once
// The colours the user chose for the elements of each task type: under way and, when wanted,
// done (without a done colour the elements get their own attributes back when done). Kept in the
// preferences record; the default is the task-type materials' own colours.
#include <cstdint>
#include <string>

class AppearanceProfile {
public:
    static constexpr int kTypes = 5;        // by TASKTYPE
    static constexpr int kStoredSize = 60;  // bytes in the preferences record

    struct Look {
        uint8_t red = 0, green = 0, blue = 0;
        uint8_t transparency = 0;  // percent, 0..100
        bool operator==(const Look&) const = default;
    };
    struct TypeLook {
        Look underWay;
        bool hasDone = false;
        Look done;
        bool operator==(const TypeLook&) const = default;
    };

    // The task-type materials' colours (transparency 30), no done colours.
    static AppearanceProfile Default();

    // "#RRGGBB" (the '#' may be left out) into the colour of `look`; false, nothing changed, when
    // the text is no such colour.
    static bool ParseColour(const std::string& text, Look& look);
    static std::string ColourText(const Look& look);

    // The stored form, kStoredSize bytes.
    void Put(unsigned char* block) const;
    // Reads the stored form; false (nothing changed) when it holds an impossible value.
    bool Take(const unsigned char* block);

    bool operator==(const AppearanceProfile&) const = default;

    TypeLook types[kTypes];
};
