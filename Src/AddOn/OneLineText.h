#pragma once
// Texts that come from people and files (task names, the movie caption, file names) are shown on
// one line wherever they appear: in an alert, a report-window line, a row of the palette's list, a
// line of the exchange text, the caption line of a movie frame. Whatever they hold, they are made
// fit for that here, in one way for every place:
//
//   TAB, CR, LF and the other control characters (1-31, 127)  become a space: they would split a
//                                 line, a list row or an exchange-text record, and show as nothing
//   NUL                           ends the text, as it does in every text of the add-on
//   bytes that are no UTF-8       each becomes U+FFFD, so that a text is always whole characters
//   "%", "^" and every other      stay as they are: no text is ever used as a format, and alert
//   printable character           marks are filled once, never in an inserted text
//   a text longer than its field  is cut at the end of the last whole character that fits
//
// Task names and the caption are cleaned when they enter the add-on (own file, exchange text,
// palette, settings dialog, preferences), so they read back as they were saved; file names stay
// as they are on disk and are cleaned only where they are shown.
#include <cstddef>
#include <string>

class OneLineText {
public:
    // The text made fit for one line; a null text gives an empty one.
    static std::string Of(const char* text);
    static std::string Of(const std::string& text) { return Of(text.c_str()); }
    // The text made fit for one line, cut to a field of `size` bytes (NUL included).
    static void CopyTo(const char* text, char* field, size_t size);
};
