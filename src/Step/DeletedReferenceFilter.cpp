#include "DeletedReferenceFilter.h"

#include "Lexer.h"

#include <algorithm>
#include <vector>

namespace Step {

namespace {

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
// reference becomes $. Strings and comments are left alone, and a comment
// between entries never hides the comma that has to go with one.
std::string DeletedReferenceFilter::stripText(std::string_view text) const
{
    const std::size_t equals = equalsOf(text);
    std::string out(text.substr(0, equals));
    std::vector<bool> inList; // per open parenthesis: a list, or parameters
    // Offsets in out of the last two characters outside blanks and comments.
    std::size_t last = std::string::npos;
    std::size_t beforeLast = std::string::npos;
    const auto noteSignificant = [&] {
        beforeLast = last;
        last = out.size() - 1;
    };
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
            const char previous = last == std::string::npos ? '=' : out[last];
            inList.push_back(previous == '(' || previous == ',');
        } else if (c == ')') {
            if (!inList.empty()) {
                inList.pop_back();
            }
        } else if (c == '#' && Lexer::readReference(text, i, key, end) && contains(key)) {
            if (inList.empty() || !inList.back()) {
                out += '$';
                noteSignificant();
            } else if (last != std::string::npos && out[last] == ',') {
                out.erase(last, 1);
                last = beforeLast;
                beforeLast = std::string::npos;
            } else {
                // First entry: the comma after it goes instead.
                std::size_t next = end;
                if (Lexer::skipBlanks(text, next) && next < text.size() && text[next] == ',') {
                    out.append(text.substr(end, next - end));
                    end = next + 1;
                }
            }
            i = end;
            continue;
        }
        out.append(text.substr(i, end - i));
        if (!Lexer::isBlank(c)) {
            noteSignificant();
        }
        i = end;
    }
    return out;
}

} // namespace Step
