#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

/// Cuts an exchange file into its tokens (keywords, names, "#n", numbers,
/// strings with doubled quotes, enumerations .X., binaries "...", single
/// characters) and writes it back with blanks, line breaks and comments
/// between them: the same file to any reader that follows the lexical
/// rules. The blanks and comments of the file are kept as they are.
class StepRewriter
{
public:
    /// A variant that a reader must refuse, and the line it must name.
    struct Fault
    {
        enum Kind { EqualsReplaced, SemicolonDropped, ParenthesisAdded };

        std::string text;
        std::size_t line = 0;
    };

    explicit StepRewriter(std::string text);

    /// False when the text does not cut into tokens (a string left open...).
    bool isValid() const { return m_valid; }
    /// The text with separators added at random between tokens, the same
    /// ones for the same seed.
    std::string withSeparators(unsigned seed) const;
    /// That text with one token of a record of the data section broken.
    Fault withFault(unsigned seed, Fault::Kind kind) const;

private:
    struct Token
    {
        std::string_view text;
        bool separator = false; ///< blanks or a comment of the file
    };

    /// The tokens with separators added, each piece on its own.
    std::vector<std::string> pieces(unsigned seed) const;

    std::string m_text;
    std::vector<Token> m_tokens; ///< views of m_text
    bool m_valid = true;
};

} // namespace testsupport
