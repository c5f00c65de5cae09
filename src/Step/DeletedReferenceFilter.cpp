#include "DeletedReferenceFilter.h"

#include "Lexer.h"

#include <algorithm>
#include <vector>

namespace Step {

namespace {

constexpr const char* blanks = " \t\r\n";

/// Offset of the '=' after the instance name of a record.
std::size_t equalsOf(std::string_view record)
{
    return Lexer::findOutsideLiterals(record, '=');
}

} // namespace

bool DeletedReferenceFilter::strip(Value& value) const
{
    if (value.isReference()) {
        if (contains(value.referenceKey())) {
            value = Value::null();
            return true;
        }
        return false;
    }
    if (!value.isList()) {
        return false;
    }
    bool changed = false;
    for (Value& item : value.items()) {
        changed = strip(item) || changed;
    }
    if (changed) {
        value.eraseUnsetItems();
    }
    return changed;
}

bool DeletedReferenceFilter::referencedBy(std::string_view text) const
{
    Id key = 0;
    std::size_t end = 0;
    for (std::size_t pos = Lexer::findReference(text, equalsOf(text), key, end); pos != Lexer::npos;
         pos = Lexer::findReference(text, end, key, end)) {
        if (contains(key)) {
            return true;
        }
    }
    return false;
}

// The record without its references to deleted instances, for records
// that cannot be decoded: a list entry drops out with its comma, any other
// reference becomes $. Strings and comments are left alone.
std::string DeletedReferenceFilter::stripText(std::string_view text) const
{
    const std::size_t equals = equalsOf(text);
    std::string out(text.substr(0, equals));
    std::vector<bool> inList; // per open parenthesis: a list, or parameters
    char previous = '=';      // last character that is not blank
    for (std::size_t i = equals; i < text.size();) {
        const char c = text[i];
        std::size_t end = std::max(i + 1, Lexer::skipLiteral(text, i));
        if (Lexer::opensComment(text, i)) {
            out.append(text.substr(i, end - i));
            i = end;
            continue;
        }
        Id key = 0;
        if (c == '(') {
            inList.push_back(previous == '(' || previous == ',');
        } else if (c == ')') {
            if (!inList.empty()) {
                inList.pop_back();
            }
        } else if (c == '#' && Lexer::readReference(text, i, key, end) && contains(key)) {
            if (inList.empty() || !inList.back()) {
                out += '$';
                previous = '$';
            } else if (const std::size_t comma = out.find_last_not_of(blanks);
                       comma != std::string::npos && out[comma] == ',') {
                out.erase(comma);
                previous = out[out.find_last_not_of(blanks)];
            } else {
                // First entry: the comma after it goes instead.
                while (end < text.size() && Lexer::isBlank(text[end])) {
                    ++end;
                }
                if (end < text.size() && text[end] == ',') {
                    ++end;
                }
            }
            i = end;
            continue;
        }
        out.append(text.substr(i, end - i));
        if (!Lexer::isBlank(c)) {
            previous = text[end - 1];
        }
        i = end;
    }
    return out;
}

} // namespace Step
