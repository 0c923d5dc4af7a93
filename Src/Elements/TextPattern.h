#pragma once
// A pattern of the link rules, matched against texts without regard to the case of ASCII letters:
// '*' is any run of characters (also none), '?' any one character, and "<name>" a placeholder:
// any run of at least one character that the rule then uses by that name. A pattern made of one
// text with no wildcard is compared as a whole.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TextPattern {
public:
    // Placeholder name and the text it stood for, in the order the placeholders come.
    using Captures = std::vector<std::pair<std::string, std::string>>;

    TextPattern() = default;
    // '*', '?' and "<name>" as above; a '<' that opens no "<name>" is a character of its own.
    static TextPattern Parse(std::string_view source);
    // Every character of `text` stands for itself.
    static TextPattern Literal(std::string_view text);

    bool Matches(std::string_view text) const;
    // As Matches, and the texts the placeholders stood for. A placeholder used twice must stand
    // for the same text twice.
    bool Matches(std::string_view text, Captures& captures) const;
    // The pattern with every placeholder replaced by the literal text it is bound to; a
    // placeholder without a binding stays.
    TextPattern Bind(const Captures& captures) const;

    // The placeholder names, each once, in order.
    std::vector<std::string> Placeholders() const;
    // A pattern that is one placeholder and nothing else ("<storey>"), and its name.
    bool IsSinglePlaceholder() const;
    const std::string& PlaceholderName() const;
    // Without wildcards and placeholders; then Folded() is its text in lower case.
    bool IsLiteral() const;
    std::string Folded() const;

    const std::string& Source() const { return source_; }

    // ASCII letters in lower case, every other byte as it is.
    static std::string Fold(std::string_view text);

private:
    struct Piece {
        enum Kind { Text, AnyRun, AnyOne, Slot } kind;
        std::string text;  // Text: folded characters; Slot: the placeholder's name
    };
    bool MatchFrom(size_t piece, std::string_view text, size_t at, Captures* captures) const;
    bool Glob(std::string_view text) const;
    void Append(Piece::Kind kind, std::string_view text = {});

    std::vector<Piece> pieces_;
    std::string source_;
    bool hasSlot_ = false;
};
