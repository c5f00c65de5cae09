#include "DeletedReferenceFilter.h"

#include "Lexer.h"

#include <algorithm>
#include <vector>

namespace Step {

namespace {

/// Offset of the '=' after the instance name of a record, comments
/// skipped; the end of the text when there is none.
std::size_t equalsOf(std::string_view record)
{
    std::size_t pos = 0;
    while (pos < record.size() && record[pos] != '=') {
        pos = std::max(pos + 1, Lexer::skipLiteral(record, pos));
    }
    return pos;
}

/// The key of the reference "#n" at pos, and the offset past its digits
/// in end; false when no digit follows the '#'.
bool readReference(std::string_view text, std::size_t pos, Id& key, std::size_t& end)
{
    key = 0;
    end = pos + 1;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
        key = key * 10 + static_cast<Id>(text[end] - '0');
        ++end;
    }
    return end > pos + 1;
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
    // Every record not decoded yet is looked through on a save after a
    // deletion: plain bytes take one test each.
    for (std::size_t i = equalsOf(text); i < text.size();) {
        const char c = text[i];
        Id key = 0;
        std::size_t end = 0;
        if (c == '#' && readReference(text, i, key, end)) {
            if (contains(key)) {
                return true;
            }
            i = end;
        } else if (c == '\'' || c == '/') {
            i = std::max(i + 1, Lexer::skipLiteral(text, i));
        } else {
            ++i;
        }
    }
    return false;
}

// The record without its references to deleted instances, for records
// that cannot be decoded: a list entry drops out with its comma, any other
// reference becomes $. Strings and comments are left alone.
std::string DeletedReferenceFilter::stripText(std::string_view text) const
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
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
        } else if (c == '#' && readReference(text, i, key, end) && contains(key)) {
            if (inList.empty() || !inList.back()) {
                out += '$';
                previous = '$';
            } else if (const std::size_t comma = out.find_last_not_of(" \t\r\n");
                       comma != std::string::npos && out[comma] == ',') {
                out.erase(comma);
                previous = out[out.find_last_not_of(" \t\r\n")];
            } else {
                // First entry: the comma after it goes instead.
                while (end < text.size() && isBlank(text[end])) {
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
        if (!isBlank(c)) {
            previous = text[end - 1];
        }
        i = end;
    }
    return out;
}

} // namespace Step
