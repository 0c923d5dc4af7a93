#include "Elements/LinkRules.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

namespace {

using Captures = TextPattern::Captures;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Where `what` first stands outside double quotes; npos when nowhere.
size_t FindOutsideQuotes(std::string_view s, std::string_view what) {
    bool quoted = false;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"') quoted = !quoted;
        if (!quoted && s.substr(i, what.size()) == what) return i;
    }
    return std::string_view::npos;
}

std::vector<std::string_view> SplitOutsideQuotes(std::string_view s, char separator) {
    std::vector<std::string_view> parts;
    size_t from = 0;
    while (true) {
        const size_t at = FindOutsideQuotes(s.substr(from), std::string_view(&separator, 1));
        if (at == std::string_view::npos) break;
        parts.push_back(s.substr(from, at));
        from += at + 1;
    }
    parts.push_back(s.substr(from));
    return parts;
}

// A trimmed text without its surrounding quotes ("" inside is one quote); false when a quote is
// left open or stray text follows the closing one.
bool Unquote(std::string_view s, std::string& out) {
    s = Trim(s);
    out.clear();
    if (s.empty() || s.front() != '"') {
        if (s.find('"') != std::string_view::npos) return false;
        out = std::string(s);
        return true;
    }
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] != '"') {
            out.push_back(s[i]);
        } else if (i + 1 < s.size() && s[i + 1] == '"') {
            out.push_back('"');
            ++i;
        } else {
            return i + 1 == s.size();
        }
    }
    return false;
}

bool IsDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The '#' that starts a comment: the first one outside quotes.
std::string_view WithoutComment(std::string_view line) {
    const size_t at = FindOutsideQuotes(line, "#");
    return at == std::string_view::npos ? line : line.substr(0, at);
}

bool ParseValues(std::string_view text, std::vector<TextPattern>& values, std::string& error) {
    for (std::string_view part : SplitOutsideQuotes(text, '|')) {
        std::string value;
        if (!Unquote(part, value)) {
            error = "a quote is not closed, or text follows it: " + std::string(Trim(part));
            return false;
        }
        if (value.empty()) {
            error = "a condition has an empty value";
            return false;
        }
        values.push_back(TextPattern::Parse(value));
    }
    return true;
}

bool ParseCondition(std::string_view text, LinkRules::Condition& c, std::string& error) {
    text = Trim(text);
    if (text.size() > 4 && TextPattern::Fold(text.substr(0, 4)) == "not ") {
        c.negated = true;
        text = Trim(text.substr(4));
    }
    if (text.empty()) {
        error = "a condition is empty (two commas in a row, or one at the end)";
        return false;
    }
    if (const size_t eq = FindOutsideQuotes(text, "="); eq != std::string_view::npos) {
        std::string name;
        if (!Unquote(text.substr(0, eq), name) || name.empty()) {
            error = "a property condition needs a name before '=': " + std::string(text);
            return false;
        }
        c.key = LinkRules::Condition::Property;
        c.name = TextPattern::Parse(name);
        return ParseValues(text.substr(eq + 1), c.values, error);
    }
    const size_t space = text.find_first_of(" \t");
    const std::string word = TextPattern::Fold(text.substr(0, space));
    static const std::pair<const char*, LinkRules::Condition::Key> kKeys[] = {
        {"type", LinkRules::Condition::Type},
        {"class", LinkRules::Condition::Class},
        {"id", LinkRules::Condition::Id},
        {"layer", LinkRules::Condition::Layer},
        {"storey", LinkRules::Condition::Storey}};
    for (const auto& [key, kind] : kKeys) {
        if (word != key) continue;
        c.key = kind;
        if (space == std::string_view::npos) {
            error = "'" + word + "' needs a value";
            return false;
        }
        return ParseValues(text.substr(space + 1), c.values, error);
    }
    error = "'" + std::string(text) +
            "' is no condition: write type, class, id, layer or storey and a value, or "
            "NAME = VALUE";
    return false;
}

// The texts of an element that a condition looks at.
template <typename Visit>
bool AnyValue(const LinkRules::Condition& c, const ElementFacts& e, Visit visit) {
    using C = LinkRules::Condition;
    switch (c.key) {
        case C::Type:
            return visit(e.typeName);
        case C::Id:
            return visit(e.id);
        case C::Layer:
            return visit(e.layer);
        case C::Class:
        case C::Storey: {
            const char* name = c.key == C::Class ? "IfcClass" : "Storey";
            for (const auto& [n, v] : e.properties)
                if (n == name && visit(v)) return true;
            return false;
        }
        case C::Property:
            for (const auto& [n, v] : e.properties)
                if (c.name.Matches(n) && visit(v)) return true;
            return false;
    }
    return false;
}

bool Holds(const LinkRules::Condition& c, const ElementFacts& e) {
    const bool any = AnyValue(c, e, [&](const std::string& value) {
        for (const TextPattern& p : c.values)
            if (p.Matches(value)) return true;
        return false;
    });
    return any != c.negated;
}

bool HasPlaceholder(const LinkRules::Condition& c) {
    for (const TextPattern& p : c.values)
        if (!p.Placeholders().empty()) return true;
    return false;
}

LinkRules::Condition Bound(const LinkRules::Condition& c, const Captures& captures) {
    LinkRules::Condition bound = c;
    for (TextPattern& p : bound.values) p = p.Bind(captures);
    return bound;
}

}  // namespace

bool LinkRules::Parse(std::string_view text, int& errorLine, std::string& error) {
    std::vector<Rule> rules;
    int lineNumber = 0;
    size_t from = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") from = 3;  // a byte-order mark some editors write
    while (from <= text.size()) {
        size_t end = text.find('\n', from);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = Trim(WithoutComment(text.substr(from, end - from)));
        ++lineNumber;
        from = end + 1;
        if (line.empty()) continue;
        errorLine = lineNumber;
        Rule rule;
        rule.line = lineNumber;
        rule.text = std::string(line);
        const size_t arrow = FindOutsideQuotes(line, "<-");
        if (arrow == std::string_view::npos) {
            error = "a rule is TASKS <- CONDITIONS, and this line has no '<-'";
            return false;
        }
        const std::string_view left = Trim(line.substr(0, arrow));
        std::string taskText;
        if (IsDigits(left)) {
            rule.byId = true;
            const auto [p, ec] =
                std::from_chars(left.data(), left.data() + left.size(), rule.taskId);
            if (ec != std::errc() || rule.taskId <= 0) {
                error = "'" + std::string(left) + "' is no task ID";
                return false;
            }
        } else if (!Unquote(left, taskText) || taskText.empty()) {
            error = "the tasks before '<-' are missing, or a quote is not closed";
            return false;
        } else {
            rule.tasks = TextPattern::Parse(taskText);
        }
        const std::vector<std::string> names = rule.tasks.Placeholders();
        for (std::string_view part : SplitOutsideQuotes(line.substr(arrow + 2), ',')) {
            Condition c;
            if (!ParseCondition(part, c, error)) return false;
            for (const TextPattern& p : c.values)
                for (const std::string& n : p.Placeholders())
                    if (std::find(names.begin(), names.end(), n) == names.end()) {
                        error = "<" + n + "> is used, but the task name pattern has no <" + n + ">";
                        return false;
                    }
            rule.conditions.push_back(std::move(c));
        }
        rules.push_back(std::move(rule));
    }
    rules_ = std::move(rules);
    errorLine = 0;
    error.clear();
    return true;
}

std::vector<LinkRules::Link> LinkRules::Match(const std::vector<TaskRef>& tasks,
                                              const std::vector<ElementFacts>& elements,
                                              std::vector<RuleResult>& results) const {
    std::vector<Link> links;
    results.assign(rules_.size(), RuleResult{});
    for (size_t r = 0; r < rules_.size(); ++r) {
        const Rule& rule = rules_[r];
        RuleResult& result = results[r];
        // The tasks, with what their names put in the placeholders.
        std::vector<std::pair<int32_t, Captures>> named;
        Captures captures;
        for (const TaskRef& t : tasks) {
            if (rule.byId ? t.uniqueID == rule.taskId : rule.tasks.Matches(t.name, captures))
                named.emplace_back(t.uniqueID, captures);
            if (rule.byId && !named.empty()) break;
        }
        result.missingTask = rule.byId && named.empty();
        if (named.empty()) continue;
        std::vector<bool> taskTook(named.size(), false);

        std::vector<const Condition*> fixed;
        std::vector<const Condition*> tied;
        for (const Condition& c : rule.conditions) (HasPlaceholder(c) ? tied : fixed).push_back(&c);
        // A tie of the whole value to one placeholder is looked up, not tried task by task.
        const Condition* key = nullptr;
        for (const Condition* c : tied)
            if (!c->negated && c->values.size() == 1 && c->values[0].IsSinglePlaceholder()) {
                key = c;
                break;
            }
        // Per task, its other tied conditions with its texts put in.
        std::vector<std::vector<Condition>> boundOf(named.size());
        std::unordered_multimap<std::string, size_t> taskOfKey;
        for (size_t t = 0; t < named.size(); ++t) {
            for (const Condition* c : tied)
                if (c != key) boundOf[t].push_back(Bound(*c, named[t].second));
            if (key == nullptr) continue;
            for (const auto& [name, text] : named[t].second)
                if (name == key->values[0].PlaceholderName()) {
                    taskOfKey.emplace(TextPattern::Fold(text), t);
                    break;
                }
        }
        auto allHold = [&](const std::vector<Condition>& conditions, const ElementFacts& e) {
            return std::all_of(conditions.begin(), conditions.end(),
                               [&](const Condition& c) { return Holds(c, e); });
        };
        std::vector<size_t> hits;
        for (size_t i = 0; i < elements.size(); ++i) {
            const ElementFacts& e = elements[i];
            if (!std::all_of(fixed.begin(), fixed.end(),
                             [&](const Condition* c) { return Holds(*c, e); }))
                continue;
            hits.clear();
            if (key != nullptr) {
                AnyValue(*key, e, [&](const std::string& value) {
                    const auto range = taskOfKey.equal_range(TextPattern::Fold(value));
                    for (auto it = range.first; it != range.second; ++it)
                        hits.push_back(it->second);
                    return false;  // every value is looked at
                });
                std::sort(hits.begin(), hits.end());
                hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
            } else {
                for (size_t t = 0; t < named.size(); ++t) hits.push_back(t);
            }
            bool took = false;
            for (size_t t : hits) {
                if (!allHold(boundOf[t], e)) continue;
                links.push_back(
                    {static_cast<uint32_t>(r), static_cast<uint32_t>(i), named[t].first});
                took = true;
                taskTook[t] = true;
            }
            if (took) ++result.elements;
        }
        result.tasks = static_cast<size_t>(std::count(taskTook.begin(), taskTook.end(), true));
    }
    return links;
}
