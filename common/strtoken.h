#pragma once

// Splitting of a delimited text line into fields, with typed readers that fail with the same
// messages in every file format ("|", ";" and "," separated lines).

#include "engine/DateTime.h"

#include <string>
#include <string_view>
#include <vector>

namespace vrn {

class TStringTokenizer
{
public:
    // Splits `text` at once. Every character of `separators` (UTF-8, usually one ASCII
    // character) ends a field; an empty set leaves the whole text as one field.
    TStringTokenizer(std::string_view text, std::string_view separators);

    // Replaces the text and splits it again.
    void SetText(std::string_view text);

    const std::string &Text() const { return FText; }

    const std::string &Separators() const { return FSeparators; }

    const std::vector<std::string> &Tokens() const { return FTokens; }

    // Number of fields, at least 1: an empty text is one empty field, "a;;b;" is four fields
    // (a, empty, b, empty).
    int Count() const { return static_cast<int>(FTokens.size()); }

    // Field i (0-based), untrimmed. Raises EVrnError "Invalid index" outside 0..Count()-1.
    const std::string &Token(int i) const;

    // Field i trimmed and read as a finite number with "." decimals (ParseNumber). Raises
    // EConvertError "Invalid number format: <trimmed field>".
    double AsFloat(int i) const;

    // Field i trimmed and read as a date and optional time (ParseDateTimeText) in the process's
    // short date format, or in `format`. Raises EConvertError "Invalid date/time format:
    // <trimmed field>".
    double AsDateTime(int i) const;
    double AsDateTime(int i, const TDateFormat &format) const;

    // Field i trimmed and read as a 32-bit whole number. Raises EConvertError "Invalid integer
    // value:<trimmed field>" (no blank after the colon).
    int AsInteger(int i) const;

private:
    void Split();

    std::string FText;
    std::string FSeparators;
    std::vector<std::string> FSeparatorChars; // one UTF-8 character each
    std::vector<std::string> FTokens;
};

} // namespace vrn
