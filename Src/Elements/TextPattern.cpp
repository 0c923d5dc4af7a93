#include "Elements/TextPattern.h"

#include <algorithm>

namespace {

char FoldChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Bytes of the UTF-8 character that starts at `at` (1 for a byte that starts none).
size_t CharLength(std::string_view text, size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t n = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    n = std::min(n, text.size() - at);
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return k;
    return n;
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

bool SameFolded(std::string_view text, size_t at, const std::string& folded) {
    if (text.size() - at < folded.size()) return false;
    for (size_t i = 0; i < folded.size(); ++i)
        if (FoldChar(text[at + i]) != folded[i]) return false;
    return true;
}

}  // namespace

std::string TextPattern::Fold(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = FoldChar(c);
    return out;
}

void TextPattern::Append(Piece::Kind kind, std::string_view text) {
    if (kind == Piece::Text && !pieces_.empty() && pieces_.back().kind == Piece::Text) {
        pieces_.back().text += Fold(text);
        return;
    }
    // Two runs in a row match what one does.
    if (kind == Piece::AnyRun && !pieces_.empty() && pieces_.back().kind == Piece::AnyRun) return;
    pieces_.push_back({kind, kind == Piece::Slot ? std::string(text) : Fold(text)});
    if (kind == Piece::Slot) hasSlot_ = true;
}

TextPattern TextPattern::Parse(std::string_view source) {
    TextPattern p;
    p.source_ = std::string(source);
    for (size_t i = 0; i < source.size();) {
        const char c = source[i];
        if (c == '*') {
            p.Append(Piece::AnyRun);
            ++i;
        } else if (c == '?') {
            p.Append(Piece::AnyOne);
            ++i;
        } else if (c == '<') {
            size_t end = i + 1;
            while (end < source.size() && IsNameChar(source[end])) ++end;
            if (end > i + 1 && end < source.size() && source[end] == '>') {
                p.Append(Piece::Slot, source.substr(i + 1, end - i - 1));
                i = end + 1;
            } else {
                p.Append(Piece::Text, "<");
                ++i;
            }
        } else {
            p.Append(Piece::Text, source.substr(i, 1));
            ++i;
        }
    }
    return p;
}

TextPattern TextPattern::Literal(std::string_view text) {
    TextPattern p;
    p.source_ = std::string(text);
    if (!text.empty()) p.Append(Piece::Text, text);
    return p;
}

bool TextPattern::IsLiteral() const {
    return pieces_.empty() || (pieces_.size() == 1 && pieces_[0].kind == Piece::Text);
}

std::string TextPattern::Folded() const {
    return pieces_.empty() ? std::string() : pieces_[0].text;
}

bool TextPattern::IsSinglePlaceholder() const {
    return pieces_.size() == 1 && pieces_[0].kind == Piece::Slot;
}

const std::string& TextPattern::PlaceholderName() const { return pieces_.at(0).text; }

std::vector<std::string> TextPattern::Placeholders() const {
    std::vector<std::string> names;
    for (const Piece& p : pieces_)
        if (p.kind == Piece::Slot && std::find(names.begin(), names.end(), p.text) == names.end())
            names.push_back(p.text);
    return names;
}

TextPattern TextPattern::Bind(const Captures& captures) const {
    TextPattern bound;
    bound.source_ = source_;
    for (const Piece& p : pieces_) {
        if (p.kind != Piece::Slot) {
            bound.pieces_.push_back(p);
            if (p.kind == Piece::Text && bound.pieces_.size() > 1 &&
                bound.pieces_[bound.pieces_.size() - 2].kind == Piece::Text) {
                bound.pieces_.pop_back();
                bound.pieces_.back().text += p.text;
            }
            continue;
        }
        auto it = std::find_if(captures.begin(), captures.end(),
                               [&](const auto& c) { return c.first == p.text; });
        if (it == captures.end())
            bound.Append(Piece::Slot, p.text);
        else if (!it->second.empty())
            bound.Append(Piece::Text, it->second);
    }
    return bound;
}

// The classic two-finger match of '*' and '?' without placeholders: linear for one '*', and never
// worse than the text's length times the pattern's.
bool TextPattern::Glob(std::string_view text) const {
    size_t piece = 0, at = 0;
    size_t starPiece = std::string::npos, starAt = 0;
    while (true) {
        if (piece < pieces_.size()) {
            const Piece& p = pieces_[piece];
            if (p.kind == Piece::AnyRun) {
                starPiece = piece++;
                starAt = at;
                continue;
            }
            if (p.kind == Piece::AnyOne && at < text.size()) {
                at += CharLength(text, at);
                ++piece;
                continue;
            }
            if (p.kind == Piece::Text && SameFolded(text, at, p.text)) {
                at += p.text.size();
                ++piece;
                continue;
            }
        } else if (at == text.size()) {
            return true;
        }
        if (starPiece == std::string::npos || starAt >= text.size()) return false;
        starAt += CharLength(text, starAt);
        at = starAt;
        piece = starPiece + 1;
    }
}

bool TextPattern::MatchFrom(size_t piece, std::string_view text, size_t at,
                            Captures* captures) const {
    if (piece == pieces_.size()) return at == text.size();
    const Piece& p = pieces_[piece];
    switch (p.kind) {
        case Piece::Text:
            return SameFolded(text, at, p.text) &&
                   MatchFrom(piece + 1, text, at + p.text.size(), captures);
        case Piece::AnyOne:
            return at < text.size() &&
                   MatchFrom(piece + 1, text, at + CharLength(text, at), captures);
        case Piece::AnyRun:
            for (size_t end = at;; end += CharLength(text, end)) {
                if (MatchFrom(piece + 1, text, end, captures)) return true;
                if (end >= text.size()) return false;
            }
        case Piece::Slot: {
            for (const auto& [name, value] : *captures)
                if (name == p.text)
                    return SameFolded(text, at, Fold(value)) &&
                           MatchFrom(piece + 1, text, at + value.size(), captures);
            for (size_t end = at; end < text.size();) {
                end += CharLength(text, end);
                captures->emplace_back(p.text, std::string(text.substr(at, end - at)));
                if (MatchFrom(piece + 1, text, end, captures)) return true;
                captures->pop_back();
            }
            return false;
        }
    }
    return false;
}

bool TextPattern::Matches(std::string_view text) const {
    if (!hasSlot_) return Glob(text);
    Captures captures;
    return MatchFrom(0, text, 0, &captures);
}

bool TextPattern::Matches(std::string_view text, Captures& captures) const {
    captures.clear();
    if (!hasSlot_) return Glob(text);
    return MatchFrom(0, text, 0, &captures);
}
