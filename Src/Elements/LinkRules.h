#pragma once
// The link rules of a schedule: plain text, one rule a line, '#' starts a comment.
//
//     TASKS  <-  CONDITION, CONDITION, ...
//
// TASKS is a task's unique ID (digits only) or a task-name pattern ('*', '?', "<name>"
// placeholders). A CONDITION is `type P`, `class P` (IFC class), `id P`, `layer P`, `storey P` or
// `NAME = P` (a property, NAME may hold '*'); `not` before one turns it round; P may list
// alternatives with '|'. A value may be quoted ("...", "" for a quote) to hold ',' '|' '=' or
// leading spaces. A placeholder of the task pattern used in a condition ties the two: the rule
// `<storey> walls <- type Wall, storey <storey>` gives every task "X walls" the walls of storey X.
// Every condition must hold; patterns ignore the case of ASCII letters.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Elements/ModelFacts.h"
#include "Elements/TextPattern.h"

class LinkRules {
public:
    struct TaskRef {
        int32_t uniqueID = 0;
        std::string name;
    };
    struct Condition {
        enum Key { Type, Class, Id, Layer, Storey, Property };
        Key key = Type;
        bool negated = false;
        TextPattern name;                 // Property: the property's name
        std::vector<TextPattern> values;  // the condition holds when any of them matches
    };
    struct Rule {
        int line = 0;      // in the file, from 1
        std::string text;  // as written, without its comment
        bool byId = false;
        int32_t taskId = 0;
        TextPattern tasks;
        std::vector<Condition> conditions;
    };
    // Rule `rule` asks for a link of element `element` (an index into the facts) to a task.
    struct Link {
        uint32_t rule;
        uint32_t element;
        int32_t taskId;
    };
    struct RuleResult {
        size_t tasks = 0;          // tasks it linked elements to
        size_t elements = 0;       // elements it took
        bool missingTask = false;  // it names a unique ID that no task has
    };

    // Reads the text of a rules file. False with the line (from 1) and what is wrong; the rules
    // read before stay unchanged then.
    bool Parse(std::string_view text, int& errorLine, std::string& error);
    const std::vector<Rule>& Rules() const { return rules_; }

    // Every link the rules ask for, rule after rule, and in each rule element after element; one
    // rule asks for an element and task once. `results` gets one entry per rule.
    std::vector<Link> Match(const std::vector<TaskRef>& tasks,
                            const std::vector<ElementFacts>& elements,
                            std::vector<RuleResult>& results) const;

private:
    std::vector<Rule> rules_;
};
